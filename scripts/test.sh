#!/usr/bin/env bash
# Set-up, build, and the whole test suite. "asan" as the first argument uses the sanitizer build.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
preset="${1:-default}"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" "$preset"
cd "$here"
# Drawing is tested against a real OpenGL: give the tests a virtual X server of their own.
exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$preset" -j2 --no-tests=error
