#!/usr/bin/env bash
# Builds the benchmarks with the release preset's flags, makes the 1, 10 and 100 MB files
# (seed 1) and runs the four Google Benchmark programs on them.
# Usage: scripts/bench-run.sh [extra Google Benchmark flags, e.g. --benchmark_repetitions=3]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/bench-lib.sh
scripts/install-deps.sh
bench_configure_and_build
for size in 1 10 100; do
    bench_make_file "$size"
done
files=("$bench_data/1MB.mid" "$bench_data/10MB.mid" "$bench_data/100MB.mid")

echo "## Machine"
bench_machine
echo
for program in bench-walk bench-cells bench-tsv bench-texts; do
    echo "## $program"
    echo '```'
    echo "\$ $bench_build/bench/$program ${files[*]} $*"
    "$bench_build/bench/$program" "${files[@]}" "$@" 2>&1
    echo '```'
done
echo "- Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
