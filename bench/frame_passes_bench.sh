#!/usr/bin/env bash
# What a frame of the battle costs on this machine's renderer, weighed in
# floor layers (one textured, fogged layer over the screen, `varnok --floor`):
# for 4 and 16 units a side (a demo battle on a fixed seed, the computer's
# kinds drawn from every kind that fights, shots and effects in view) at
# 640 x 480, 800 x 600 and 1024 x 768 with 1024-texel shadows, and for the
# title screen:
#   CPU-ms a frame of the game process, all its threads, frames 60 to 300
#   (a 60-frame run taken from a 300-frame one: start-up and loading cancel),
#   the median of three such measurements (REPEAT=N for another count);
#   the same for the floor, and the ratio of the two;
#   each pass's wall-clock ms with the renderer waited for at every pass
#   (--pass-sync), from the report's render.pass_ms.
# Run from the repository after a build: bench/frame_passes_bench.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
game="$build/varnok"
work=$(mktemp -d)
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$display
cp -r "$build/data/." "$work/"
mkdir -p "$work/Data"

# CPU seconds of one run of the game (user and system, every thread).
cpu() {
  python3 - "$@" <<'PY'
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print(r.ru_utime + r.ru_stime)
PY
}
# CPU-ms a frame between frames 60 and 300 of the given run: the median of
# REPEAT measurements (3 unless set), each of a 60- and a 300-frame run.
per_frame() {
  local short long all=""
  for _ in $(seq "${REPEAT:-3}"); do
    short=$(cpu "$game" --data "$work" --virtual-clock --seed 1 --frames 60 "$@")
    long=$(cpu "$game" --data "$work" --virtual-clock --seed 1 --frames 300 "$@")
    all="$all $(python3 -c "print(($long - $short) * 1000 / 240)")"
  done
  python3 -c "import statistics, sys; print(f'{statistics.median(map(float, sys.argv[1:])):.1f}')" $all
}
passes() {
  "$game" --data "$work" --virtual-clock --seed 1 --frames 300 --pass-sync --report "$work/r.json" "$@" \
    >/dev/null 2>&1
  python3 - "$work/r.json" <<'PY'
import json, sys
p = json.load(open(sys.argv[1]))["render"]["pass_ms"]
print("    " + ", ".join(f"{k} {v:.1f}" for k, v in p.items()) + f"; sum {sum(p.values()):.1f}")
PY
}

for size in "640 480" "800 600" "1024 768"; do
  set -- $size
  printf '0\r\n%s\r\n%s\r\n1024\r\n' "$1" "$2" > "$work/Data/OptionData.dat"
  floor=$(per_frame --floor)
  echo "$1 x $2: floor $floor CPU-ms a frame"
  for side in 4 16; do
    battle=$(per_frame --battle --demo --earth "$side" --mercury "$side")
    ratio=$(python3 -c "print(f'{$battle / $floor:.1f}')")
    echo "  $side v $side: $battle CPU-ms a frame, $ratio floor layers; passes (ms, each waited for):"
    passes --battle --demo --earth "$side" --mercury "$side"
  done
  if [ "$1" = 800 ]; then
    title=$(per_frame)
    echo "  title: $title CPU-ms a frame, $(python3 -c "print(f'{$title / $floor:.1f}')") floor layers"
  fi
done
