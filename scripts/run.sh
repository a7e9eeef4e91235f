#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Vorela, registers it for prompter: links and the
# "Leer en Vorela" action, and starts it. Only the program and its decoder are built
# (scripts/build.sh builds the tests and benchmarks too), and on a tree that is already
# configured and built it starts at once.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=${VORELA_BUILD_DIR:-build}
# A configured tree re-runs cmake by itself when a CMakeLists.txt changes.
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo}
fi
cmake --build "$BUILD_DIR" --target vorela vorela-decoder
desktop_file="$BUILD_DIR/data/app.vorela.Vorela.desktop"
installed="${XDG_DATA_HOME:-$HOME/.local/share}/applications/app.vorela.Vorela.desktop"
if ! cmp -s "$desktop_file" "$installed"; then
  bash scripts/install-desktop-file.sh "$desktop_file"
fi
exec "$BUILD_DIR/src/vorela" "$@"
