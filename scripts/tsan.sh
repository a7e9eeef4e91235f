#!/usr/bin/env bash
# Builds the core with clang under ThreadSanitizer and runs the suites that drive the
# audio tap thread against the main thread: the consumer table, the capture session, the
# voice-activity detector and the observer box; and the preference observations that
# many threads write while others observe, with the synchroniser's task queue. Expects the packages of setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${VORELA_TSAN_DIR:-build-tsan}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORELA_CORE_ONLY=ON -DVORELA_TSAN=ON -DVORELA_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" --target vorela_voice_tests vorela_app_tests vorela_prefs_tests
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
export LC_ALL=C.UTF-8
# Repeated runs give the thread interleavings more chances to go wrong.
"$BUILD_DIR/tests/vorela_voice_tests" --gtest_repeat=3 \
  --gtest_filter='AudioSessionTest.*:BufferConsumersTest.*:VoiceActivityDetector*:TranscriptionEngine*:RequestAuthorizationTest.*'
"$BUILD_DIR/tests/vorela_app_tests" --gtest_repeat=3 --gtest_filter='ObserverBoxTest.*:VoicePipelineTest.TheMeter*'
"$BUILD_DIR/tests/vorela_prefs_tests" --gtest_repeat=3 \
  --gtest_filter='ObservationTest.*:TaskQueueTest.*:CloudSynchronizerTest.*'
