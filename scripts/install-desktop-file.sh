#!/usr/bin/env bash
# Installs Vorela's desktop file for the current user and makes it the handler of
# prompter: links. Usage: install-desktop-file.sh <generated .desktop file>
set -euo pipefail
source_file=$1
applications="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$applications"
install -m 0644 "$source_file" "$applications/app.vorela.Vorela.desktop"
update-desktop-database "$applications" 2>/dev/null || true
xdg-mime default app.vorela.Vorela.desktop x-scheme-handler/prompter
