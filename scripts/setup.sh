#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, when any of them is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config
  libsdl2-dev libgl-dev libgl1-mesa-dri libglx-mesa0 libpng-dev zlib1g-dev liblzo2-dev
  libgtest-dev googletest libbenchmark-dev
  xvfb xauth xdotool
  clang-14 libclang-rt-14-dev clang-format-14
  desktop-file-utils appstream man-db libglib2.0-bin dpkg-dev lintian
  emscripten chromium chromium-driver python3-selenium imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
