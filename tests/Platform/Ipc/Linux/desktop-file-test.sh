#!/usr/bin/env bash
# The generated desktop file is valid, and the install script makes it the user's handler
# of prompter: links, with the selection action. Usage: desktop-file-test.sh <file> <script>
set -euo pipefail
desktop_file=$1
install_script=$2

desktop-file-validate "$desktop_file"
grep -qx 'MimeType=x-scheme-handler/prompter;' "$desktop_file"
grep -qx 'Name=Leer en Vorela' "$desktop_file"
grep -q -- '--read-selection$' "$desktop_file"

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config
bash "$install_script" "$desktop_file"
test -f "$XDG_DATA_HOME/applications/app.vorela.Vorela.desktop"
# The icon the entry names is installed, as a scalable image and in the usual sizes.
grep -qx 'Icon=app.vorela.Vorela' "$desktop_file"
test -f "$XDG_DATA_HOME/icons/hicolor/scalable/apps/app.vorela.Vorela.svg"
for size in 16 32 48 64 128 256; do
  test -f "$XDG_DATA_HOME/icons/hicolor/${size}x${size}/apps/app.vorela.Vorela.png"
done
handler=$(xdg-mime query default x-scheme-handler/prompter)
if [ "$handler" != "app.vorela.Vorela.desktop" ]; then
  echo "prompter: links go to '$handler'" >&2
  exit 1
fi
