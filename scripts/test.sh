#!/usr/bin/env bash
# Set-up, build, and the whole test suite: first the normal build, then the same tests in the
# AddressSanitizer + UndefinedBehaviorSanitizer build, then the further checks in scripts/ci/ (each a
# script of its own, run in name order). "default" or "asan" as the first argument runs only that build.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
presets=("${1:-default}")
if [ $# -eq 0 ]; then presets=(default asan); fi
bash "$here/scripts/setup.sh"
cd "$here"
for preset in "${presets[@]}"; do
  echo "== $preset build"
  bash "$here/scripts/build.sh" "$preset"
  # Drawing is tested against a real OpenGL: the tests get a virtual X server of their own. It must not
  # reset when its last client leaves: a test connecting during that reset would find no display.
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --preset "$preset" -j2 --no-tests=error
done
if [ $# -eq 0 ]; then
  for check in "$here"/scripts/ci/*.sh; do
    [ -e "$check" ] || continue
    echo "== $(basename "$check" .sh)"
    bash "$check"
  done
fi
