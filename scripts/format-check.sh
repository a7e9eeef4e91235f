#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format 14 makes of it with the
# committed .clang-format. Another major version formats differently, so it is refused.
set -euo pipefail
cd "$(dirname "$0")/.."
FORMAT=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$FORMAT" ]; then
  echo "format-check: clang-format 14 is not installed (scripts/setup.sh installs it)" >&2
  exit 1
fi
if ! "$FORMAT" --version | grep -q 'version 14\.'; then
  echo "format-check: $FORMAT is not clang-format 14: $("$FORMAT" --version)" >&2
  exit 1
fi
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' '*.cc' '*.hpp')
if [ ${#files[@]} -eq 0 ]; then
  echo "format-check: no C++ sources found" >&2
  exit 1
fi
if ! "$FORMAT" --dry-run --Werror "${files[@]}"; then
  echo "format-check: run clang-format -i on the files above" >&2
  exit 1
fi
echo "format-check: ${#files[@]} files formatted"
