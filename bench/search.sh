#!/usr/bin/env bash
# The content search against the floor of the platform: ./tarn bench search
#
# Builds a cache of 10,000 text documents (about 100 MB) with the fixture
# builder, runs bench/search_bench.exe for two words on it under Wine, and
# times native grep over the same files for comparison: the first word over
# every file, the second over the files that held the first.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench search
ROUNDS=${SEARCH_ROUNDS:-8}
DOCUMENTS=10000
SIZE=10000
WORDS="kolibri zeppelin"
CACHE=$WORK/cache-$DOCUMENTS-$SIZE
LIST=$WORK/candidates.txt

ensure_bench_cache "$CACHE" search --documents "$DOCUMENTS" --size "$SIZE"

out=$(wine "$BENCH_EXE" "$(wine_path "$CACHE")" "$WORDS" "$ROUNDS" "$(wine_path "$LIST")")
ours=$(value_of search_seconds "$out")
floor=$(value_of floor_seconds "$out")

# The best of a few runs of grep over the same files, natively.
grep_time=$(cd "$CACHE" && tr -d '\r' <"$LIST" | "$TARN_PYTHON" -c '
import subprocess, sys, time
names = sys.stdin.read().split()
first, second = sys.argv[1:3]
def grep(word, files):
    found = []
    for i in range(0, len(files), 2000):
        run = subprocess.run(["grep", "-l", "-i", "-F", "--", word] + files[i:i + 2000],
                             stdout=subprocess.PIPE, env={"LC_ALL": "C"})
        found += run.stdout.decode("latin-1").split()
    return found
best = None
for _ in range(3):
    start = time.perf_counter()
    both = grep(second, grep(first, names))
    elapsed = time.perf_counter() - start
    best = elapsed if best is None or elapsed < best else best
print("%.4f %d" % (best, len(both)))
' $WORDS)

ratio=$(ratio_of "$ours" "$floor")
printf 'search %d documents, %s MB, words "%s": %s candidates, %s matches, %s steps; ours %s s, floor %s s, ratio %s; grep -l -i -F natively %s s (%s files)\n' \
    "$DOCUMENTS" "$(value_of megabytes "$out")" "$WORDS" "$(value_of candidates "$out")" "$(value_of matches "$out")" \
    "$(value_of steps "$out")" "$ours" "$floor" "$ratio" "${grep_time% *}" "${grep_time#* }"
echo "search: ours $ours s, reference $floor s (bare CreateFileA + whole-file ReadFile + CloseHandle per candidate in the same Wine; grep -l -i -F natively ${grep_time% *} s), ratio $ratio"
