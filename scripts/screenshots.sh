#!/usr/bin/env bash
# Saves a picture of each tab of the main window (tab1.png ... tab4.png, and tab1-steps.png with the
# recovery steps shown) and of the About window (about.png) into FOLDER (default build/screenshots),
# rendered on a virtual X display. The window first scans a generated disk image (a demonstration
# database written in three fragments out of order), so that the log and the fragment list show rows.
# Usage: scripts/screenshots.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/screenshots}
build=${VORTHAL_BUILD_DIR:-build}

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target vorthal-screenshots vorthal-make-database

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tests/fixtures/vorthal-make-database" "$work/demo.mdf" 400
# Pages 0-99 at sector 2048, pages 250-399 at sector 12000, pages 100-249 at sector 20000.
truncate -s 16M "$work/disk.img"
dd if="$work/demo.mdf" of="$work/disk.img" bs=512 seek=2048 count=1600 conv=notrunc status=none
dd if="$work/demo.mdf" of="$work/disk.img" bs=512 skip=4000 seek=12000 count=2400 conv=notrunc status=none
dd if="$work/demo.mdf" of="$work/disk.img" bs=512 skip=1600 seek=20000 count=2400 conv=notrunc status=none

mkdir -p "$folder"
QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    "$build/app/vorthal-screenshots" "$folder" "$work/disk.img"
echo "Pictures in $folder:"
ls -1 "$folder"
