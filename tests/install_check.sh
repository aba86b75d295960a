#!/usr/bin/env bash
# The installed game. cmake --install into a prefix whose path holds a space, then:
#   - every file a desktop, a software centre and a package need is in its place, and valid
#     (desktop-file-validate, appstreamcli validate, the manual page renders without warnings);
#   - the program starts headless from another folder as a user who cannot write the install, and the
#     start writes nothing into it;
#   - --data still makes another folder the game's folder;
#   - the whole prefix moved elsewhere still starts;
#   - the menu entry's Exec line starts the program through a real launcher, also for a prefix full of
#     characters a launcher would split or expand;
#   - a level won in the installed game is saved in the player's own records folder;
#   - in a user install (the game's folder is the records folder) a reinstall keeps a player's records;
#     scripts/uninstall.sh removes the rest and keeps them too.
# Usage: install_check.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$(realpath "$1")"
src="$(realpath "$2")"
id=org.brillora.Brillora

work="$(mktemp -d)"
cleanup() {
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
need() { [ -e "$1" ] || fail "missing $1"; }

# Installs the build into $1 quietly; the output is shown only when the install fails.
install_to() {
  cmake --install "$build" --prefix "$1" >"$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    fail "cmake --install --prefix $1"
  }
}

# Width and height of a PNG, from its header.
png_size() { od -An -tu4 --endian=big -j16 -N8 "$1" | awk '{print $1 "x" $2}'; }

# Runs the installed program $1 with the further arguments, as a user who cannot write the install: as
# root, the user nobody; otherwise the caller has taken the write permission away.
run_as_player() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "${home[@]}" "$@"
  else
    "${home[@]}" "$@"
  fi
}

prefix="$work/my games"
install_to "$prefix"
game="$prefix/share/brillora"

echo "-- the files in place"
need "$prefix/bin/brillora"
[ -x "$prefix/bin/brillora" ] || fail "the program is not executable"
need "$game/Graphic.kpq"
need "$game/smalfont.bmp"
need "$game/brillora.png"
levels=$(find "$game/Maps" -name 'Map*-*.bin' | wc -l)
[ "$levels" -eq 88 ] || fail "$levels level files instead of 88 (22 levels of 4 layers)"
for record in Player Duzozez Name Data; do
  cmp -s "$src/data/records/$record.bin" "$game/Maps/$record.bin" || fail "record $record.bin differs from the shipped one"
done
[ ! -e "$game/brillora" ] || fail "a program inside the data folder"
for size in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  need "$icon"
  [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$icon is $(png_size "$icon")"
done
need "$prefix/share/doc/brillora/copyright"
need "$prefix/share/doc/brillora/changelog.gz"

echo "-- desktop entry, metainfo, manual page"
entry="$prefix/share/applications/$id.desktop"
need "$entry"
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
grep -qxF "Exec=\"$prefix/bin/brillora\"" "$entry" || fail "Exec does not name the installed program: $(grep ^Exec "$entry")"
grep -qxF "Icon=$id" "$entry" || fail "the icon name is not $id"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
need "$metainfo"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo names another desktop entry"
shots=$(grep -c '<image>.*screenshots/[a-z0-9]*\.png</image>' "$metainfo" || true)
[ "$shots" -ge 4 ] || fail "$shots screenshots in the metainfo"
for shot in $(grep -o 'screenshots/[a-z0-9]*\.png' "$metainfo"); do
  need "$src/docs/$shot"
done
page="$prefix/share/man/man6/brillora.6.gz"
need "$page"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | col -b)
for part in NAME SYNOPSIS OPTIONS KEYS "REPLAY FILES" FILES "EXIT STATUS"; do
  grep -qx "$part" <<<"$text" || fail "the manual page has no $part section"
done
# Every option the program knows is documented.
for option in $("$prefix/bin/brillora" --help | grep -o -- '--[a-z]*' | sort -u); do
  grep -q -- "^ *$option\b" <<<"$text" || fail "the manual page does not document $option"
done

echo "-- a start from elsewhere, as a user who cannot write the install"
run="$work/run"
mkdir -p "$run/home"
chmod 777 "$run" "$run/home"
# Every run has a home of its own, so that nothing here touches the records of whoever runs the tests.
home=(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME "HOME=$run/home")
if [ "$(id -u)" -ne 0 ]; then chmod -R a-w "$prefix"; fi
before=$(find "$prefix" -printf '%p %s %T@ %m\n' | sort)
(cd "$run" && run_as_player "$prefix/bin/brillora" --headless --frames 40 --dump "$run/first.json" >"$run/out.txt" 2>&1) ||
  fail "the installed program failed: $(cat "$run/out.txt")"
grep -q '"frames":40' "$run/first.json" || fail "the run did not reach frame 40"
grep -q '"errorCode":0' "$run/first.json" || fail "the run ended with an error"
# Level 1 won by its recorded solution: the score goes to the player's own records folder.
solution="$src/data/solutions/level01.rpl"
(cd "$run" && run_as_player "$prefix/bin/brillora" --headless --play "$solution" >"$run/out.txt" 2>&1) ||
  fail "the installed program failed to save a won level: $(cat "$run/out.txt")"
best=$(od -An -tu4 -N4 "$run/home/.local/share/brillora/Maps/Data.bin" | tr -d ' ')
[ "${best:-0}" -gt 0 ] || fail "the won level left no score in the player's records"
after=$(find "$prefix" -printf '%p %s %T@ %m\n' | sort)
[ "$before" = "$after" ] || fail "playing changed the install: $(diff <(echo "$before") <(echo "$after"))"
chmod -R u+w "$prefix"

