#!/usr/bin/env bash
# Every fuzz target for a short while (20 s each; any finding fails the check), then a one-minute soak
# run of the game with random input.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$here/scripts/fuzz.sh" 20
bash "$here/scripts/soak.sh" 1
