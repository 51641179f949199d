#!/usr/bin/env bash
# Times the grid's tools on the 100 MB file (tools/make-large-midi --size-mb 100 --seed 7): one
# process of tools/render-tools --timings per run, which analyses the file, then searches for a
# text that is not there, builds a filter of the program changes and one of a text, goes to an
# Abs Tick, a Time and a Bar past every row, exports the TSV listing and opens the bytes window
# at the file's last line, each run through the event
# loop as the window runs it. /usr/bin/time -v gives the peak memory of the whole process; one
# run of tools/render-window on the same file gives the window's peak without the tools.
#
# The file is kept in $TRACKLENS_BENCH_DATA (/tmp/tracklens-bench by default), outside the
# repository, and made only when missing.
#
# Usage: scripts/bench-tools.sh [RUNS]    (RUNS: 3 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-3}"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build build/release --target render-tools render-window make-large-midi >/dev/null
data="${TRACKLENS_BENCH_DATA:-/tmp/tracklens-bench}"
mkdir -p "$data"
file="$data/100MB-seed7.mid"
[ -f "$file" ] || build/release/tools/make-large-midi --size-mb 100 --seed 7 "$file"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

echo "Load average before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo
echo "| run | find, not found ms | filter, program changes ms | filter, text ms | go to tick, time, bar ms | export TSV ms | bytes window to the end ms | peak MiB |"
echo "|---|---|---|---|---|---|---|---|"
for run in $(seq 1 "$runs"); do
    /usr/bin/time -v build/release/tools/render-tools --timings "$file" "$work" \
        >"$work/out" 2>"$work/time"
    value() { awk -v key="$1" '$1 == key { print $2 }' "$work/out"; }
    peak=$(awk '/Maximum resident set size/ { printf "%.1f", $NF / 1024 }' "$work/time")
    echo "| $run | $(value find-not-found-ms) | $(value filter-program-changes-ms) |" \
        "$(value filter-text-ms) | $(value go-to-past-the-end-1-ms)," \
        "$(value go-to-past-the-end-2-ms), $(value go-to-past-the-end-3-ms) |" \
        "$(value export-tsv-ms) |" \
        "$(value bytes-window-open-and-to-the-end-ms) | $peak |"
done
/usr/bin/time -v build/release/tools/render-window "$file" "$work/window.png" >/dev/null \
    2>"$work/time"
echo
echo "The window without the tools (render-window), peak MiB:" \
    "$(awk '/Maximum resident set size/ { printf "%.1f", $NF / 1024 }' "$work/time")"
