# Shared by the corpus writers: word indexes over a script, one reading, the edit plans.
# The caller sets here, out, work and speak, and sources mix.sh.

# --- word indexes over a script (white-space words, 0-based, as the tools count them) ----
# First word of paragraph N (1-based; paragraphs are separated by blank lines).
para_first() {
  awk -v want="$2" 'BEGIN{RS=""} NR<want{n+=NF} END{print n}' "$1"
}
# Last word of the first sentence that starts at or after word FROM.
sentence_end() {
  tr -s ' \n\t' '\n\n\n' <"$1" | awk -v from="$2" 'NF{ if (i>=from && $0 ~ /[.!?]$/) {print i; exit} i++ }'
}
last_word() { echo $(( $(wc -w <"$1") - 1 )); }
# Words FIRST..LAST as written.
words_of() {
  tr -s ' \n\t' '\n\n\n' <"$1" | awk -v a="$2" -v b="$3" 'NF{ if (i>=a && i<=b) printf "%s%s", (i>a ? " " : ""), $0; i++ } END{print ""}'
}
# First word of the shortest run of whole sentences that ends at word END and holds at least
# MIN words: where a reader who lost the thread goes back to.
sentences_back() {
  tr -s ' \n\t' '\n\n\n' <"$1" | awk -v end="$2" -v min="$3" '
    NF{ if (i == 0 || prev ~ /[.!?]$/) starts[n++] = i; prev = $0; i++ }
    END{ for (k = n - 1; k >= 0; k--) if (starts[k] <= end - min + 1) { print starts[k]; exit } }'
}

# reading NAME SET LANG VOICE RATE PITCH PLAN|- NOISE...
reading() {
  local name="$1" set="$2" lang="$3" voice="$4" rate="$5" pitch="$6" plan="$7"; shift 7
  local dir="$out/$name" planArgs=()
  mkdir -p "$dir"
  cp "$here/texts/$lang.txt" "$dir/script.txt"
  if [ "$lang" = es ]; then echo es-ES; else echo en-US; fi >"$dir/locale"
  [ "$plan" != "-" ] && { cp "$plan" "$dir/plan.txt"; planArgs=(--plan "$dir/plan.txt"); }
  "$speak" --script "$dir/script.txt" "${planArgs[@]}" --voice "$voice" --rate "$rate" \
    --pitch "$pitch" --set "$set" --wav "$work/$name.wav" --truth "$dir/truth.json"
  mix "$work/$name.wav" "$dir/audio.wav" "$@"
  rm -f "$work/$name.wav"
}

# Plans in $work for each language: an off-script remark, a skipped paragraph, a re-read
# sentence; an ad-lib of about ten seconds; two re-reads of 16-24 words; two phrases from
# 12 and 19 words ahead said (or misheard) before the reader goes on where they were.
write_edit_plans() {
  local lang s end p2 p3 p4 p5 s2 s3 s5 a b from1 from2 far
  for lang in es en; do
    s="$here/texts/$lang.txt"; end="$(last_word "$s")"
    p2="$(para_first "$s" 2)"; p3="$(para_first "$s" 3)"; p4="$(para_first "$s" 4)"
    s2="$(sentence_end "$s" "$p2")"; s3="$(sentence_end "$s" "$p3")"
    { echo "read 0 $s3"; echo "say $(cat "$here/texts/remark-$lang.txt")"; echo "read $((s3 + 1)) $end"; } >"$work/remark-$lang.plan"
    { echo "read 0 $((p3 - 1))"; echo "read $p4 $end"; } >"$work/skip-$lang.plan"
    { echo "read 0 $s2"; echo "read $p2 $end"; } >"$work/reread-$lang.plan"

    p5="$(para_first "$s" 5)"; s5="$(sentence_end "$s" "$p5")"
    { echo "read 0 $s5"; echo "say $(cat "$here/texts/adlib-$lang.txt")"; echo "read $((s5 + 1)) $end"; } >"$work/adlib-$lang.plan"

    # Re-reads: back over the sentences before these words (paragraphs 3-4 and 5).
    if [ "$lang" = es ]; then a=137; b=288; else a=164; b=253; fi
    from1="$(sentences_back "$s" "$a" 16)"; from2="$(sentences_back "$s" "$b" 16)"
    for span in "$from1 $a" "$from2 $b"; do
      set -- $span
      [ $(($2 - $1 + 1)) -ge 16 ] && [ $(($2 - $1 + 1)) -le 24 ] ||
        { echo "readings.sh: re-read $1..$2 of $lang is not 16-24 words" >&2; return 1; }
    done
    { echo "read 0 $a"; echo "read $from1 $b"; echo "read $from2 $end"; } >"$work/reread20-$lang.plan"

    far=(); for at in "$s3 12" "$s5 19"; do set -- $at; far+=("$1" "$(words_of "$s" $(($1 + 1 + $2)) $(($1 + 3 + $2)))"); done
    { echo "read 0 ${far[0]}"; echo "say ${far[1]}"; echo "read $((far[0] + 1)) ${far[2]}"
      echo "say ${far[3]}"; echo "read $((far[2] + 1)) $end"; } >"$work/misheard-$lang.plan"
  done
}
