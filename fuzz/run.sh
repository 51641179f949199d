#!/usr/bin/env bash
# Builds the fuzz preset and runs the walk's fuzzer for SECONDS (60 by default) on the seed
# corpus in fuzz/corpus, which it only reads. Inputs it grows go to a scratch folder; an input
# that crashes it, trips a sanitizer or breaks one of its checks is kept in build/fuzz/findings/
# and the script fails. Further arguments go to libFuzzer (for example -jobs=1).
#   fuzz/run.sh [SECONDS] [LIBFUZZER-ARGUMENTS...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
grown="$(mktemp -d)"
trap 'rm -rf "$grown"' EXIT

build/fuzz/fuzz/fuzz-walk -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -dict=fuzz/smf.dict -artifact_prefix="$findings/" "$@" "$grown" fuzz/corpus
