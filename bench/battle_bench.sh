#!/usr/bin/env bash
# The battle frame's cost with 16 units a side:
#   headless (null device), 3600 frames: the update phase, mean and p99 ms;
#   in a window under a virtual display at 800 x 600 with 1024-texel shadows,
#   600 frames: ms per frame, GL draws and triangles per frame.
# Run from the repository after a build: bench/battle_bench.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
game="$build/varnok"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$build/data/." "$work/"
mkdir -p "$work/Data"
printf '0\r\n800\r\n600\r\n1024\r\n' > "$work/Data/OptionData.dat"

field() { grep -o "\"$2\":{[^}]*}" "$1" | head -1; }
number() { grep -o "\"$2\":[0-9.e+-]*" "$1" | head -1 | cut -d: -f2; }

"$game" --data "$work" --headless --battle --earth 16 --mercury 16 --frames 3600 --seed 1 \
  --report "$work/headless.json" >/dev/null 2>&1
echo "headless, 16 a side, 3600 frames: update $(field "$work/headless.json" update)"

xvfb-run -a -s "-screen 0 1280x1024x24" "$game" --data "$work" --battle --earth 16 --mercury 16 \
  --virtual-clock --frames 600 --seed 1 --report "$work/window.json" >/dev/null 2>&1
echo "window 800 x 600, 1024 shadows, 600 frames: step $(field "$work/window.json" step_ms)"
echo "  draw phase $(field "$work/window.json" draw)"
echo "  GL draws per frame $(number "$work/window.json" gl_draws), triangles per frame $(number "$work/window.json" triangles)"
