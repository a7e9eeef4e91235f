#!/usr/bin/env bash
# Installs every Debian package the build, the application and the tests need.
# Idempotent: packages already present are skipped by apt-get.
set -euo pipefail

PACKAGES=(
  # build
  g++ clang clang-format libclang-rt-14-dev cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  # core
  libicu-dev libsqlite3-dev zlib1g-dev libexpat1-dev nlohmann-json3-dev
  # Linux side
  qt6-base-dev portaudio19-dev libasound2-dev libasound2-plugins libsamplerate0-dev
  libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us libespeak-ng-dev
  libx11-dev libxcb1-dev libxcb-keysyms1-dev libxkbcommon-dev libxkbcommon-x11-dev libxcb-xkb-dev
  fonts-opendyslexic locales-all
  # Qt's own dialogs and menus in Spanish
  qt6-translations-l10n
  # registering the desktop file and the prompter: scheme handler
  desktop-file-utils xdg-utils
  # test tools
  xvfb xdotool x11-utils x11-xserver-utils xclip espeak-ng flite sox pulseaudio pulseaudio-utils
  # a real window manager for the panel window tests, and a tray for the application's icon
  openbox trayer
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
