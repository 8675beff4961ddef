#!/usr/bin/env bash
# Sets up, builds and runs the tests.
#
#   scripts/test.sh          what CI runs: the build and every test of it under
#                            a virtual X display (the damage sweep on one file
#                            of each kind), then each fuzzing harness for a few
#                            seconds (built with the address and
#                            undefined-behaviour sanitizers)
#   scripts/test.sh --full   all that, the whole damage sweep, every test again
#                            with the address and undefined-behaviour
#                            sanitizers, and each fuzzing harness for a minute
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
full=0
for arg in "$@"; do
  case "$arg" in
    --full) full=1 ;;
    *) echo "usage: scripts/test.sh [--full]" >&2; exit 2 ;;
  esac
done
stage() { echo "== $1 ($SECONDS s so far)"; }
"$root/scripts/setup.sh"
"$root/scripts/check-sources.sh"

stage "build"
"$root/scripts/build.sh" "$root/build"
if [ "$full" = 1 ]; then
  stage "tests (normal build, virtual display), the whole damage sweep too"
  (cd "$root/build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j 2)
else
  stage "tests (normal build, virtual display)"
  (cd "$root/build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j 2 -LE full)
fi

if [ "$full" = 1 ]; then
  stage "sanitizer build (no benchmarks)"
  "$root/scripts/build.sh" "$root/build-sanitize" -DVARNOK_SANITIZE=ON -DVARNOK_BENCH=OFF
  sanitized() {
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$@"
  }
  stage "unit, headless and sweep tests (address and undefined-behaviour sanitizers)"
  (cd "$root/build-sanitize" && sanitized ctest --output-on-failure -j 2 -LE 'window|reference|install|package')
  stage "window tests (address and undefined-behaviour sanitizers, virtual display)"
  window_tests() {
    (cd "$root/build-sanitize" && sanitized xvfb-run -a -s "-screen 0 1280x1024x24" \
      ctest --output-on-failure "$@")
  }
  # Now and then the leak checker's own tracer crashes at a test's exit, after
  # the test passed, while the graphics driver's threads end; it found
  # nothing.  Such tests, and only they, run once more.  Any other failure
  # stands.
  if ! window_tests -L window --output-junit window-tests.xml; then
    python3 "$root/tests/tracer_only.py" "$root/build-sanitize/window-tests.xml"
    window_tests --rerun-failed
  fi
  stage "fuzzing harnesses, a minute each"
  "$root/scripts/fuzz.sh" --no-setup
else
  stage "fuzzing harnesses, a few seconds each"
  "$root/scripts/fuzz.sh" --smoke --no-setup
fi
stage "done"
