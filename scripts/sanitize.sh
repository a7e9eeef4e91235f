#!/usr/bin/env bash
# Builds the core with clang under AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the core tests. Expects the packages of setup.sh to be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${VORELA_SANITIZE_DIR:-build-asan}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVORELA_CORE_ONLY=ON -DVORELA_SANITIZE=ON -DVORELA_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" -L core --timeout 300
