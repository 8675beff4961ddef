#!/usr/bin/env bash
# Coverage-guided fuzzing of every reader of outside data (fuzz/).
#
#   scripts/fuzz.sh [--dir DIR] [--seconds N | --runs N | --smoke] [--no-setup] [HARNESS...]
#
# Installs what it needs (scripts/setup.sh), builds the harnesses with clang,
# libFuzzer and the address and undefined-behaviour sanitizers in DIR
# (default build-fuzz), then runs each harness in turn (all of them, or those
# named: options script wave effect mesh picture cmdline) for N seconds
# (default 60) or N runs.  --smoke runs each for 5 seconds, for CI.
#
# Each harness starts from its seeds: fuzz/corpus/HARNESS, which is only
# read, and files of the data pack the build makes, copied to
# DIR/fuzz-seeds/HARNESS.  What it learns goes to DIR/fuzz-corpus/HARNESS,
# kept between runs; what it finds (crash-*, leak-*, timeout-*, oom-*) to
# DIR/fuzz-findings/HARNESS, its log to DIR/fuzz-logs/HARNESS.log.  A finding
# is replayed with DIR/fuzz/fuzz_HARNESS FILE.  The exit status is 1 when
# anything was found.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build-fuzz
limit=(-max_total_time=60)
setup=1
harnesses=()
all=(options script wave effect mesh picture cmdline)
while [ $# -gt 0 ]; do
  case $1 in
    --dir) dir=$(realpath -m "$2"); shift 2 ;;
    --seconds) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    --smoke) limit=(-max_total_time=5); shift ;;
    --no-setup) setup=0; shift ;;
    -h|--help) sed -n '2,20s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "fuzz: unknown option '$1' (see --help)" >&2; exit 2 ;;
    *)
      if [[ " ${all[*]} " != *" $1 "* ]]; then
        echo "fuzz: no harness '$1' (there are: ${all[*]})" >&2
        exit 2
      fi
      harnesses+=("$1"); shift ;;
  esac
done
[ ${#harnesses[@]} -gt 0 ] || harnesses=("${all[@]}")

[ $setup -eq 0 ] || "$root/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNOK_FUZZ=ON >/dev/null
cmake --build "$dir" -j "$(nproc)" >"$dir/fuzz-build.log" 2>&1 || {
  tail -40 "$dir/fuzz-build.log" >&2
  echo "fuzz: the build failed (the whole log: $dir/fuzz-build.log)" >&2
  exit 1
}

# The largest input each harness is given, in bytes: a little over the
# largest seed it keeps whole.
declare -A max_len=([options]=256 [script]=4096 [cmdline]=1024 [effect]=8192 [wave]=32768 [mesh]=16384
  [picture]=16384)
pack=$dir/data

# Seeds from the data pack, as small as the harness takes them whole.
seeds_from_pack() {
  local h=$1 out=$dir/fuzz-seeds/$1
  rm -rf "$out"
  mkdir -p "$out"
  case $h in
    wave) find "$pack/Sound" -name '*.wav' -size -33k -exec cp {} "$out" \; ;;
    effect) find "$pack" -name '*.fx' -exec cp {} "$out" \; ;;
    mesh)
      # The pack's small models, and each again in the binary form.
      find "$pack" -name '*.x' -size -12k -exec cp --backup=numbered {} "$out" \;
      for f in "$out"/*; do python3 "$root/fuzz/x_to_binary.py" "$f" "$f.bin"; done ;;
    picture)
      find "$pack" \( -name '*.bmp' -o -name '*.png' -o -name '*.jpg' \) -size -16k \
        -exec cp --backup=numbered {} "$out" \; ;;
  esac
}

found_any=0
printf '%-8s %12s %8s %8s %8s %9s\n' harness executions cov ft corpus findings
for h in "${harnesses[@]}"; do
  work=$dir/fuzz-corpus/$h findings=$dir/fuzz-findings/$h log=$dir/fuzz-logs/$h.log
  mkdir -p "$work" "$findings" "$dir/fuzz-logs" "$dir/fuzz-tmp"
  seeds_from_pack "$h"
  dict=()
  [ -f "$root/fuzz/dict/$h.dict" ] && dict=(-dict="$root/fuzz/dict/$h.dict")
  before=$(find "$findings" -type f | wc -l)
  # stdout and stderr of the readers closed (their messages would drown
  # the log); the fuzzer's and the sanitizers' reports still reach it.
  status=0
  TMPDIR=$dir/fuzz-tmp "$dir/fuzz/fuzz_$h" "${limit[@]}" -max_len="${max_len[$h]}" -rss_limit_mb=2048 \
    -malloc_limit_mb=2048 -timeout=20 -close_fd_mask=3 -print_final_stats=1 "${dict[@]}" \
    -artifact_prefix="$findings/" "$work" "$root/fuzz/corpus/$h" "$dir/fuzz-seeds/$h" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corpus=$(find "$work" -type f | wc -l)
  new=$(( $(find "$findings" -type f | wc -l) - before ))
  printf '%-8s %12s %8s %8s %8s %9s\n' "$h" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$new"
  if [ "$new" -gt 0 ] || [ $status -ne 0 ]; then
    found_any=1
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix)' "$log" | sed 's/^/    /' || true
  fi
done
if [ $found_any -ne 0 ]; then
  echo "fuzz: findings in $dir/fuzz-findings (logs in $dir/fuzz-logs)" >&2
  exit 1
fi
