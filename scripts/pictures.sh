#!/usr/bin/env bash
# Renders the grid's tools for the README into docs/images/, without a display (Qt's offscreen
# platform): the find bar, the filter and the bytes window, on a file of the project's own
# making (tools/make-large-midi, 1 MB, seed 7, made in a temporary folder).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build build/release --target render-tools make-large-midi >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/release/tools/make-large-midi --size-mb 1 --seed 7 "$work/sample.mid"
mkdir -p docs/images
QT_QPA_PLATFORM=offscreen build/release/tools/render-tools "$work/sample.mid" docs/images
echo "written docs/images/find-bar.png, docs/images/filter.png, docs/images/bytes-window.png"
