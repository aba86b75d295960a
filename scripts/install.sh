#!/usr/bin/env bash
# Installs the game for the current user with cmake --install under PREFIX (~/.local unless given): the
# program in PREFIX/bin, the game's data in PREFIX/share/brillora, a menu entry, icons and a manual page.
# Record files already in PREFIX/share/brillora/Maps stay as they are. scripts/uninstall.sh removes it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
prefix="$(realpath -m -- "${1:-$HOME/.local}")"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" default

# An install from before kept the program inside the game's folder, linked from bin/, with a menu entry
# and an icon of other names: those go (the records beside the levels stay and are used on).
old="$prefix/share/brillora/brillora"
if [ -f "$old" ] && [ ! -L "$old" ]; then
  if [ "$(readlink -- "$prefix/bin/brillora" 2>/dev/null)" = "$old" ]; then rm -f -- "$prefix/bin/brillora"; fi
  if grep -qxF "Exec=$old" "$prefix/share/applications/brillora.desktop" 2>/dev/null; then
    rm -f -- "$prefix/share/applications/brillora.desktop" "$prefix/share/icons/hicolor/64x64/apps/brillora.png"
  fi
  rm -f -- "$old"
fi

cmake --install "$here/build" --prefix "$prefix"
# The list of what was installed, for the uninstall (the build folder's own list changes with every install).
install -m 644 "$here/build/install_manifest.txt" "$prefix/share/brillora/installed-files.txt"
echo "Installed under $prefix: start it from the menu or with \"$prefix/bin/brillora\"."
case ":$PATH:" in
  *":$prefix/bin:"*) ;;
  *) echo "($prefix/bin is not on your PATH, so \"brillora\" alone will not find it.)" ;;
esac
