#!/usr/bin/env bash
# Writes the follower's evaluation corpus: synthetic Spanish and English readings of our own
# scripts, each with the script file, the audio and the truth of what was said when.
#   make_corpus.sh OUT_DIR [VORELA_SPEAK_BINARY]
# Readings (one folder each under OUT_DIR, with script.txt, audio.wav, truth.json, locale):
# clean readings by several voices; edited readings (an off-script remark, a skipped
# paragraph, a re-read sentence, numbers read aloud in words; a ten-second ad-lib, re-reads
# of 16-24 words, phrases from further on said in passing); fast and slow readings; readings
# under mixed noise and under babble. The script file is the same for every
# reading of a language: only what is spoken changes. Needs espeak-ng data and sox.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
out="${1:?usage: make_corpus.sh OUT_DIR [VORELA_SPEAK_BINARY]}"
speak="${2:-$here/../../build/bench/Follow/vorela_speak}"
[ -x "$speak" ] || { echo "make_corpus.sh: no vorela_speak at $speak" >&2; exit 2; }
command -v sox >/dev/null || { echo "make_corpus.sh: sox is needed" >&2; exit 2; }
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# shellcheck source=readings.sh
source "$here/readings.sh"

# A plan that reads numbers the way people say them, not digit by digit. $2 holds lines
# "NUMBER<TAB>words"; the number's trailing punctuation moves onto the last spoken word.
numbers_plan() {
  awk -v table="$2" '
    BEGIN { start = 0; i = 0; FS="\t"; while ((getline line < table) > 0) { split(line, f, "\t"); say[f[1]] = f[2] } FS=" " }
    { for (k = 1; k <= NF; k++) {
        w = $k; core = w; tail = ""
        if (match(w, /[,.;:]+$/) && substr(w, 1, RSTART - 1) in say) { core = substr(w, 1, RSTART - 1); tail = substr(w, RSTART) }
        if (core in say) {
          if (i > start) print "read " start " " i - 1
          print "as " i " " say[core] tail; start = i + 1
        }
        i++ } }
    END { if (start < i) print "read " start " " i - 1 }' "$1"
}

# --- noise: a pink floor on everything, more for Spanish and for the noisy set --------------
# shellcheck source=mix.sh
source "$here/mix.sh"

# --- plans ------------------------------------------------------------------------------
write_edit_plans
for lang in es en; do
  numbers_plan "$here/texts/$lang.txt" "$here/texts/numbers-$lang.tsv" >"$work/numbers-$lang.plan"
done

# Every reading has a faint pink floor (45 dB down): pure digital silence upsets the decoder's
# normalisation. Spanish readings get pink noise at 15-20 dB: the Spanish acoustic model is
# trained on real speech and does not recognise clean synthetic speech fairly.
floor=(pinknoise 45)
es_noise() { echo "pinknoise $1"; }
mixed=(pinknoise 12 brownnoise 15 whitenoise 30)

# name                      set       lang voice        rate pitch plan                     noise
reading es-clean-es         clean-es  es   es           160  50  -                          $(es_noise 18)
reading es-clean-es419      clean-es  es   es-419       160  40  -                          $(es_noise 16)
reading es-clean-es-f3      clean-es  es   es+f3        150  60  -                          $(es_noise 20)
reading es-clean-es419-m3   clean-es  es   es-419+m3    170  45  -                          $(es_noise 15)
reading en-clean-us         clean-en  en   en-us        160  50  -                          "${floor[@]}"
reading en-clean-gb         clean-en  en   en           160  40  -                          "${floor[@]}"
reading en-clean-us-f3      clean-en  en   en-us+f3     150  60  -                          "${floor[@]}"
reading en-clean-gb-m3      clean-en  en   en+m3        170  45  -                          "${floor[@]}"
for edit in remark skip reread numbers; do
  reading es-$edit-es       edits     es   es           160  50  "$work/$edit-es.plan"    $(es_noise 18)
  reading es-$edit-es419-m3 edits     es   es-419+m3    165  45  "$work/$edit-es.plan"    $(es_noise 16)
  reading en-$edit-us       edits     en   en-us        160  50  "$work/$edit-en.plan"    "${floor[@]}"
  reading en-$edit-gb-m3    edits     en   en+m3        165  45  "$work/$edit-en.plan"    "${floor[@]}"
done
# What people do that the edits above do not: a ten-second ad-lib, re-reads of 16-24 words,
# phrases from further on said (or misheard) in passing.
for edit in adlib reread20 misheard; do
  reading es-$edit-es       $edit     es   es           160  50  "$work/$edit-es.plan"    $(es_noise 18)
  reading es-$edit-es419-m3 $edit     es   es-419+m3    165  45  "$work/$edit-es.plan"    $(es_noise 16)
  reading en-$edit-us       $edit     en   en-us        160  50  "$work/$edit-en.plan"    "${floor[@]}"
  reading en-$edit-gb-m3    $edit     en   en+m3        165  45  "$work/$edit-en.plan"    "${floor[@]}"
done
for pace in 190 120; do
  reading es-pace$pace-es419 pace    es   es-419       $pace 50 -                          $(es_noise 18)
  reading es-pace$pace-es-f3 pace    es   es+f3        $pace 60 -                          $(es_noise 18)
  reading en-pace$pace-us    pace    en   en-us        $pace 50 -                          "${floor[@]}"
  reading en-pace$pace-gb-f3 pace    en   en+f3        $pace 60 -                          "${floor[@]}"
done
reading es-noisy-es         noisy     es   es           160  50  -                          "${mixed[@]}"
reading es-noisy-es419-f3   noisy     es   es-419+f3    160  55  -                          "${mixed[@]}"
reading en-noisy-us         noisy     en   en-us        160  50  -                          "${mixed[@]}"
reading en-noisy-gb-m3      noisy     en   en+m3        160  45  -                          "${mixed[@]}"
# Babble (four voices talking at once) at 17 dB.
reading es-babble17-es      babble17  es   es           160  50  -                          babble-es 17 "${floor[@]}"
reading es-babble17-es419-f3 babble17 es   es-419+f3    160  55  -                          babble-es 17 "${floor[@]}"
reading en-babble17-us      babble17  en   en-us        160  50  -                          babble-en 17 "${floor[@]}"
reading en-babble17-gb-m3   babble17  en   en+m3        160  45  -                          babble-en 17 "${floor[@]}"
echo "make_corpus.sh: $(ls "$out" | wc -l) readings in $out"
