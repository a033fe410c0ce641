#!/usr/bin/env bash
# The index scan against the floor of the platform: ./tarn bench scan
#
# Builds synthetic caches with the fixture builder (the genuine hash
# library), runs bench/scan_bench.exe on each under Wine and times the
# library's own dump tool natively for comparison.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench scan
ROUNDS=${SCAN_ROUNDS:-5}
HOSTS=300

# A cache is made once per size and generator version.
make_cache() {
    local dir=$WORK/cache-$1
    ensure_bench_cache "$dir" scan --records "$1" --hosts "$HOSTS"
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
    ratio=$(ratio_of "$ours" "$floor")
    printf 'scan %6d records: %s entries in %s folders, %s files, %s pages; ours %s s, floor %s s, ratio %s; db_dump185 natively %s s\n' \
        "$records" "$(value_of entries "$out")" "$(value_of folders "$out")" "$(value_of files "$out")" \
        "$(value_of pages "$out")" "$ours" "$floor" "$ratio" "$dump"
    summary="scan: ours $ours s, reference $floor s (bare FindFirstFile listing + ReadFile of FAT.DB page by page in the same Wine), ratio $ratio"
done
echo "$summary"
