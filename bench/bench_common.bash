# Shell code shared by the benchmark drivers, sourced by each bench/NAME.sh.
# Not named .sh: ./tarn bench runs every bench/*.sh as a benchmark.
#
# Wine's prefix, display and server are set up by ./tarn bench; TARN_ROOT,
# TARN_WIN32 and TARN_PYTHON name the source tree, the cross build and Python.

: "${TARN_ROOT:?}" "${TARN_WIN32:?}" "${TARN_PYTHON:?}"

# wine_path, the same as ./tarn uses.
source "$TARN_ROOT/tools/wine.bash"

# Sets BENCH_EXE, the program bench/NAME_bench.exe of the cross build, and
# WORK, its work folder there, made when missing.
use_bench() {
    BENCH_EXE=$TARN_WIN32/bench/$1_bench.exe
    WORK=$TARN_WIN32/bench-$1
    mkdir -p "$WORK"
}

# The value of the line "NAME value" in a benchmark program's output $2.
value_of() {
    sed -n "s/^$1 //p" <<<"$2" | tr -d '\r'
}

# Makes the cache FOLDER with the fixture builder: ensure_bench_cache FOLDER
# KIND [OPTION...]. Building takes long, so a cache is kept until the builder
# changes.
ensure_bench_cache() {
    local dir=$1 kind=$2
    shift 2
    if [ ! -f "$dir/FAT.DB" ] || [ "$TARN_ROOT/tools/make_bench_cache.py" -nt "$dir/FAT.DB" ]; then
        rm -rf "$dir"
        "$TARN_PYTHON" "$TARN_ROOT/tools/make_bench_cache.py" "$kind" "$dir" "$@" >&2
    fi
}

# Our time divided by the floor's, two decimals.
ratio_of() {
    LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}
