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
# sentence.
write_edit_plans() {
  local lang s end p2 p3 p4 s2 s3
  for lang in es en; do
    s="$here/texts/$lang.txt"; end="$(last_word "$s")"
    p2="$(para_first "$s" 2)"; p3="$(para_first "$s" 3)"; p4="$(para_first "$s" 4)"
    s2="$(sentence_end "$s" "$p2")"; s3="$(sentence_end "$s" "$p3")"
    { echo "read 0 $s3"; echo "say $(cat "$here/texts/remark-$lang.txt")"; echo "read $((s3 + 1)) $end"; } >"$work/remark-$lang.plan"
    { echo "read 0 $((p3 - 1))"; echo "read $p4 $end"; } >"$work/skip-$lang.plan"
    { echo "read 0 $s2"; echo "read $p2 $end"; } >"$work/reread-$lang.plan"
  done
}
