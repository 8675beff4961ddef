#!/usr/bin/env bash
# Sets up, builds and starts the game.  Arguments go to the game.
#   scripts/play.sh              play in a window
#   scripts/play.sh --headless   the headless demo: no display needed
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" >/dev/null

if [[ " $* " == *" --headless "* ]]; then
  report=$(mktemp /tmp/varnok-demo-XXXXXX.json)
  "$root/build/varnok" --battle --demo --frames 600 "$@" --report "$report"
  echo "headless demo finished; report: $report"
  cat "$report"
  exit 0
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
There is no display here, so the game has no window to open.
  Play on a desktop:        scripts/play.sh
  Watch the headless demo:  scripts/play.sh --headless
MSG
  exit 1
fi
exec "$root/build/varnok" "$@"
