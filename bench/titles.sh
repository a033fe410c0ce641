#!/usr/bin/env bash
# The loading pass (titles of HTML pages) against the floor of the platform:
# ./tarn bench titles
#
# Builds a synthetic cache with the fixture builder, runs
# bench/titles_bench.exe on it under Wine and times native `head` over the
# same HTML files for comparison.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench titles
ROUNDS=${TITLES_ROUNDS:-5}
RECORDS=20000
HTML=8000
CACHE=$WORK/cache-$RECORDS-$HTML
LIST=$WORK/html-files.txt

ensure_bench_cache "$CACHE" titles --records "$RECORDS" --html "$HTML"

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

ratio=$(ratio_of "$ours" "$floor")
per_file=$(LC_ALL=C awk -v a="$floor" -v n="$files" 'BEGIN { printf "%.3f", 1000 * a / n }')
printf 'titles %d records: %s entries in %s folders, %s HTML files, %s titles loaded, %s steps; ours %s s, floor %s s (%s ms a file), ratio %s; head -q -c 1023 natively %s s\n' \
    "$RECORDS" "$(value_of entries "$out")" "$(value_of folders "$out")" "$files" \
    "$(value_of titles_loaded "$out")" "$(value_of steps "$out")" "$ours" "$floor" "$per_file" "$ratio" "$head_time"
echo "titles: ours $ours s, reference $floor s (bare CreateFileA + ReadFile of 1023 bytes + CloseHandle per HTML file in the same Wine), ratio $ratio"
