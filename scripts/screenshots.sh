#!/usr/bin/env bash
# Remakes the README's screenshots: each replay in docs/screenshots is played in a window on a virtual X
# server, and the last picture it drew is saved beside it. Then makes a contact sheet of every level (a
# moment after the boy has left his start cell, on the way of the level's winning replay) and every menu
# screen, in build/screenshots/, with the single pictures beside it at 1x and 2x.
# Needs a build (scripts/build.sh), python3 and ImageMagick (montage, convert).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
shots="$here/docs/screenshots"
out="$here/build/screenshots"
game="$(mktemp -d)"
trap 'rm -rf "$game"' EXIT
mkdir -p "$game/Maps" "$out"
cp "$here/build/Graphic.kpq" "$here/build/smalfont.bmp" "$game/"
cp "$here"/build/Maps/Map*.bin "$game/Maps/"
python3 "$shots/make_records.py" "$game/Maps"

shoot() {  # replay, picture
  xvfb-run -a -s "-screen 0 1024x768x24" \
    "$here/build/brillora" --windowed --data "$game" --play "$1" --screenshot "$2" >/dev/null
}

for replay in "$shots"/*.rpl; do
  name="$(basename "$replay" .rpl)"
  shoot "$replay" "$shots/$name.png"
  cp "$shots/$name.png" "$out/$name.png"
  echo "$name.png"
done

if ! command -v montage >/dev/null; then
  echo "no contact sheet: ImageMagick's montage is not installed (apt-get install imagemagick)" >&2
  exit 0
fi

# Each level's winning replay, cut 48 frames after the Return that starts the game.
for n in $(seq -w 1 22); do
  python3 - "$here/data/solutions/level$n.rpl" "$game/level$n.rpl" <<'PY'
import sys
lines = [l.rstrip('\n') for l in open(sys.argv[1])]
head, frames = lines[:2], []
for line in lines[2:]:
    if line.startswith('#'):
        continue
    words = line.split()
    count = 1
    if words and words[-1].startswith('x') and words[-1][1:].isdigit():
        count = int(words[-1][1:])
        words = words[:-1]
    frames += [' '.join(words)] * count
start = next(i for i, f in enumerate(frames) if '28' in f.split())
open(sys.argv[2], 'w').write('\n'.join(head + frames[:start + 49]) + '\n')
PY
  shoot "$game/level$n.rpl" "$out/level$n.png"
done
for f in "$out"/*.png; do
  case "$f" in *-2x.png | */contact.png) continue ;; esac
  convert "$f" -filter point -resize 200% "${f%.png}-2x.png"
done
(cd "$out" && montage -label '%t' -font DejaVu-Sans -pointsize 14 -tile 5x -geometry 640x480+4+4 -background '#202020' \
  -fill white title.png name.png hscore.png level[0-9][0-9].png contact.png)
echo "contact sheet: $out/contact.png"
