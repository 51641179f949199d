#!/usr/bin/env bash
# Peak memory of tracklens-dump on files of a few very large events: one SysEx of 100 MB, one
# text event of 100 MB and eight text events of 100 MB each, in every format, the listing to
# /dev/null. Prints a Markdown table of the peaks (/usr/bin/time) and of what each takes beyond
# its file.
# Usage: scripts/bench-memory.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/bench-lib.sh
scripts/install-deps.sh
bench_configure_and_build
dump="$bench_build/cli/tracklens-dump"
generator="$bench_build/tools/make-huge-events"
mkdir -p "$bench_data"

files=("sysex 100 1" "text 100 1" "text 100 8")
echo "| file | bytes | format | peak MiB | beyond the file MiB | seconds |"
echo "|---|---|---|---|---|---|"
for entry in "${files[@]}"; do
    read -r kind size count <<<"$entry"
    file="$bench_data/huge-$kind-${size}MB-x$count.mid"
    [ -f "$file" ] || "$generator" --kind "$kind" --size-mb "$size" --count "$count" "$file"
    bytes=$(stat -c %s "$file")
    for format in tsv csv json; do
        measured=$( { /usr/bin/time -f "%M %e" "$dump" --format "$format" "$file" >/dev/null; } 2>&1 |
            tail -n 1)
        read -r kib seconds <<<"$measured"
        awk -v kind="$kind x$count" -v bytes="$bytes" -v format="$format" -v kib="$kib" \
            -v seconds="$seconds" 'BEGIN {
                printf "| %s | %d | %s | %.1f | %.1f | %s |\n", kind, bytes, format, kib / 1024,
                    kib / 1024 - bytes / 1048576, seconds }'
    done
done
