#!/usr/bin/env bash
# Renders the main window after analysing TestRead.mid into docs/tracklens.png, without a
# display (Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/release/tools/render-window data/TestRead.mid docs/tracklens.png
echo "written docs/tracklens.png"
