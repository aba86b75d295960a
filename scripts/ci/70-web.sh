#!/usr/bin/env bash
# The browser build: built with emscripten (scripts/web.sh, from the native build's data), then played in
# headless Chromium beside the native program (tests/web/web_check.py): solution replays end in the
# native state and save the native records, the records outlive the page, and the title menu is the
# native picture pixel for pixel.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$here/scripts/web.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  /usr/bin/python3 "$here/tests/web/web_check.py" "$here/build-web" "$here/build" --levels 1,8
