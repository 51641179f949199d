#!/usr/bin/env bash
# Times whole processes: tracklens-dump writing its TSV listing, the same with every column
# (--columns all) and midicsv writing its CSV, of the same generated 10 MB and 100 MB files, all
# to /dev/null, their runs interleaved in one go.
# Prints for each the median, least and most wall-clock time, the peak memory
# (/usr/bin/time -v) and the ratios, as Markdown.
# Usage: scripts/bench-compare.sh [RUNS] (5 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/bench-lib.sh
runs="${1:-5}"
scripts/install-deps.sh
bench_configure_and_build
dump="$bench_build/cli/tracklens-dump"
midicsv="$(command -v midicsv)"
sizes=(10 100)
for size in "${sizes[@]}"; do
    bench_make_file "$size"
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

calc() {
    awk "BEGIN { print $1 }"
}

# run NAME COMMAND...: one timed run; appends "seconds kilobytes" to $work/NAME.
run() {
    bench_timed_run "$work" 0 "$@"
}

# pick NAME COLUMN WHAT: median, min or max of a column of $work/NAME.
pick() {
    bench_pick "$work/$1" "$2" "$3"
}

echo "## Whole processes: tracklens-dump against midicsv"
echo
bench_machine
echo "- Runs per program and file: $runs, interleaved (tracklens-dump, the same with every column, midicsv, tracklens-dump, ...)"
echo
echo "Commands, for FILE in $bench_data/10MB.mid and $bench_data/100MB.mid:"
echo
echo "    $dump FILE > /dev/null"
echo "    $dump --columns all FILE > /dev/null"
echo "    $midicsv FILE > /dev/null"
echo
echo "| file | program | median s | least s | most s | peak memory MiB |"
echo "|---|---|---|---|---|---|"
summary=()
for size in "${sizes[@]}"; do
    file="$bench_data/${size}MB.mid"
    for ((i = 0; i < runs; ++i)); do
        run "dump-$size" "$dump" "$file"
        run "all-$size" "$dump" --columns all "$file"
        run "midicsv-$size" "$midicsv" "$file"
    done
    for name in dump all midicsv; do
        case "$name" in
        dump) program=tracklens-dump ;;
        all) program="tracklens-dump --columns all" ;;
        *) program=midicsv ;;
        esac
        printf '| %s MB | %s | %.3f | %.3f | %.3f | %.1f |\n' "$size" "$program" \
            "$(pick "$name-$size" 1 median)" "$(pick "$name-$size" 1 min)" \
            "$(pick "$name-$size" 1 max)" "$(calc "$(pick "$name-$size" 2 max) / 1024")"
    done
    ratio=$(calc "$(pick "midicsv-$size" 1 median) / $(pick "dump-$size" 1 median)")
    peak=$(pick "dump-$size" 2 max)
    fileKiB=$(($(stat -c %s "$file") / 1024))
    summary+=("$(printf -- '- %s MB: tracklens-dump is %.1f times as fast as midicsv (median against median); its peak memory is %.1f MiB, the file plus %.1f MiB' \
        "$size" "$ratio" "$(calc "$peak / 1024")" "$(calc "($peak - $fileKiB) / 1024")")")
    ratio=$(calc "$(pick "midicsv-$size" 1 median) / $(pick "all-$size" 1 median)")
    summary+=("$(printf -- '- %s MB: with every column, %.1f times as fast as midicsv' "$size" "$ratio")")
done
echo
printf '%s\n' "${summary[@]}"
echo "- Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
