#!/usr/bin/env bash
# The index scan against the floor of the platform: ./tarn bench scan
#
# Builds synthetic caches with the fixture builder (the genuine hash
# library), runs bench/scan_bench.exe on each under Wine and times the
# library's own dump tool natively for comparison. Besides caches over many
# hosts it scans one host of 100,000 records and a cache in which every
# record has a MIME type of its own.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench scan
ROUNDS=${SCAN_ROUNDS:-5}
HOSTS=300

# make_cache NAME [OPTION...]: the cache WORK/cache-NAME, made once per
# generator version.
make_cache() {
    local dir=$WORK/cache-$1
    shift
    ensure_bench_cache "$dir" scan "$@"
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

# scan_cache DIR: runs the benchmark on DIR and sets OUT, OURS, FLOOR, RATIO
# and DUMP.
scan_cache() {
    OUT=$(wine "$BENCH_EXE" "$(wine_path "$1")" "$ROUNDS")
    OURS=$(value_of scan_seconds "$OUT")
    FLOOR=$(value_of floor_seconds "$OUT")
    RATIO=$(ratio_of "$OURS" "$FLOOR")
    DUMP=$(time_dump "$1")
}

summary=
for records in 100000 20000; do
    scan_cache "$(make_cache "$records" --records "$records" --hosts "$HOSTS")"
    printf 'scan %6d records: %s entries in %s folders, %s files, %s pages; ours %s s, floor %s s, ratio %s; db_dump185 natively %s s\n' \
        "$records" "$(value_of entries "$OUT")" "$(value_of folders "$OUT")" "$(value_of files "$OUT")" \
        "$(value_of pages "$OUT")" "$OURS" "$FLOOR" "$RATIO" "$DUMP"
    summary="scan: ours $OURS s, reference $FLOOR s (bare FindFirstFile listing + ReadFile of FAT.DB page by page in the same Wine), ratio $RATIO"
    many_hosts_20000=$OURS
done

# Every document in one folder: filing must not grow with the square of it.
scan_cache "$(make_cache onehost-100000 --records 100000 --hosts 1)"
printf 'scan one-host 100000: %s entries in %s folders, %s files, %s pages; ours %s s, floor %s s, ratio %s; db_dump185 natively %s s\n' \
    "$(value_of entries "$OUT")" "$(value_of folders "$OUT")" "$(value_of files "$OUT")" \
    "$(value_of pages "$OUT")" "$OURS" "$FLOOR" "$RATIO" "$DUMP"

# A MIME type per record: finding types must not grow with the square of them.
scan_cache "$(make_cache types-20000 --records 20000 --hosts "$HOSTS" --distinct-types)"
printf 'scan types 20000: %s entries, %s MIME types, %s files, %s pages; ours %s s, floor %s s, ratio %s; %s times the 20000-record scan; db_dump185 natively %s s\n' \
    "$(value_of entries "$OUT")" "$(value_of types "$OUT")" "$(value_of files "$OUT")" \
    "$(value_of pages "$OUT")" "$OURS" "$FLOOR" "$RATIO" "$(ratio_of "$OURS" "$many_hosts_20000")" "$DUMP"

echo "$summary"
