# Noise mixing for the follower's synthetic readings; sourced by make_corpus.sh and
# make_long_reading.sh, which set $work to a scratch folder. Needs sox.
rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}'; }
# mix SPEECH OUT TYPE SNR_DB [TYPE SNR_DB ...]: adds each noise TYPE (a sox synth type) at
# SNR_DB below the speech's RMS, then normalises to -1 dBFS. Everything is halved before the
# sum so that the mix itself cannot clip.
mix() {
  local speech="$1" dest="$2"; shift 2
  local dur rate speech_rms inputs=(-v 0.5 "$speech") n=0
  dur="$(soxi -D "$speech")"; rate="$(soxi -r "$speech")"; speech_rms="$(rms "$speech")"
  while [ $# -gt 0 ]; do
    local noise="$work/noise$n.wav" gain
    sox -R -n -r "$rate" -c 1 -b 16 "$noise" synth "$dur" "$1"
    gain="$(awk -v s="$speech_rms" -v r="$(rms "$noise")" -v snr="$2" 'BEGIN{printf "%.6f", 0.5 * s / (r * 10 ^ (snr / 20))}')"
    inputs+=(-v "$gain" "$noise"); n=$((n + 1)); shift 2
  done
  sox -R -m "${inputs[@]}" "$dest" norm -1
}
