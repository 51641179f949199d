#!/usr/bin/env bash
# Times the desktop program on generated files (seed 1): 10 MB and 100 MB, RUNS runs each, and
# 1 GB, one run. Each run is one process of tools/render-window --timings, which shows the main
# window, analyses the file, paints the first rows, scrolls to the last row and back, and presses
# Quit; /usr/bin/time -v gives the peak memory of the whole process. Runs under a real X server
# (Xvfb, 1920x1080) when xvfb-run is there, otherwise under Qt's offscreen platform.
#
# Prints Markdown: each file's medians, the targets and whether they are met, and the memory
# the window needs for each row (from the 10 MB to the 100 MB file).
#
# The files are kept in $TRACKLENS_BENCH_DATA (/tmp/tracklens-bench by default), outside the
# repository, and made only when missing: the 1 GB file takes a gigabyte of disk.
#
# TRACKLENS_RENDER_WINDOW names another build of render-window to measure (an older commit).
#
# Usage: scripts/bench-desktop.sh [RUNS] [--without-1gb]    (RUNS: 5 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/bench-lib.sh

runs=5
with_1gb=1
for argument in "$@"; do
    case "$argument" in
    --without-1gb) with_1gb=0 ;;
    *) runs="$argument" ;;
    esac
done

scripts/install-deps.sh
build=build/release
cmake --preset release >/dev/null
cmake --build "$build" --target render-window make-large-midi >/dev/null
render="${TRACKLENS_RENDER_WINDOW:-$build/tools/render-window}"
data="${TRACKLENS_BENCH_DATA:-/tmp/tracklens-bench}"
mkdir -p "$data"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if command -v xvfb-run >/dev/null; then
    platform="Xvfb 1920x1080 (xcb)"
    run_window() { xvfb-run -a -s "-screen 0 1920x1080x24" env QT_QPA_PLATFORM=xcb "$@"; }
else
    platform="offscreen"
    run_window() { QT_QPA_PLATFORM=offscreen "$@"; }
fi

seconds_since() {
    awk -v start="$1" -v now="$(date +%s%N)" 'BEGIN { printf "%.1f", (now - start) / 1e9 }'
}

# make_file MB: the file of MB megabytes, made when missing or of another size.
make_file() {
    local file="$data/$1MB.mid"
    if [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" != "$(($1 * 1048576))" ]; then
        local start
        start=$(date +%s%N)
        "$build/tools/make-large-midi" --size-mb "$1" --seed 1 "$file"
        echo "- made $file in $(seconds_since "$start") s" >>"$work/steps"
    fi
    echo "$file"
}

# measure FILE: one run; appends "analysis scroll quit kilobytes rows first-rows" to
# $work/<name>.runs.
measure() {
    local file="$1" name
    name="$(basename "$file" .mid)"
    # The end of the process is read inside the display's session, before the server goes.
    run_window sh -c '/usr/bin/time -v -o "$1/time.txt" "$2" --timings "$3" "$1/window.png" \
        >"$1/timings.txt" 2>/dev/null; date +%s%N >"$1/ended"' sh "$work" "$render" "$file"
    local ended
    ended=$(cat "$work/ended")
    local rows first analysis scroll pressed kilobytes
    rows=$(sed -n 's/^title Tracklens (\([0-9]*\) events)$/\1/p' "$work/timings.txt")
    first=$(sed -n 's/^analysis-to-first-rows-ms //p' "$work/timings.txt")
    analysis=$(sed -n 's/^analysis-to-painted-ms //p' "$work/timings.txt")
    scroll=$(sed -n 's/^scroll-to-last-and-back-ms //p' "$work/timings.txt")
    pressed=$(sed -n 's/^quit-pressed-ns //p' "$work/timings.txt")
    kilobytes=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time.txt")
    echo "$analysis $scroll $(((ended - pressed) / 1000000)) $kilobytes ${rows:-0} ${first:--1}" \
        >>"$work/$name.runs"
}

# row NAME: the Markdown row of a file's medians.
row() {
    local runs_file="$work/$1.runs" file="$data/$1.mid"
    local count
    count=$(wc -l <"$runs_file")
    awk -v name="$1" -v count="$count" -v bytes="$(stat -c %s "$file")" \
        -v analysis="$(bench_pick "$runs_file" 1 median)" -v most="$(bench_pick "$runs_file" 1 max)" \
        -v scroll="$(bench_pick "$runs_file" 2 median)" -v quit="$(bench_pick "$runs_file" 3 median)" \
        -v peak="$(bench_pick "$runs_file" 4 max)" -v rows="$(bench_pick "$runs_file" 5 max)" \
        -v first="$(bench_pick "$runs_file" 6 median)" 'BEGIN {
        printf "| %s | %d | %d | %d | %d (most %d) | %d | %d | %.1f | %.1f |\n", name, rows, count,
            first, analysis, most, scroll, quit, peak / 1024, (peak * 1024 - bytes) / 1048576 }'
}

