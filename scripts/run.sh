#!/usr/bin/env bash
# The main job: installs what is missing, builds, and starts the desktop program, which offers
# the bundled TestRead.mid. Without a display it prints that file's listing instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release

build=build/release
if [ -x "$build/ui/tracklens" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec "$build/ui/tracklens"
fi
exec "$build/cli/tracklens-dump" data/TestRead.mid
