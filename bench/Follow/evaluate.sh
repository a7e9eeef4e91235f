#!/usr/bin/env bash
# Runs the follower on every reading of a corpus (VORELA_FOLLOW_JOBS at a time, default 3), scores its output and
# prints one JSON line per reading and the summary table per set.
#   evaluate.sh VORELA_FOLLOW_BINARY CORPUS_DIR [RESULTS_DIR]
# RESULTS_DIR (default: a new temporary folder) keeps each run's output, errors and exit code.
# Set VORELA_FOLLOW_SCORE to use another scorer binary, VORELA_FOLLOW_LEAD for its --lead.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
follow="${1:?usage: evaluate.sh VORELA_FOLLOW_BINARY CORPUS_DIR [RESULTS_DIR]}"
corpus="${2:?usage: evaluate.sh VORELA_FOLLOW_BINARY CORPUS_DIR [RESULTS_DIR]}"
results="${3:-$(mktemp -d -t vorela-follow.XXXXXX)}"
score="${VORELA_FOLLOW_SCORE:-$here/../../build/bench/Follow/vorela_follow_score}"
[ -x "$follow" ] || { echo "evaluate.sh: $follow is not executable" >&2; exit 2; }
[ -x "$score" ] || { echo "evaluate.sh: no scorer at $score" >&2; exit 2; }
mkdir -p "$results"

run_one() {
  local dir="$1" follow="$2" results="$3" name status=0
  name="$(basename "$dir")"
  # A reading may not run longer than ten minutes: a hung follower is a failed reading.
  timeout 600 "$follow" --script "$dir/script.txt" --audio "$dir/audio.wav" \
    --locale "$(cat "$dir/locale")" >"$results/$name.out" 2>"$results/$name.err" || status=$?
  echo "$status" >"$results/$name.status"
  echo "evaluate.sh: $name exit $status" >&2
}
export -f run_one

find "$corpus" -mindepth 2 -maxdepth 2 -name truth.json -printf '%h\0' | sort -z |
  xargs -0 -P "${VORELA_FOLLOW_JOBS:-3}" -I{} bash -c 'run_one "$@"' _ {} "$follow" "$results"
"$score" --lead "${VORELA_FOLLOW_LEAD:-1}" "$corpus" "$results" | tee "$results/scores.txt"
echo "evaluate.sh: results in $results" >&2