files=("$(make_file 10)" "$(make_file 100)")
if [ "$with_1gb" = 1 ]; then
    files+=("$(make_file 1000)")
fi
for file in "${files[@]}"; do
    start=$(date +%s%N)
    case "$file" in
    *1000MB.mid) count=1 ;;
    *) count="$runs" ;;
    esac
    for ((i = 0; i < count; ++i)); do
        measure "$file"
    done
    echo "- measured $(basename "$file") ($count runs) in $(seconds_since "$start") s" >>"$work/steps"
done

echo "## The desktop program"
echo
bench_machine
echo "- Platform: $platform"
echo
echo "Command, one process a run:"
echo
echo "    /usr/bin/time -v $render --timings FILE window.png"
echo
echo "| file | rows | runs | Analysis to the header rows painted, ms | Analysis to the listing painted, ms | scroll to the last row and back, ms | Quit to the process's end, ms | peak memory, MiB | peak beyond the file, MiB |"
echo "|---|---|---|---|---|---|---|---|---|"
for file in "${files[@]}"; do
    row "$(basename "$file" .mid)"
done
echo
cat "$work/steps"
echo

# What the window keeps for each row: the growth of the memory beyond the file, from the 10 MB to
# the 100 MB file, divided by the rows added.
awk -v small="$(bench_pick "$work/10MB.runs" 4 max)" -v large="$(bench_pick "$work/100MB.runs" 4 max)" \
    -v smallRows="$(bench_pick "$work/10MB.runs" 5 max)" -v largeRows="$(bench_pick "$work/100MB.runs" 5 max)" \
    -v smallBytes="$(stat -c %s "$data/10MB.mid")" -v largeBytes="$(stat -c %s "$data/100MB.mid")" 'BEGIN {
    perRow = ((large * 1024 - largeBytes) - (small * 1024 - smallBytes)) / (largeRows - smallRows)
    printf "- Memory beyond the file per row, 10 MB to 100 MB: %.2f bytes (target: under 1): %s\n",
        perRow, perRow < 1 ? "met" : "NOT met" }'
awk -v analysis="$(bench_pick "$work/100MB.runs" 1 median)" -v quit="$(bench_pick "$work/100MB.runs" 3 median)" \
    -v peak="$(bench_pick "$work/100MB.runs" 4 max)" -v bytes="$(stat -c %s "$data/100MB.mid")" 'BEGIN {
    printf "- 100 MB, Analysis to the listing painted: %d ms (target: at most 800): %s\n", analysis,
        analysis <= 800 ? "met" : "NOT met"
    budget = bytes + 64 * 1000000
    printf "- 100 MB, peak memory: %.1f MiB (target: the file plus 64 MB, %.1f MiB): %s\n",
        peak / 1024, budget / 1048576, peak * 1024 <= budget ? "met" : "NOT met"
    printf "- 100 MB, Quit: %d ms (target: under 200): %s\n", quit, quit < 200 ? "met" : "NOT met" }'
if [ "$with_1gb" = 1 ]; then
    awk -v analysis="$(bench_pick "$work/1000MB.runs" 1 median)" \
        -v peak="$(bench_pick "$work/1000MB.runs" 4 max)" -v rows="$(bench_pick "$work/1000MB.runs" 5 max)" \
        -v first="$(bench_pick "$work/1000MB.runs" 6 median)" \
        -v bytes="$(stat -c %s "$data/1000MB.mid")" 'BEGIN {
        printf "- 1 GB, listed and scrolled to its last row and back: %s\n", (rows > 0 ? "yes" : "NO")
        printf "- 1 GB, Analysis to the header rows painted: %d ms\n", first
        printf "- 1 GB, Analysis to the listing painted: %d ms (target: under 5000): %s\n", analysis,
            analysis < 5000 ? "met" : "NOT met"
        budget = bytes * 1.1 + 64 * 1000000
        printf "- 1 GB, peak memory: %.1f MiB (target: the file plus 10 per cent plus 64 MB, %.1f MiB): %s\n",
            peak / 1024, budget / 1048576, peak * 1024 <= budget ? "met" : "NOT met" }'
fi
echo "- Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
