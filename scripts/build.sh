#!/usr/bin/env bash
# Configures and builds the program folder in build/ (or $QUILLON_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLON_BUILD:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-Release} >/dev/null
cmake --build "$build" -j"${QUILLON_JOBS:-2}"
