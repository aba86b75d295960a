#!/usr/bin/env bash
# Installs the game for the current user: the game folder under PREFIX/share/brillora (the program, its
# media, levels and your records, which a reinstall keeps), a "brillora" command in PREFIX/bin and a
# desktop menu entry with its icon. PREFIX is ~/.local unless given as the first argument.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${1:-$HOME/.local}"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" default

game="$prefix/share/brillora"
mkdir -p "$game/Maps" "$prefix/bin" "$prefix/share/applications" "$prefix/share/icons/hicolor/64x64/apps"
install -m 755 "$here/build/brillora" "$game/brillora"
install -m 644 "$here/build/Graphic.kpq" "$here/build/smalfont.bmp" "$here/build/brillora.png" "$game/"
install -m 644 "$here"/build/Maps/Map*.bin "$game/Maps/"
# The first-start records only where the player has none yet.
for f in "$here"/data/records/*.bin; do
  [ -e "$game/Maps/$(basename "$f")" ] || install -m 644 "$f" "$game/Maps/"
done
ln -sf "$game/brillora" "$prefix/bin/brillora"
# The window shows the icon beside the program; the menu entry shows the same picture.
install -m 644 "$here/build/brillora.png" "$prefix/share/icons/hicolor/64x64/apps/brillora.png"
cat > "$prefix/share/applications/brillora.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Brillora
Comment=Collect the gems, dodge the baddies, reach the exit
Exec=$game/brillora
Icon=brillora
Terminal=false
Categories=Game;LogicGame;
DESKTOP
echo "Installed in $game; start it with \"brillora\" (if $prefix/bin is on your PATH) or from the menu."
