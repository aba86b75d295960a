#!/usr/bin/env bash
# Remakes the README's screenshots: each replay in docs/screenshots is played in a window on a virtual X
# server, and the last picture it drew is saved beside it. Needs a build (scripts/build.sh) and python3.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
shots="$here/docs/screenshots"
game="$(mktemp -d)"
trap 'rm -rf "$game"' EXIT
mkdir -p "$game/Maps"
cp "$here/build/Graphic.kpq" "$here/build/smalfont.bmp" "$game/"
cp "$here"/build/Maps/Map*.bin "$game/Maps/"
python3 "$shots/make_records.py" "$game/Maps"
for replay in "$shots"/*.rpl; do
  name="$(basename "$replay" .rpl)"
  xvfb-run -a -s "-screen 0 1024x768x24" \
    "$here/build/brillora" --windowed --data "$game" --play "$replay" --screenshot "$shots/$name.png" >/dev/null
  echo "$name.png"
done
