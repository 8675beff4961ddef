#!/usr/bin/env bash
# The balance of a battle fought by the computer on both sides: 20 seeds of
# the headless 16 v 16 --demo battle (18000 frames, five minutes, the
# set-up's mix of kinds; odd seeds seen from a tank, even from a robot).
# Prints per side and per kind the shots fired, the hits on the other side,
# the kills and the deaths: the mean over the seeds and the lowest and
# highest.  A benchmark, not a test: it judges nothing.
# Run from the repository after a build: bench/balance_bench.sh [BUILD_DIR] [SEEDS] [FRAMES]
set -euo pipefail
build=${1:-build}
seeds=${2:-20}
frames=${3:-18000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for seed in $(seq 1 "$seeds"); do
  side=tank
  [ $((seed % 2)) -eq 0 ] && side=robot
  "$build/varnok" --data "$build/data" --headless --battle --demo --side $side --earth 16 --mercury 16 \
    --seed "$seed" --frames "$frames" --report "$work/r$seed.json" >/dev/null 2>&1
done
python3 - "$work" "$seeds" "$frames" <<'PY'
import glob, json, os, sys
work, seeds, frames = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rows = {}  # (group) -> list of per-seed totals
for path in sorted(glob.glob(os.path.join(work, "r*.json"))):
    units = json.load(open(path))["battle"]["units"]
    totals = {}
    for u in units:
        for group in (u["side"], "  " + u["kind_name"]):
            t = totals.setdefault(group, [0, 0, 0, 0])
            for k, key in enumerate(("fired", "hits", "kills", "deaths")):
                t[k] += u[key]
    for group, t in totals.items():
        rows.setdefault(group, []).append(t)
print(f"{seeds} seeds of 16 v 16 --demo, {frames} frames: mean (lowest..highest) per battle")
print(f"{'':12s} {'fired':>20s} {'hits':>18s} {'kills':>16s} {'deaths':>16s}")
def cell(values):
    m = sum(values) / len(values)
    return f"{m:8.1f} ({min(values)}..{max(values)})"
order = ["earth"] + sorted(g for g in rows if g.startswith("  ") and g.strip() in ("TIGER", "ABRAMS", "BRDM3", "FLACKP", "FT17_BER", "M2A2", "M60", "V100", "M730A")) + \
        ["mercury"] + sorted(g for g in rows if g.startswith("  ") and g.strip() not in ("TIGER", "ABRAMS", "BRDM3", "FLACKP", "FT17_BER", "M2A2", "M60", "V100", "M730A"))
for g in order:
    if g not in rows:
        continue
    cols = list(zip(*rows[g]))
    print(f"{g:12s} " + " ".join(f"{cell(c):>18s}" for c in cols))
k = {s: sum(t[2] for t in rows[s]) / len(rows[s]) for s in ("earth", "mercury")}
print(f"kills: earth {k['earth']:.1f}, mercury {k['mercury']:.1f} a battle on average")
PY
