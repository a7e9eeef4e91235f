#!/usr/bin/env bash
# Writes a small corpus for choosing the decoder's noise settings: a clean and an edited
# reading per language, and readings under pink noise and under babble (several voices
# talking at once) at a hard (7 dB) and a moderate (17 dB) signal-to-noise ratio.
#   make_noise_corpus.sh OUT_DIR [VORELA_SPEAK_BINARY]
# Same reading folders as make_corpus.sh; sets: clean, edits, noisy-hard, noisy-moderate.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
out="${1:?usage: make_noise_corpus.sh OUT_DIR [VORELA_SPEAK_BINARY]}"
speak="${2:-$here/../../build/bench/Follow/vorela_speak}"
[ -x "$speak" ] || { echo "make_noise_corpus.sh: no vorela_speak at $speak" >&2; exit 2; }
command -v sox >/dev/null || { echo "make_noise_corpus.sh: sox is needed" >&2; exit 2; }
command -v espeak-ng >/dev/null || { echo "make_noise_corpus.sh: espeak-ng is needed" >&2; exit 2; }
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# shellcheck source=mix.sh
source "$here/mix.sh"

# shellcheck source=readings.sh
source "$here/readings.sh"
write_edit_plans

floor=(pinknoise 45)
# name                  set            lang voice      rate pitch plan                  noise
reading en-clean-us     clean          en   en-us      160  50  -                       "${floor[@]}"
reading es-clean-es     clean          es   es         160  50  -                       pinknoise 18
reading en-skip-us      edits          en   en-us      160  50  "$work/skip-en.plan"    "${floor[@]}"
reading es-reread-es    edits          es   es         160  50  "$work/reread-es.plan"  pinknoise 18
reading en-remark-gb-m3 edits          en   en+m3      165  45  "$work/remark-en.plan"  "${floor[@]}"
reading es-remark-es    edits          es   es         160  50  "$work/remark-es.plan"  pinknoise 18
reading en-pink7-us     noisy-hard     en   en-us      160  50  -                       pinknoise 7
reading es-pink7-es     noisy-hard     es   es         160  50  -                       pinknoise 7
reading en-babble7-gb   noisy-hard     en   en         160  40  -                       babble-en 7 pinknoise 45
reading es-babble7-es   noisy-hard     es   es-419     160  40  -                       babble-es 7 pinknoise 45
reading en-pink17-f3    noisy-moderate en   en-us+f3   150  60  -                       pinknoise 17
reading es-babble17-m3  noisy-moderate es   es+m3      165  45  -                       babble-es 17 pinknoise 45
reading en-babble17-us  noisy-moderate en   en-us      160  50  -                       babble-en 17 pinknoise 45
reading es-pink17-f3    noisy-moderate es   es+f3      150  60  -                       pinknoise 17
echo "make_noise_corpus.sh: $(ls "$out" | wc -l) readings in $out"
