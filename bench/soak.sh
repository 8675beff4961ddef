#!/usr/bin/env bash
# The long runs a player makes, headless:
#   1. a 90-minute battle, 16 a side, until its clock runs out (324,000
#      steps): peak memory after the first tenth and at the end;
#   2. 30 battles in a row through the menus by script (bench/soak_menus.py:
#      sides in turn, each side's two fighting kinds in turn, each battle
#      driven and fired for a while and left by the pause menu): peak memory
#      after the first battle and after all 30.
# Each report is checked for sanity: kills equal deaths across the sides,
# every unit inside the field, every battle started.  With a sanitizer
# build (scripts/build.sh DIR -DVARNOK_SANITIZE=ON) the sanitizers'
# findings, if any, are printed and fail the script.
# Run from the repository after a build: bench/soak.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
game="$build/varnok"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# Prints the peak resident memory (MB), the wall seconds and the exit code
# of one headless run; its stderr goes to $work/NAME.err.
run() {
  local name=$1
  shift
  python3 - "$work/$name.err" "$game" --data "$build/data" --headless "$@" <<'PY'
import resource, subprocess, sys, time
err = open(sys.argv[1], "w")
t = time.time()
code = subprocess.run(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=err).returncode
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{r.ru_maxrss / 1024:.1f} {time.time() - t:.1f} {code}")
PY
}

# The sanity of a report; fails on nonsense.
check() {
  python3 - "$1" "$2" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))
b = r["battle"]
units = b["units"]
kills = sum(u["kills"] for u in units)
deaths = sum(u["deaths"] for u in units)
outside = [u["name"] for u in units if not (0 <= u["x"] <= 1000 and 0 <= u["z"] <= 1000)]
peaks = ", ".join(f"{k} {v['peak']}" for k, v in r["effects"].items())
print(f"  {r['frames']} steps, {b['battles_started']} battles started, kills {kills}, deaths {deaths}, "
      f"{len(outside)} units outside the field; effect pool peaks: {peaks}")
sys.exit(0 if kills == deaths and not outside and b["battles_started"] == int(sys.argv[2]) else 1)
PY
}

findings() {
  if grep -q "ERROR: AddressSanitizer\|ERROR: LeakSanitizer\|runtime error:" "$work/$1.err"; then
    echo "  sanitizer findings ($1):"
    grep -A12 "ERROR: \|runtime error:" "$work/$1.err" | head -60
    return 1
  fi
}

status=0
echo "1. a 90-minute battle, 16 a side"
battle=(--battle --demo --earth 16 --mercury 16 --minutes 90 --seed 1)
read -r tenth _ code1 < <(run tenth "${battle[@]}" --frames 32400)
read -r whole secs code < <(run whole "${battle[@]}" --frames 324000 --report "$work/whole.json")
echo "  peak memory: $tenth MB after 32,400 steps, $whole MB after 324,000 ($secs s)"
check "$work/whole.json" 1 || status=1
findings tenth || status=1
findings whole || status=1
[ "$code1" = 0 ] && [ "$code" = 0 ] || { echo "  exit codes $code1, $code"; status=1; }

echo "2. 30 battles in a row through the menus"
python3 "$here/soak_menus.py" > "$work/menus.txt"
read -r first _ code1 < <(run first --seed 2 --script "$work/menus.txt" --frames 2600)
read -r all secs code < <(run all --seed 2 --script "$work/menus.txt" --frames 72200 --report "$work/all.json")
echo "  peak memory: $first MB after the first battle, $all MB after 30 ($secs s)"
check "$work/all.json" 30 || status=1
findings first || status=1
findings all || status=1
[ "$code1" = 0 ] && [ "$code" = 0 ] || { echo "  exit codes $code1, $code"; status=1; }
exit $status
