# Noise mixing for the follower's synthetic readings; sourced by make_corpus.sh and
# make_long_reading.sh, which set $work to a scratch folder. Needs sox (and espeak-ng for
# babble).
rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}'; }
# babble LANG SECONDS RATE OUT: four espeak-ng voices talking at once, each starting at a
# different point of texts/babble-LANG.txt, the way a room of people sounds to a laptop.
babble() {
  local lang="$1" dur="$2" rate="$3" dest="$4" voices parts=() i=0
  if [ "$lang" = es ]; then voices=(es es-419+f3 es+m3 es-419+f2); else voices=(en-us en+f3 en-us+m3 en+f2); fi
  for v in "${voices[@]}"; do
    local one="$work/babble$i.wav" looped="$work/babble$i-loop.wav"
    espeak-ng -v "$v" -s $((150 + 10 * i)) -w "$work/babble$i-raw.wav" -f "$here/texts/babble-$lang.txt"
    sox "$work/babble$i-raw.wav" -r "$rate" -c 1 -b 16 "$one"
    sox "$one" "$looped" trim $((7 * i)) repeat 20 trim 0 "$dur"
    parts+=(-v 0.25 "$looped"); i=$((i + 1))
  done
  sox -m "${parts[@]}" "$dest"
}
# mix SPEECH OUT TYPE SNR_DB [TYPE SNR_DB ...]: adds each noise TYPE (a sox synth type, or
# babble-en / babble-es) at SNR_DB below the speech's RMS, then normalises to -1 dBFS.
# Everything is halved before the sum so that the mix itself cannot clip.
mix() {
  local speech="$1" dest="$2"; shift 2
  local dur rate speech_rms inputs=(-v 0.5 "$speech") n=0
  dur="$(soxi -D "$speech")"; rate="$(soxi -r "$speech")"; speech_rms="$(rms "$speech")"
  while [ $# -gt 0 ]; do
    local noise="$work/noise$n.wav" gain
    case "$1" in
      babble-*) babble "${1#babble-}" "$dur" "$rate" "$noise" ;;
      *) sox -R -n -r "$rate" -c 1 -b 16 "$noise" synth "$dur" "$1" ;;
    esac
    gain="$(awk -v s="$speech_rms" -v r="$(rms "$noise")" -v snr="$2" 'BEGIN{printf "%.6f", 0.5 * s / (r * 10 ^ (snr / 20))}')"
    inputs+=(-v "$gain" "$noise"); n=$((n + 1)); shift 2
  done
  sox -R -m "${inputs[@]}" "$dest" norm -1
}
