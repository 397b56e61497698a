#!/usr/bin/env bash
# Saves a picture of each tab of the main window (tab1.png ... tab4.png, and tab1-steps.png with the
# recovery steps shown) and of the About window (about.png) into FOLDER (default build/screenshots),
# rendered on a virtual X display.
# Usage: scripts/screenshots.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/screenshots}
build=${VORTHAL_BUILD_DIR:-build}

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target vorthal-screenshots

mkdir -p "$folder"
QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    "$build/app/vorthal-screenshots" "$folder"
echo "Pictures in $folder:"
ls -1 "$folder"
