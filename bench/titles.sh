#!/usr/bin/env bash
# The loading pass (titles of HTML pages) against the floor of the platform:
# ./tarn bench titles
#
# Builds a synthetic cache with the fixture builder, runs
# bench/titles_bench.exe on it under Wine and times native `head` over the
# same HTML files for comparison. Wine's prefix, display and server are set
# up by ./tarn bench; TARN_ROOT, TARN_WIN32 and TARN_PYTHON name the source
# tree, the cross build and Python.
set -euo pipefail

: "${TARN_ROOT:?}" "${TARN_WIN32:?}" "${TARN_PYTHON:?}"
WORK=$TARN_WIN32/bench-titles
BENCH_EXE=$TARN_WIN32/bench/titles_bench.exe
ROUNDS=${TITLES_ROUNDS:-5}
RECORDS=20000
HTML=8000
CACHE=$WORK/cache-$RECORDS-$HTML
LIST=$WORK/html-files.txt
mkdir -p "$WORK"

wine_path() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

value_of() {
    sed -n "s/^$1 //p" <<<"$2" | tr -d '\r'
}

if [ ! -f "$CACHE/FAT.DB" ] || [ "$TARN_ROOT/tools/make_bench_cache.py" -nt "$CACHE/FAT.DB" ]; then
    rm -rf "$CACHE"
    "$TARN_PYTHON" "$TARN_ROOT/tools/make_bench_cache.py" titles "$CACHE" --records "$RECORDS" --html "$HTML" >&2
fi

out=$(wine "$BENCH_EXE" "$(wine_path "$CACHE")" "$ROUNDS" "$(wine_path "$LIST")")
ours=$(value_of pass_seconds "$out")
floor=$(value_of floor_seconds "$out")
files=$(value_of html_files "$out")

# The best of a few runs of head over the same files, natively.
head_time=$(cd "$CACHE" && tr -d '\r' <"$LIST" | "$TARN_PYTHON" -c '
import subprocess, sys, time
names = sys.stdin.read().split()
best = None
for _ in range(3):
    start = time.perf_counter()
    for i in range(0, len(names), 2000):
        subprocess.run(["head", "-q", "-c", "1023"] + names[i:i + 2000], stdout=subprocess.DEVNULL, check=True)
    elapsed = time.perf_counter() - start
    best = elapsed if best is None or elapsed < best else best
print("%.4f" % best)
')

ratio=$(LC_ALL=C awk -v a="$ours" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')
per_file=$(LC_ALL=C awk -v a="$floor" -v n="$files" 'BEGIN { printf "%.3f", 1000 * a / n }')
printf 'titles %d records: %s entries in %s folders, %s HTML files, %s titles loaded, %s steps; ours %s s, floor %s s (%s ms a file), ratio %s; head -q -c 1023 natively %s s\n' \
    "$RECORDS" "$(value_of entries "$out")" "$(value_of folders "$out")" "$files" \
    "$(value_of titles_loaded "$out")" "$(value_of steps "$out")" "$ours" "$floor" "$per_file" "$ratio" "$head_time"
echo "titles: ours $ours s, reference $floor s (bare CreateFileA + ReadFile of 1023 bytes + CloseHandle per HTML file in the same Wine), ratio $ratio"
