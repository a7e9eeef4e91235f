#!/usr/bin/env bash
# Builds every test program with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them all: the core's, the Qt views' and the Linux implementations' (those start
# their own PulseAudio server and Xvfb). Leaks that sit wholly inside Qt, fontconfig,
# FreeType, HarfBuzz or the audio plugins are suppressed by scripts/lsan.supp; any other
# leak fails the run. Expects the packages of setup.sh to be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${VORELA_SANITIZE_DIR:-build-asan}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVORELA_CORE_ONLY=OFF -DVORELA_SANITIZE=ON -DVORELA_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR"
# The suppressions name library functions: without a symbolizer they would match nothing.
SYMBOLIZER=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 ||
  echo /usr/lib/llvm-14/bin/llvm-symbolizer)
if [ ! -x "$SYMBOLIZER" ]; then
  echo "sanitize: llvm-symbolizer not found (it comes with clang)" >&2
  exit 1
fi
export ASAN_SYMBOLIZER_PATH=$SYMBOLIZER
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" -L core --timeout 300
# Qt and the audio libraries are built without frame pointers: only the slow unwinder
# reaches the library frames the suppressions name.
export ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" -L ui --timeout 300
# One at a time: the real-audio tests time speech against silence, and the sanitizers'
# slowdown on a busy machine blurs those edges (about a minute in all).
ctest --test-dir "$BUILD_DIR" --output-on-failure -j1 -L linux --timeout 300
