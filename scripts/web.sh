#!/usr/bin/env bash
# Builds the browser version of the game into build-web/: brillora.html, .js, .wasm and .data (the game's
# data packed in). The data are staged from the native build (bash scripts/build.sh default first: the
# pictures, sounds and levels are made by its tools). Serve the folder and open the page:
#   python3 -m http.server -d build-web 8000     (then http://localhost:8000/brillora.html)
# Needs emscripten (apt-get install emscripten).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
native="${BRILLORA_NATIVE_BUILD:-$here/build}"
out="$here/build-web"
for need in Graphic.kpq smalfont.bmp Maps/Map1-1.bin media/art.stamp media/sounds.stamp; do
  if [ ! -e "$native/$need" ]; then
    echo "web.sh: $native/$need is missing: build the game first (bash scripts/build.sh default)" >&2
    exit 1
  fi
done
command -v emcmake >/dev/null || { echo "web.sh: emscripten is not installed (apt-get install emscripten)" >&2; exit 1; }
# emscripten's optimizer needs acorn, which Debian keeps with its own Node.js modules.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

# The page's game folder: the media as loose files (the browser build reads no packed archive), the
# runtime's font, the levels, the records a first start begins with, and the solution replays.
stage="$out/game"
rm -rf "$stage"
mkdir -p "$stage/Maps" "$stage/replays"
cp -r "$native/media/Graphic" "$native/media/Chars" "$stage/"
cp "$native/smalfont.bmp" "$stage/"
cp "$native"/Maps/Map*.bin "$stage/Maps/"
cp "$here"/data/records/*.bin "$stage/Maps/"
cp "$here"/data/solutions/*.rpl "$stage/replays/"

emcmake cmake -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRILLORA_WERROR=ON \
  -DBRILLORA_WEB_DATA="$stage" >/dev/null
# The packed data change without any source changing: link again every time.
rm -f "$out/brillora.html"
cmake --build "$out"
ls -l "$out"/brillora.html "$out"/brillora.js "$out"/brillora.wasm "$out"/brillora.data
