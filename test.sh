#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: first the normal build (core,
# command-line tool, window and the tests on the shared real data), then the core's tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# Sanitizer instrumentation makes GCC report warnings it cannot prove (maybe-uninitialized in
# library templates): the normal build above keeps warnings as errors.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORTHAL_SANITIZE=ON \
    -DVORTHAL_BUILD_APP=OFF -DVORTHAL_BUILD_BENCH=OFF -DVORTHAL_WARNINGS_AS_ERRORS=OFF
cmake --build build-sanitize -j "$jobs" --target vorthal_core_tests vorthal-cli vorthal-make-database
ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -L 'core|cli'
