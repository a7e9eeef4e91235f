#!/usr/bin/env bash
# Configures and builds into build/ (or $VORELA_BUILD_DIR) with Ninja.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${VORELA_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} "$@"
cmake --build "$BUILD_DIR"
