#!/usr/bin/env bash
# Five minutes of battle with every unit the computer's: headless (null
# device, virtual clock), 16 tanks against 16 robots under --demo, 18000
# frames.  Prints the battle update per frame (mean and p99, ms; target
# under 0.5 mean and 2 p99), the draw phase on the null device, the run's
# wall time, and what was fought (shots, hits, kills, deaths by side).
# Then, where xvfb-run is found, a window at 800 x 600 with 1024-texel
# shadows, 4 a side seen from the player's D-ED.10, 600 frames: ms per
# frame, GL draws and triangles per frame.
# Run from the repository after a build: bench/demo_battle_bench.sh [BUILD_DIR] [SEED] [FRAMES]
set -euo pipefail
build=${1:-build}
seed=${2:-1}
frames=${3:-18000}
game="$build/varnok"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$build/data/." "$work/"

"$game" --data "$work" --headless --battle --demo --side robot --earth 16 --mercury 16 --seed "$seed" \
  --frames "$frames" --report "$work/r.json" >/dev/null 2>&1
python3 - "$work/r.json" "$frames" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))
b = r["battle"]
u, d = b["step_ms"]["update"], b["step_ms"]["draw"]
print(f"headless 16 v 16, --demo, {sys.argv[2]} frames")
print(f"  update per frame: mean {u['mean']:.3f} ms, p99 {u['p99']:.3f} ms")
print(f"  draw (null device): mean {d['mean']:.3f} ms, p99 {d['p99']:.3f} ms")
print(f"  wall time of the run: {r['wall_ms'] / 1000:.1f} s")
s = r["shots"]
print(f"  shots fired {s['fired']}, unit hits {s['unit_hits']}, kills {s['kills']}")
for side in ("earth", "mercury"):
    units = [x for x in b["units"] if x["side"] == side]
    print(f"  {side}: kills {sum(x['kills'] for x in units)}, deaths {sum(x['deaths'] for x in units)}")
PY

command -v xvfb-run >/dev/null || exit 0
mkdir -p "$work/Data"
printf '0\r\n800\r\n600\r\n1024\r\n' > "$work/Data/OptionData.dat"
xvfb-run -a -s "-screen 0 1280x1024x24" "$game" --data "$work" --battle --demo --side robot --earth 4 --mercury 4 \
  --virtual-clock --frames 600 --seed "$seed" --report "$work/w.json" >/dev/null 2>&1
python3 - "$work/w.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))
s, g = r["step_ms"], r["render"]
print("window 800 x 600, 1024 shadows, 4 v 4, 600 frames")
print(f"  ms per frame: mean {s['mean']:.2f}, p99 {s['p99']:.2f}")
print(f"  per frame: draws {g['draws']}, GL draws {g['gl_draws']} (most {g['gl_draws_max']}), triangles {g['triangles']}")
PY
