#!/usr/bin/env bash
# The Debian package: built and checked with lintian (no errors) by scripts/package.sh, then its
# contents and its dependencies read from the linked libraries.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
deb="$(bash "$here/scripts/package.sh" | tail -n 1)"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for want in ./usr/games/brillora ./usr/share/brillora/Graphic.kpq ./usr/share/brillora/Maps/Map22-4.bin \
  ./usr/share/brillora/Maps/Player.bin ./usr/share/applications/org.brillora.Brillora.desktop \
  ./usr/share/metainfo/org.brillora.Brillora.metainfo.xml ./usr/share/man/man6/brillora.6.gz \
  ./usr/share/icons/hicolor/256x256/apps/org.brillora.Brillora.png ./usr/share/doc/brillora/copyright; do
  grep -qxF "$want" <<<"$files" || fail "$want is not in $deb"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libc6 libsdl2 libpng16 liblzo2 libgl1; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
echo "package check passed: $(basename "$deb")"
