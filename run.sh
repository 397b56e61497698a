#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (./run.sh demo: the recovery demo).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
if [ "${1:-}" = demo ]; then
    exec scripts/demo.sh build
fi
if [ -x build/app/vorthal ]; then
    exec build/app/vorthal "$@"
fi
exec build/cli/vorthal-cli --help
