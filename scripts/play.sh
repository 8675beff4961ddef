#!/usr/bin/env bash
# Sets up, builds and starts the game.  Arguments go to the game untouched.
#   scripts/play.sh              play in a window
#   scripts/play.sh --headless   a headless demo battle: no display needed
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# Only what playing needs: the game and its data pack, with the build's
# progress on the terminal.
echo "play: building the game and its data pack in $root/build"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target varnok

if [[ " $* " == *" --headless "* ]]; then
  # A demo battle the computer fights on both sides.  The player's own flags
  # come last, so they win; a report is printed unless the player asked for
  # one of their own.
  if [[ " $* " == *" --report "* ]]; then
    exec "$root/build/varnok" --battle --demo --frames 600 "$@"
  fi
  report=$(mktemp /tmp/varnok-demo-XXXXXX.json)
  trap 'rm -f "$report"' EXIT
  "$root/build/varnok" --battle --demo --frames 600 "$@" --report "$report"
  echo "headless demo finished; its report:"
  cat "$report"
  echo
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
