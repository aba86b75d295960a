#!/usr/bin/env bash
# The game, its tools and its tests build without a single warning with clang as well (a packager's or a
# player's compiler may be either): a Release build with warnings as errors. The tests themselves run in
# the two main builds; this build only has to compile cleanly.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$here/scripts/build.sh" clang
