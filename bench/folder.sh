#!/usr/bin/env bash
# Opening a big host folder against the index scan of the same cache:
# ./tarn bench folder
#
# Builds a cache whose one host holds 20,000 documents beside a few small
# ones, starts tarnview.exe on it under Wine and times, once the loading
# pass has ended, selecting that host in the tree until the list and the
# status bar show its documents (bench/folder_bench.exe). The reference is
# the index scan of the same cache (bench/scan_bench.exe).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench folder
ROUNDS=${FOLDER_ROUNDS:-5}
BIG=20000
HOST=www.zentralarchiv.de
TARNVIEW=$(wine_path "$TARN_WIN32/ui/tarnview.exe")

dir=$WORK/cache-$BIG
ensure_bench_cache "$dir" hosts --records $((BIG + 100)) --hosts 50 --big-host "$BIG"
cache=$(wine_path "$dir")
scan=$(wine "$TARN_WIN32/bench/scan_bench.exe" "$cache" "$ROUNDS")
out=$(wine "$BENCH_EXE" "$TARNVIEW" "$cache" "$HOST" "$ROUNDS")
ours=$(value_of folder_seconds "$out")
reference=$(value_of scan_seconds "$scan")
ratio=$(ratio_of "$ours" "$reference")
printf 'folder %s: %s documents listed, status "%s"; ours %s s, index scan of the cache (%s entries in %s folders) %s s, ratio %s\n' \
    "$HOST" "$(value_of listed "$out")" "$(value_of status "$out")" "$ours" "$(value_of entries "$scan")" \
    "$(value_of folders "$scan")" "$reference" "$ratio"
echo "folder: ours $ours s, reference $reference s (selecting a host of $BIG documents until list and status bar show them, after the loading pass; reference: scanCacheIndex of the same cache), ratio $ratio"
