#!/usr/bin/env bash
# Repeats the reference runs of tests/reference/runs.txt and compares each
# report with the one kept there, field by field, leaving out the wall-clock
# timings.  A change that should not alter what the game does must keep
# them all identical.
#   scripts/reference-runs.sh [BUILD_DIR]           compare
#   scripts/reference-runs.sh --record [BUILD_DIR]  keep new reports
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
record=0
if [ "${1:-}" = "--record" ]; then record=1; shift; fi
build=$(cd "${1:-$root/build}" && pwd)
ref=$root/tests/reference
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Nor may the player's own folders (saved options, screenshots).
export XDG_CONFIG_HOME=$out/config XDG_DATA_HOME=$out/share
# The pack's own folders, linked: what the player saved in the build's data
# folder (the options file, screenshots) must not change the runs.
mkdir "$out/data"
for d in "$build/data"/*/; do
  name=$(basename "$d")
  [ "$name" = Data ] || ln -s "$d" "$out/data/$name"
done
fail=0
while read -r name flags; do
  case "$name" in ''|'#'*) continue ;; esac
  # Scripts are named relative to the reference folder.
  (cd "$ref" && "$build/varnok" --data "$out/data" --headless $flags --report "$out/$name.json" \
     >"$out/$name.log" 2>&1) || { echo "$name: the run failed"; cat "$out/$name.log"; fail=1; continue; }
  if [ $record = 1 ]; then
    cp "$out/$name.json" "$ref/$name.json"
    echo "$name: recorded"
  elif python3 "$ref/compare.py" "$ref/$name.json" "$out/$name.json"; then
    echo "$name: same"
  else
    echo "$name: DIFFERS"
    fail=1
  fi
done <"$ref/runs.txt"
exit $fail
