#!/usr/bin/env bash
# The balance of a battle fought by the computer on both sides: SEEDS seeds
# of the headless 16 v 16 --demo battle (18000 frames, five minutes, the
# set-up's mix of kinds; odd seeds seen from a tank, even from a robot).
# Prints per side, per kind and per weapon the shots fired (a flame or a
# missile is a shot), the hits on units of the other side, the hit points
# they took and the kills, and per side and kind the deaths: the mean over
# the seeds and the lowest and highest.  A benchmark, not a test: it judges
# nothing.  The battles run two at a time.
# Run from the repository after a build: bench/balance_bench.sh [BUILD_DIR] [SEEDS] [FRAMES] [GAME]
# (GAME: another build's executable to weigh, with BUILD_DIR's data pack).
set -euo pipefail
build=${1:-build}
seeds=${2:-20}
frames=${3:-18000}
game=${4:-$build/varnok}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() {
  local seed=$1 side=tank
  [ $((seed % 2)) -eq 0 ] && side=robot
  "$game" --data "$build/data" --headless --battle --demo --side $side --earth 16 --mercury 16 \
    --seed "$seed" --frames "$frames" --report "$work/r$seed.json" >/dev/null 2>&1
}
for seed in $(seq 1 "$seeds"); do
  run "$seed" &
  [ $((seed % 2)) -eq 0 ] && wait
done
wait
python3 - "$work" "$seeds" "$frames" <<'PY'
import glob, json, os, sys
work, seeds, frames = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rows = {}   # group -> per-seed [fired, hits, damage, kills, deaths]
sides = {}  # kind name -> side, as the reports say
for path in sorted(glob.glob(os.path.join(work, "r*.json"))):
    units = json.load(open(path))["battle"]["units"]
    totals = {}
    for u in units:
        sides[u["kind_name"]] = u["side"]
        whole = [u["fired"], u["hits"], sum(w["damage"] for w in u["weapons"]), u["kills"], u["deaths"]]
        for group in (u["side"], u["kind_name"]):
            t = totals.setdefault(group, [0, 0, 0.0, 0, 0])
            for k in range(5):
                t[k] += whole[k]
        for n, w in enumerate(u["weapons"]):
            t = totals.setdefault(u["kind_name"] + (" first" if n == 0 else " second"), [0, 0, 0.0, 0, None])
            for k, key in enumerate(("fired", "hits", "damage", "kills")):
                t[k] += w[key]
    for group, t in totals.items():
        rows.setdefault(group, []).append(t)
print(f"{seeds} seeds of 16 v 16 --demo, {frames} frames: mean (lowest..highest) a battle")
heads = ("fired", "hits", "damage", "kills", "deaths")
print(f"{'':18s}" + "".join(f"{h:>22s}" for h in heads))
def cell(values):
    if values[0] is None:
        return ""
    m = sum(values) / len(values)
    return f"{m:.1f} ({min(values):.0f}..{max(values):.0f})"
for side in ("earth", "mercury"):
    if side not in rows:
        continue
    for g in [side] + sorted(k for k in sides if sides[k] == side and k in rows):
        for name in ([g] if g == side else [g, g + " first", g + " second"]):
            if name not in rows or (name != g and name != side and not any(r[0] for r in rows[name])):
                continue
            label = name if name == side else "  " + name
            print(f"{label:18s}" + "".join(f"{cell(list(c)):>22s}" for c in zip(*rows[name])))
k = {s: sum(t[3] for t in rows[s]) / len(rows[s]) for s in ("earth", "mercury") if s in rows}
print("kills a battle on average: " + ", ".join(f"{s} {v:.1f}" for s, v in k.items()))
PY
