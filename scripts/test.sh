#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build under a virtual X
# display, then the unit and headless tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stage() { echo "== $1 ($SECONDS s so far)"; }
"$root/scripts/setup.sh"
"$root/scripts/check-sources.sh"

stage "build"
"$root/scripts/build.sh" "$root/build"
stage "tests (normal build, virtual display)"
(cd "$root/build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j 2)

stage "sanitizer build (no benchmarks, no display tests)"
"$root/scripts/build.sh" "$root/build-sanitize" -DVARNOK_SANITIZE=ON -DVARNOK_BENCH=OFF \
  -DVARNOK_DISPLAY_TESTS=OFF
stage "unit and headless tests (address and undefined-behaviour sanitizers)"
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j 2 -LE 'window|reference')
stage "done"
