#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the optimised build and the
# sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen

scripts/build.sh release
ctest --preset release -j "$(nproc)"

scripts/build.sh sanitize
ctest --preset sanitize -j "$(nproc)"