echo "-- --data still names the game's folder"
cp -r "$game" "$run/portable"
printf 'ZED     ' >"$run/portable/Maps/Player.bin"
(cd "$run" && "${home[@]}" "$prefix/bin/brillora" --headless --frames 60 --data "$run/portable" \
  --dump "$run/portable.json" >"$run/out.txt" 2>&1) || fail "the run with --data failed: $(cat "$run/out.txt")"
grep -q '"PlayerName":"ZED     "' "$run/portable.json" || fail "--data did not use the given folder's records"

echo "-- the whole install moved"
moved="$work/moved/else where"
mkdir -p "$(dirname "$moved")"
mv "$prefix" "$moved"
(cd "$run" && "${home[@]}" "$moved/bin/brillora" --headless --frames 5 --dump "$run/moved.json" >"$run/out.txt" 2>&1) ||
  fail "the moved install failed: $(cat "$run/out.txt")"
grep -q '"frames":5' "$run/moved.json" || fail "the moved install did not run"
mv "$moved" "$prefix"

echo "-- the menu entry started by a launcher"
# The entry's own Exec line with options for a short headless run added: the launcher must unquote the
# program's path exactly. A second install into a prefix with quotes, a dollar, a back quote and a
# semicolon checks the quoting of the harder cases. A percent sign is written "%%" as entries want it,
# but this launcher looks for the program before it reads "%%" as "%", so that one is only validated.
odd="$work/it's \"odd\" \$HOME \`x\` a;b"
install_to "$odd"
desktop-file-validate "$odd/share/applications/$id.desktop" || fail "desktop-file-validate for $odd"
install_to "$work/100% sure"
desktop-file-validate "$work/100% sure/share/applications/$id.desktop" || fail "desktop-file-validate with a %"
grep -qF 'Exec="'"$work"'/100%% sure/bin/brillora"' "$work/100% sure/share/applications/$id.desktop" ||
  fail "the percent sign is not doubled"
for where in "$prefix" "$odd"; do
  launched="$run/launched-$RANDOM.json"
  sed "s|^Exec=.*|& --headless --frames 3 --dump $launched|" "$where/share/applications/$id.desktop" >"$work/try.desktop"
  (cd "$run" && "${home[@]}" env -u DISPLAY -u WAYLAND_DISPLAY gio launch "$work/try.desktop") >/dev/null 2>&1 ||
    fail "gio launch of the entry for $where"
  for _ in $(seq 100); do
    [ -s "$launched" ] && grep -q '"frames":3' "$launched" && break
    sleep 0.1
  done
  grep -q '"frames":3' "$launched" 2>/dev/null || fail "the menu entry for $where did not start the program"
done

echo "-- reinstall and uninstall keep a player's records"
# Installed under the user's own data folder (prefix ~/.local), the game's folder is the records folder.
(cd "$run" && "${home[@]}" "XDG_DATA_HOME=$prefix/share" "$prefix/bin/brillora" --headless --play "$solution" \
  >"$run/out.txt" 2>&1) || fail "the user install failed to save a won level: $(cat "$run/out.txt")"
won="$(od -An -tu4 -N4 "$game/Maps/Data.bin" | tr -d ' ')"
[ "${won:-0}" -gt 0 ] || fail "the won level left no score in the game's folder of a user install"
printf 'ANNA    ' >"$prefix/share/brillora/Maps/Player.bin"
rm "$prefix/share/brillora/Maps/Map7-2.bin"
install_to "$prefix"
[ "$(cat "$prefix/share/brillora/Maps/Player.bin")" = "ANNA    " ] || fail "the reinstall replaced the player's name"
[ "$(od -An -tu4 -N4 "$game/Maps/Data.bin" | tr -d ' ')" = "$won" ] || fail "the reinstall replaced the scores"
need "$prefix/share/brillora/Maps/Map7-2.bin"
cp "$build/install_manifest.txt" "$game/installed-files.txt"
bash "$src/scripts/uninstall.sh" "$prefix" >/dev/null
[ "$(cat "$prefix/share/brillora/Maps/Player.bin")" = "ANNA    " ] || fail "the uninstall removed the player's name"
[ "$(od -An -tu4 -N4 "$game/Maps/Data.bin" | tr -d ' ')" = "$won" ] || fail "the uninstall removed the scores"
left=$(cd "$prefix" && find . -type f -not -name .records.lock | sort | tr '\n' ' ')
want="./share/brillora/Maps/Data.bin ./share/brillora/Maps/Duzozez.bin ./share/brillora/Maps/Name.bin ./share/brillora/Maps/Player.bin "
[ "$left" = "$want" ] || fail "the uninstall left $left"
# Records that are still the empty ones the install brought go with the rest.
printf '\0\0\0\0\0\0\0\0' >"$prefix/share/brillora/Maps/Player.bin"
head -c 3200 /dev/zero >"$prefix/share/brillora/Maps/Data.bin"
install_to "$prefix"
cp "$build/install_manifest.txt" "$game/installed-files.txt"
bash "$src/scripts/uninstall.sh" "$prefix" >/dev/null
[ ! -e "$prefix/share/brillora" ] || fail "the uninstall left $(cd "$prefix" && find . -type f)"
echo "install check passed"
