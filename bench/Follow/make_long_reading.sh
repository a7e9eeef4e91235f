#!/usr/bin/env bash
# Writes one long reading for measuring the follower's memory and speed over a whole talk:
# the language's script paragraphs, in a new order each round, until the script holds at
# least WORDS words, read by one voice with the corpus's noise floor.
#   make_long_reading.sh OUT_DIR es|en [WORDS] [VORELA_SPEAK_BINARY]
# OUT_DIR gets script.txt, audio.wav, truth.json and locale, like a corpus reading.
# 5,000 words take about half an hour of audio. Needs espeak-ng data and sox.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
out="${1:?usage: make_long_reading.sh OUT_DIR es|en [WORDS] [VORELA_SPEAK_BINARY]}"
lang="${2:?usage: make_long_reading.sh OUT_DIR es|en [WORDS] [VORELA_SPEAK_BINARY]}"
words="${3:-5000}"
speak="${4:-$here/../../build/bench/Follow/vorela_speak}"
[ -x "$speak" ] || { echo "make_long_reading.sh: no vorela_speak at $speak" >&2; exit 2; }
[ -f "$here/texts/$lang.txt" ] || { echo "make_long_reading.sh: no script for $lang" >&2; exit 2; }
command -v sox >/dev/null || { echo "make_long_reading.sh: sox is needed" >&2; exit 2; }
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# shellcheck source=mix.sh
source "$here/mix.sh"

# Round r starts at paragraph r (mod the paragraph count): the script does not repeat
# itself with a fixed period, as a real long talk would not.
awk -v want="$words" 'BEGIN { RS = "" }
  { paragraph[NR] = $0; count[NR] = NF }
  END {
    for (round = 0; total < want; round++)
      for (k = 0; k < NR && total < want; k++) {
        i = (round + k) % NR + 1
        printf "%s%s\n", (total ? "\n" : ""), paragraph[i]
        total += count[i]
      }
  }' "$here/texts/$lang.txt" >"$out/script.txt"

if [ "$lang" = es ]; then
  echo es-ES >"$out/locale"
  voice=es noise=(pinknoise 18)  # the Spanish model needs a real-speech-like floor
else
  echo en-US >"$out/locale"
  voice=en-us noise=(pinknoise 45)
fi
"$speak" --script "$out/script.txt" --voice "$voice" --rate 160 --pitch 50 --set long \
  --wav "$work/speech.wav" --truth "$out/truth.json"
mix "$work/speech.wav" "$out/audio.wav" "${noise[@]}"
echo "make_long_reading.sh: $(wc -w <"$out/script.txt") words, $(soxi -d "$out/audio.wav") in $out"
