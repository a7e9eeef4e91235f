#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Vorela, registers it for prompter: links and the
# "Leer en Vorela" action, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
BUILD_DIR=${VORELA_BUILD_DIR:-build}
bash scripts/install-desktop-file.sh "$BUILD_DIR/data/app.vorela.Vorela.desktop"
exec "$BUILD_DIR/src/vorela" "$@"
