#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Vorela with its tests and runs them all with ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
BUILD_DIR=${VORELA_BUILD_DIR:-build}
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" --timeout 300
