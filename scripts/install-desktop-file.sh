#!/usr/bin/env bash
# Installs Vorela's desktop file for the current user and makes it the handler of
# prompter: links. Usage: install-desktop-file.sh <generated .desktop file>
set -euo pipefail
source_file=$1
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
applications="$data_home/applications"
mkdir -p "$applications"
install -m 0644 "$source_file" "$applications/app.vorela.Vorela.desktop"
# The icon that the desktop file and the autostart entry name.
icons="$(cd "$(dirname "$0")/../data/icons" && pwd)"
(cd "$icons" && find . -name 'app.vorela.Vorela.*' -type f) | while read -r icon; do
  install -D -m 0644 "$icons/$icon" "$data_home/icons/$icon"
done
gtk-update-icon-cache -q -t "$data_home/icons/hicolor" 2>/dev/null || true
update-desktop-database "$applications" 2>/dev/null || true
xdg-mime default app.vorela.Vorela.desktop x-scheme-handler/prompter
