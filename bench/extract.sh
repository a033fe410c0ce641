#!/usr/bin/env bash
# Saving documents out of the cache against the floor of the platform:
# ./tarn bench extract
#
# Builds two caches with the fixture builder: one host with 5,000 pages
# (about 40 links each, a fifth of them to documents that are not cached)
# and 5,000 pictures; and one host with 8,000 pages that are all named
# index.html, so that every saved page proposes the same local name. For
# each, bench/extract_bench.exe runs under Wine: it saves every page with
# all link options on, and copies the same files with a bare
# CreateFileA/ReadFile/WriteFile loop. A native cp of the same files is
# timed for information.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench extract
OUT=$WORK/out
ROUNDS=${EXTRACT_ROUNDS:-2}

# The best of three native copies of the files listed in $2, each into an
# empty folder below $3.
native_copy() {
    "$TARN_PYTHON" - "$1" "$2" "$3" <<'PY'
import os, subprocess, sys, time
cache, listing, out = sys.argv[1:4]
with open(listing, newline="") as f:
    names = [line.strip() for line in f if line.strip()]
paths = "\0".join(os.path.join(cache, name) for name in names).encode()
best = None
for round in range(3):
    target = os.path.join(out, "native%d" % round)
    os.mkdir(target)
    start = time.perf_counter()
    subprocess.run(["xargs", "-0", "cp", "-t", target], input=paths, check=True)
    elapsed = time.perf_counter() - start
    best = elapsed if best is None or elapsed < best else best
print("%.4f" % best)
PY
}

# run_save LABEL CACHE: saves every page of CACHE and prints the detail line
# under LABEL; sets OURS, FLOOR and RATIO.
run_save() {
    local label=$1 cache=$2
    rm -rf "$OUT"
    mkdir -p "$OUT"
    local out native
    out=$(wine "$BENCH_EXE" "$(wine_path "$cache")" "$(wine_path "$OUT")" "$ROUNDS")
    OURS=$(value_of run_seconds "$out")
    FLOOR=$(value_of floor_seconds "$out")
    native=$(native_copy "$cache" "$OUT/files.txt" "$OUT")
    rm -rf "$OUT"
    RATIO=$(ratio_of "$OURS" "$FLOOR")
    printf '%s %s pages of %s entries: %s documents saved (%s bytes), missing page %s; ours %s s, floor %s s, ratio %s; native cp %s s\n' \
        "$label" "$(value_of pages "$out")" "$(value_of entries "$out")" "$(value_of saved "$out")" \
        "$(value_of bytes "$out")" "$(value_of missing_page "$out")" "$OURS" "$FLOOR" "$RATIO" "$native"
}

ensure_bench_cache "$WORK/cache" extract --pages 5000 --links 40 --pictures 5000
run_save extract "$WORK/cache"
summary="extract: ours $OURS s, reference $FLOOR s (bare CreateFileA/ReadFile/WriteFile copy of the same files in the same Wine), ratio $RATIO"

ensure_bench_cache "$WORK/cache-index" index --pages 8000 --links 10
run_save "extract index.html" "$WORK/cache-index"
echo "$summary"
echo "extract index.html: ours $OURS s, reference $FLOOR s (bare CreateFileA/ReadFile/WriteFile copy of the same files in the same Wine), ratio $RATIO"
