#!/usr/bin/env bash
# Saving documents out of the cache against the floor of the platform:
# ./tarn bench extract
#
# Builds a cache of one host with 5,000 pages (about 40 links each, a fifth
# of them to documents that are not cached) and 5,000 pictures with the
# fixture builder, then runs bench/extract_bench.exe under Wine: it saves
# every page with all link options on, and copies the same files with a bare
# CreateFileA/ReadFile/WriteFile loop. A native cp of the same files is timed
# for information.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench extract
CACHE=$WORK/cache
OUT=$WORK/out
ROUNDS=${EXTRACT_ROUNDS:-2}

ensure_bench_cache "$CACHE" extract --pages 5000 --links 40 --pictures 5000

rm -rf "$OUT"
mkdir -p "$OUT"
out=$(wine "$BENCH_EXE" "$(wine_path "$CACHE")" "$(wine_path "$OUT")" "$ROUNDS")
ours=$(value_of run_seconds "$out")
floor=$(value_of floor_seconds "$out")

# The same files copied natively, best of three, each into an empty folder.
native=$("$TARN_PYTHON" - "$CACHE" "$OUT/files.txt" "$OUT" <<'PY'
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
)
rm -rf "$OUT"

ratio=$(ratio_of "$ours" "$floor")
printf 'extract %s pages of %s entries: %s documents saved (%s bytes), missing page %s; ours %s s, floor %s s, ratio %s; native cp %s s\n' \
    "$(value_of pages "$out")" "$(value_of entries "$out")" "$(value_of saved "$out")" "$(value_of bytes "$out")" \
    "$(value_of missing_page "$out")" "$ours" "$floor" "$ratio" "$native"
echo "extract: ours $ours s, reference $floor s (bare CreateFileA/ReadFile/WriteFile copy of the same files in the same Wine), ratio $ratio"
