#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the optimised build and the
# sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer), then a minute of fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen

scripts/build.sh release
ctest --preset release -j "$(nproc)"

scripts/build.sh sanitize
ctest --preset sanitize -j "$(nproc)"

# The walk's fuzzer for a minute on its seed corpus; a finding fails the script.
fuzz/run.sh 60
