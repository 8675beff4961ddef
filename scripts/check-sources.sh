#!/usr/bin/env bash
# House rules a compiler cannot check.
# Game code draws random numbers from the game's own generator only, and
# reaches SDL only through src/platform (the build also keeps the libraries
# private to the platform library).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fail=0
if grep -rnE '(^|[^A-Za-z_:.])s?rand[[:space:]]*\(' "$root/src" --include='*.cpp' --include='*.h' |
   grep -vE '^[^:]+:[0-9]+:[[:space:]]*//'; then
  echo "check-sources: the host C library's rand/srand is used above; use Rand/Srand" >&2
  fail=1
fi
if grep -rnlE '#include[[:space:]]*[<"](SDL|epoxy|AL/|GL/|assimp/|stb_|ft2build|freetype/|meshoptimizer)' "$root/src" | grep -v "^$root/src/platform/"; then
  echo "check-sources: only src/platform may include SDL, GL or AL headers" >&2
  fail=1
fi
if grep -rnl 'platform/test_hooks.h' "$root/src" | grep -v "^$root/src/platform/"; then
  echo "check-sources: the platform's test hooks are for tests and benchmarks only" >&2
  fail=1
fi
exit $fail
