#!/usr/bin/env bash
# The start of tarnview.exe against the floor of the platform:
# ./tarn bench startup
#
# Builds caches of many hosts with the fixture builder and times, under
# Wine, from starting the program to the end of its loading pass
# (bench/startup_bench.exe). The reference is what the platform needs at
# least for the same cache: the floor of the index scan (bench/scan_bench.exe)
# plus the floor of the loading pass (bench/titles_bench.exe).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/bench_common.bash"
use_bench startup
ROUNDS=${STARTUP_ROUNDS:-5}
HOSTS=2000
TARNVIEW=$(wine_path "$TARN_WIN32/ui/tarnview.exe")

worst_ratio=
summary=
for records in 20000 100000; do
    dir=$WORK/cache-$records-$HOSTS
    ensure_bench_cache "$dir" hosts --records "$records" --hosts "$HOSTS"
    cache=$(wine_path "$dir")
    scan=$(wine "$TARN_WIN32/bench/scan_bench.exe" "$cache" "$ROUNDS")
    titles=$(wine "$TARN_WIN32/bench/titles_bench.exe" "$cache" "$ROUNDS")
    out=$(wine "$BENCH_EXE" "$TARNVIEW" "$cache" "$ROUNDS")
    ours=$(value_of startup_seconds "$out")
    scan_floor=$(value_of floor_seconds "$scan")
    titles_floor=$(value_of floor_seconds "$titles")
    reference=$(LC_ALL=C awk -v a="$scan_floor" -v b="$titles_floor" 'BEGIN { printf "%.4f", a + b }')
    ratio=$(ratio_of "$ours" "$reference")
    printf 'startup %6d records: %s entries in %s folders (%s in the tree), %s HTML files; ours %s s, reference %s s (scan floor %s s + titles floor %s s), ratio %s; scan %s s, loading pass %s s\n' \
        "$records" "$(value_of entries "$scan")" "$(value_of folders "$scan")" "$(value_of folders "$out")" \
        "$(value_of html_files "$titles")" "$ours" "$reference" "$scan_floor" "$titles_floor" "$ratio" \
        "$(value_of scan_seconds "$scan")" "$(value_of pass_seconds "$titles")"
    # The summary names the size with the worse ratio.
    if [ -z "$worst_ratio" ] || LC_ALL=C awk -v a="$ratio" -v b="$worst_ratio" 'BEGIN { exit !(a > b) }'; then
        worst_ratio=$ratio
        summary="startup: ours $ours s, reference $reference s ($records records over $HOSTS hosts, start to the end of the loading pass; reference: scan floor + titles floor of the same cache in the same Wine), ratio $ratio"
    fi
done
echo "$summary"
