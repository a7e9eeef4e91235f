#!/usr/bin/env bash
# Builds the fuzzers of untrusted input (import files, preference files, "prompter:"
# links, single-instance messages, plain-text decoding) with clang (libFuzzer, ASan, UBSan) and runs each for a short,
# fixed number of inputs from a fixed seed, starting from the test fixtures. Any crash,
# leak or sanitizer report fails the script. Expects the packages of setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${VORELA_FUZZ_DIR:-build-fuzz}
RUNS=${VORELA_FUZZ_RUNS:-20000}

CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORELA_CORE_ONLY=ON -DVORELA_BUILD_TESTS=OFF -DVORELA_BUILD_BENCH=OFF -DVORELA_FUZZ=ON
TARGETS=(ziparchive richtext powerpointnotes propertylist prompterurl instancemessage textencoding)
cmake --build "$BUILD_DIR" --target "${TARGETS[@]/#/vorela_fuzz_}"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
ARTIFACTS="$BUILD_DIR/fuzz-artifacts"
mkdir -p "$ARTIFACTS"
for target in "${TARGETS[@]}"; do mkdir -p "$WORK/$target"; done
DATA=tests/data/script
cp "$DATA"/*.pptx "$WORK/ziparchive/"
cp "$DATA"/*.pptx "$WORK/powerpointnotes/"
cp "$DATA"/*.rtf "$DATA"/Carta.rtfd/TXT.rtf tests/data/rtf/*.rtf "$WORK/richtext/"
printf '<p:notes><a:p><a:r><a:t>Hola</a:t></a:r></a:p><a:p><a:fld><a:t>3</a:t></a:fld></a:p></p:notes>' \
  > "$WORK/powerpointnotes/page.xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict><key>a</key><integer>-3</integer><key>b</key><real>1.5</real><key>c</key><array><string>d&amp;e</string><true/><date>2026-01-02T03:04:05Z</date><data>AAEC</data></array><key>f</key><dict/></dict></plist>\n' \
  > "$WORK/propertylist/suite.plist"
printf 'prompter://read?text=Hola%%20mundo&title=Gui%%C3%%B3n&x' > "$WORK/prompterurl/read"
printf 'prompter:play' > "$WORK/prompterurl/play"
printf 'text\nBuenas tardes' > "$WORK/instancemessage/text"
printf 'url\nprompter://play' > "$WORK/instancemessage/url"
printf 'activate\n' > "$WORK/instancemessage/activate"
cp "$DATA"/*.txt "$DATA"/*.md "$WORK/textencoding/"
printf '\xff\xfeH\x00o\x00\x00\xd8' > "$WORK/textencoding/utf16le"
printf '\x00\x00\xfe\xff\x00\x00\x00A' > "$WORK/textencoding/utf32be"

for target in "${TARGETS[@]}"; do
  echo "== fuzzing $target for $RUNS inputs"
  log="$WORK/$target.log"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$BUILD_DIR/fuzz/vorela_fuzz_$target" -runs="$RUNS" -seed=1 -max_len=65536 -timeout=20 \
    -rss_limit_mb=3072 -artifact_prefix="$ARTIFACTS/$target-" -print_final_stats=1 \
    "$WORK/$target" >"$log" 2>&1; then
    tail -n 80 "$log"
    echo "fuzzing $target failed; the input is kept in $ARTIFACTS" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || tail -n 3 "$log"
done
echo "fuzzing done: ${#TARGETS[@]} targets, no crash"
