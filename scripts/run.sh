#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Vorela and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec "${VORELA_BUILD_DIR:-build}/src/vorela" "$@"
