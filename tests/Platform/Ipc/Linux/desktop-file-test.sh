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
handler=$(xdg-mime query default x-scheme-handler/prompter)
if [ "$handler" != "app.vorela.Vorela.desktop" ]; then
  echo "prompter: links go to '$handler'" >&2
  exit 1
fi
