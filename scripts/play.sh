#!/usr/bin/env bash
# Set-up, build, and start the game. Arguments go to the game (for example --windowed). Only what the game
# needs is built (the program, its data and the tools that make the data), not the tests.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
cd "$here"
cmake --preset default >/dev/null
cmake --build --preset default --target brillora game_data
exec "$here/build/brillora" "$@"
