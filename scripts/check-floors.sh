#!/usr/bin/env bash
# Fails on an include that runs up the floors of the tree (ARCHITECTURE.md, "Floors of
# the core"). From the ground up: Platform; Prefs, Shortcuts, Script; Matcher; Voice;
# Render; Window; App; Settings, Onboarding. Above the core: the shared Qt kit (Ui), then
# each area's views (<Area>/Qt, which read the core only up to their own area's floor and
# views only up to it), then the Shell, which may include anything.
set -euo pipefail
cd "$(dirname "$0")/../src"

files=$( (git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' 2>/dev/null || true) | sed 's#^\./##')
[ -n "$files" ] || files=$(find . \( -name '*.h' -o -name '*.cpp' \) | sed 's#^\./##')

echo "$files" | while read -r f; do
  grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$f" || true
done | awk -F: '
function floor(area) {
  if (area == "Platform") return 1
  if (area == "Prefs" || area == "Shortcuts" || area == "Script") return 2
  if (area == "Matcher") return 3
  if (area == "Voice") return 4
  if (area == "Render") return 5
  if (area == "Window") return 6
  if (area == "App") return 7
  if (area == "Settings" || area == "Onboarding") return 8
  return 0
}
# Core floors 1-8; Ui 50; views 60+floor; Shell 100; 0 for what is not ours (generated).
function level(path,   n, parts, f) {
  n = split(path, parts, "/")
  if (parts[1] == "Shell") return 100
  if (parts[1] == "Ui") return 50
  f = floor(parts[1])
  if (f == 0) return 0
  for (i = 2; i < n; i++) if (parts[i] == "Qt") return 60 + f
  return f
}
{
  file = $1; line = $2
  inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*$/, "", inc)
  me = level(file); other = level(inc)
  if (me == 0 || other == 0) next
  ok = (other <= me)
  if (me >= 60 && me < 100 && other < 50) ok = (other <= me - 60)
  if (!ok) { printf "%s:%s includes %s, which is on a higher floor\n", file, line, inc; bad = 1 }
}
END { exit bad }
'
