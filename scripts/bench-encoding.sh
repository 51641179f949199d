#!/usr/bin/env bash
# Times whole processes: tracklens-dump writing the TSV listing of the generated 10 MB file
# (seed 7) to /dev/null with the default encoding and with --encoding auto, the runs interleaved
# (default, auto, default, ...). Prints the median, least and most wall-clock time of each and
# the ratio of the medians, as Markdown.
# Usage: scripts/bench-encoding.sh [RUNS] (11 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/bench-lib.sh
runs="${1:-11}"
scripts/install-deps.sh
bench_configure_and_build
dump="$bench_build/cli/tracklens-dump"
mkdir -p "$bench_data"
file="$bench_data/10MB-seed7.mid"
"$bench_build/tools/make-large-midi" --size-mb 10 --seed 7 "$file"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# run NAME ARGUMENTS...: one timed run of tracklens-dump; appends its seconds to $work/NAME.
run() {
    local name="$1"
    shift
    local start end
    start=$EPOCHREALTIME
    "$dump" "$@" "$file" >/dev/null
    end=$EPOCHREALTIME
    awk -v start="$start" -v end="$end" 'BEGIN { print end - start }' >>"$work/$name"
}

# A run of each first, not counted: the file and the program are then in the page cache.
run warm
run warm --encoding auto
for _ in $(seq "$runs"); do
    run default
    run auto --encoding auto
done

echo "## Whole processes: tracklens-dump --encoding auto against the default"
echo
bench_machine
echo "- File: make-large-midi --size-mb 10 --seed 7; runs of each: $runs, interleaved"
echo
echo "| command | median s | least s | most s |"
echo "|---|---|---|---|"
for name in default auto; do
    option=""
    [ "$name" = auto ] && option=" --encoding auto"
    echo "| \`tracklens-dump$option FILE >/dev/null\` | $(bench_pick "$work/$name" 1 median) |" \
        "$(bench_pick "$work/$name" 1 min) | $(bench_pick "$work/$name" 1 max) |"
done
echo
awk -v a="$(bench_pick "$work/auto" 1 median)" -v d="$(bench_pick "$work/default" 1 median)" \
    'BEGIN { printf "auto / default (medians): %.3f\n", a / d }'
