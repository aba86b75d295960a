#!/usr/bin/env bash
# Set-up, build, and start the game. Arguments go to the game (for example --windowed).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" default
exec "$here/build/brillora" "$@"
