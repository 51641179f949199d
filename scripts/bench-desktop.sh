#!/usr/bin/env bash
# Times the desktop program on the generated 100 MB file (seed 1) under Qt's offscreen platform:
# from Analysis to the listing painted, and a scroll to the last row and back, with the peak
# memory of the whole process (/usr/bin/time -v). Prints the median, least and most of RUNS runs
# and the memory budget (the file, 32 bytes a row and 150 MiB), as Markdown.
# Usage: scripts/bench-desktop.sh [RUNS] (5 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/bench-lib.sh
runs="${1:-5}"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target render-window make-large-midi >/dev/null
bench_build=build/release
bench_make_file 100
file="$bench_data/100MB.mid"
render="$bench_build/tools/render-window"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

for ((i = 0; i < runs; ++i)); do
    /usr/bin/time -v -o "$work/time.txt" "$render" --timings "$file" "$work/window.png" \
        >"$work/timings.txt" 2>/dev/null
    rows=$(sed -n 's/^rows //p' "$work/timings.txt")
    analysis=$(sed -n 's/^analysis-to-painted-ms //p' "$work/timings.txt")
    scroll=$(sed -n 's/^scroll-to-last-and-back-ms //p' "$work/timings.txt")
    kilobytes=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time.txt")
    echo "$analysis $scroll $kilobytes" >>"$work/runs"
done

# pick COLUMN WHAT: median, min or max of a column of the runs.
pick() {
    bench_pick "$work/runs" "$1" "$2"
}

fileBytes=$(stat -c %s "$file")
echo "## The desktop program on the 100 MB file"
echo
bench_machine
echo "- Runs: $runs, one process each, one after another"
echo
echo "Command:"
echo
echo "    QT_QPA_PLATFORM=offscreen $render --timings $file window.png"
echo
echo "| measure | median | least | most |"
echo "|---|---|---|---|"
echo "| Analysis to the first rows painted, ms | $(pick 1 median) | $(pick 1 min) | $(pick 1 max) |"
echo "| scroll to the last row and back, ms | $(pick 2 median) | $(pick 2 min) | $(pick 2 max) |"
awk -v median="$(pick 3 median)" -v most="$(pick 3 max)" 'BEGIN {
    printf "| peak memory, MiB | %.1f | | %.1f |\n", median / 1024, most / 1024 }'
echo
awk -v rows="$rows" -v file="$fileBytes" -v most="$(pick 3 max)" 'BEGIN {
    budget = file + 32 * rows + 150 * 1048576
    printf "- %d rows; memory budget (the file, 32 bytes a row, 150 MiB): %.1f MiB; most used: %.1f MiB\n",
        rows, budget / 1048576, most / 1024 }'
echo "- Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
