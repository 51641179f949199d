#!/usr/bin/env bash
# Times whole processes of tracklens-dump on the generated 10 MB and 100 MB files: the default
# TSV listing, the listing with --keep-going and the checks (--check), all to /dev/null, their
# runs interleaved. Prints the median, least and most wall-clock time and the peak memory
# (/usr/bin/time -v) of each, and the ratios to the default listing, as Markdown.
# Usage: scripts/bench-diagnostics.sh [RUNS] (5 by default)
# DUMP=path/to/tracklens-dump measures that build instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/bench-lib.sh
runs="${1:-5}"
if [ -z "${DUMP:-}" ]; then
    bench_configure_and_build
    dump="$bench_build/cli/tracklens-dump"
    make_large="$bench_build/tools/make-large-midi"
else
    dump="$DUMP"
    make_large="$(dirname "$dump")/../tools/make-large-midi"
fi
sizes=(10 100)
mkdir -p "$bench_data"
for size in "${sizes[@]}"; do
    "$make_large" --size-mb "$size" --seed 1 "$bench_data/${size}MB.mid"
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# run NAME COMMAND...: one timed run; appends "seconds kilobytes" to $work/NAME. The checks and
# a listing that keeps going may end in 1 (a finding that is an error, a problem row).
run() {
    bench_timed_run "$work" 1 "$@"
}

echo "## Whole processes: the listing, --keep-going and --check"
echo
bench_machine
echo "- Runs per command and file: $runs, interleaved"
echo
echo "| file | command | median s | least s | most s | peak memory MiB | time against the listing |"
echo "|---|---|---|---|---|---|---|"
for size in "${sizes[@]}"; do
    file="$bench_data/${size}MB.mid"
    for ((i = 0; i < runs; ++i)); do
        run "list-$size" "$dump" "$file"
        run "keep-$size" "$dump" --keep-going "$file"
        run "check-$size" "$dump" --check "$file"
    done
    base=$(bench_pick "$work/list-$size" 1 median)
    for name in list keep check; do
        case $name in
        list) command="tracklens-dump FILE" ;;
        keep) command="tracklens-dump --keep-going FILE" ;;
        check) command="tracklens-dump --check FILE" ;;
        esac
        median=$(bench_pick "$work/$name-$size" 1 median)
        printf '| %s MB | `%s` | %.3f | %.3f | %.3f | %.1f | %.3f |\n' "$size" "$command" \
            "$median" "$(bench_pick "$work/$name-$size" 1 min)" \
            "$(bench_pick "$work/$name-$size" 1 max)" \
            "$(awk "BEGIN { print $(bench_pick "$work/$name-$size" 2 max) / 1024 }")" \
            "$(awk "BEGIN { print $median / $base }")"
    done
done
echo
echo "- Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
