#!/usr/bin/env bash
# The main job: installs what is missing, builds, and lists the bundled TestRead.mid.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release

build=build/release
if [ -x "$build/ui/tracklens" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec "$build/ui/tracklens" data/TestRead.mid
fi
exec "$build/cli/tracklens-dump" data/TestRead.mid
