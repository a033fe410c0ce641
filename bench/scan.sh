#!/usr/bin/env bash
# The index scan against the floor of the platform: ./tarn bench scan
#
# Builds synthetic caches with the fixture builder (the genuine hash
# library), runs bench/scan_bench.exe on each under Wine and times the
# library's own dump tool natively for comparison. Wine's prefix, display and
# server are set up by ./tarn bench; TARN_ROOT, TARN_WIN32 and TARN_PYTHON
# name the source tree, the cross build and Python.
set -euo pipefail

: "${TARN_ROOT:?}" "${TARN_WIN32:?}" "${TARN_PYTHON:?}"
WORK=$TARN_WIN32/bench-scan
BENCH_EXE=$TARN_WIN32/bench/scan_bench.exe
ROUNDS=${SCAN_ROUNDS:-5}
HOSTS=300
mkdir -p "$WORK"

wine_path() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

value_of() {
    sed -n "s/^$1 //p" <<<"$2" | tr -d '\r'
}

# A cache is made once per size and generator version.
make_cache() {
    local records=$1 dir=$WORK/cache-$1
    if [ ! -f "$dir/FAT.DB" ] || [ "$TARN_ROOT/tools/make_bench_cache.py" -nt "$dir/FAT.DB" ]; then
        "$TARN_PYTHON" "$TARN_ROOT/tools/make_bench_cache.py" scan "$dir" --records "$records" --hosts "$HOSTS" >&2
    fi
    printf '%s' "$dir"
}

# The best of a few runs of the dump tool, in seconds.
time_dump() {
    "$TARN_PYTHON" - "$1/FAT.DB" <<'PY'
import subprocess, sys, time
best = None
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(["db_dump185", "-p", sys.argv[1]], stdout=subprocess.DEVNULL, check=True)
    elapsed = time.perf_counter() - start
    best = elapsed if best is None or elapsed < best else best
print("%.4f" % best)
PY
}

summary=
for records in 100000 20000; do
    dir=$(make_cache "$records")
    out=$(wine "$BENCH_EXE" "$(wine_path "$dir")" "$ROUNDS")
    ours=$(value_of scan_seconds "$out")
    floor=$(value_of floor_seconds "$out")
    dump=$(time_dump "$dir")
    ratio=$(LC_ALL=C awk -v a="$ours" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')
    printf 'scan %6d records: %s entries in %s folders, %s files, %s pages; ours %s s, floor %s s, ratio %s; db_dump185 natively %s s\n' \
        "$records" "$(value_of entries "$out")" "$(value_of folders "$out")" "$(value_of files "$out")" \
        "$(value_of pages "$out")" "$ours" "$floor" "$ratio" "$dump"
    summary="scan: ours $ours s, reference $floor s (bare FindFirstFile listing + ReadFile of FAT.DB page by page in the same Wine), ratio $ratio"
done
echo "$summary"
