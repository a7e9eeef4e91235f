#!/usr/bin/env bash
# Builds the core with clang under ThreadSanitizer and runs the suites that drive the
# audio tap thread against the main thread: the consumer table, the capture session, the
# voice-activity detector, both transcribers, the observer box, the notification centre and
# the thread-safe stream; and the preference observations that many threads write while
# others observe, with the synchroniser's task queue. Expects the packages of setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${VORELA_TSAN_DIR:-build-tsan}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORELA_CORE_ONLY=ON -DVORELA_TSAN=ON -DVORELA_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" --target vorela_platform_tests vorela_voice_tests vorela_app_tests \
  vorela_prefs_tests
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
export LC_ALL=C.UTF-8

# Runs the suites of a test program three times; every pattern of the filter must name
# tests in that program, so a renamed or moved suite fails here instead of going untested.
run_threaded() {
  local program="$BUILD_DIR/tests/$1" filter=$2 pattern
  for pattern in ${filter//:/ }; do
    if [[ $("$program" --gtest_list_tests --gtest_filter="$pattern") != *$'\n  '* ]]; then
      echo "tsan.sh: $1 has no test matching $pattern" >&2
      exit 1
    fi
  done
  # Repeated runs give the thread interleavings more chances to go wrong.
  "$program" --gtest_repeat=3 --gtest_filter="$filter"
}

run_threaded vorela_platform_tests 'ObserverBoxTest.*:AsyncStreamTest.*:NotificationCenterTest.*'
run_threaded vorela_voice_tests \
  'AudioSessionTest.*:BufferConsumersTest.*:VoiceActivityDetector*:LegacyTranscriberTest.*:ModernTranscriberTest.*:RequestAuthorizationTest.*'
run_threaded vorela_app_tests 'VoicePipelineTest.TheMeter*'
run_threaded vorela_prefs_tests 'ObservationTest.*:TaskQueueTest.*:CloudSynchronizerTest.*'
