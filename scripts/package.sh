#!/usr/bin/env bash
# Builds the Debian package (build-package/brillora_<version>_<arch>.deb: the program in /usr/games, its
# data in /usr/share/brillora, dependencies read from the libraries it links) and checks it with lintian.
# Install it with: apt-get install ./build-package/brillora_*.deb
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
cd "$here"
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build-package/brillora_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb="$(ls "$here"/build-package/brillora_*.deb)"
# Errors fail the build; warnings are shown.
status=0
report="$(lintian --fail-on error "$deb" 2>&1)" || status=$?
grep -v '^running with root' <<<"$report" || true
if [ "$status" -ne 0 ]; then
  echo "lintian reports errors for $deb" >&2
  exit 1
fi
echo "$deb"
