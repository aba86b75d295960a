#!/usr/bin/env bash
# Removes what scripts/install.sh installed under PREFIX (~/.local unless given). The record files (your
# name and high scores) in PREFIX/share/brillora/Maps stay, for a later install to use on.
set -euo pipefail
prefix="$(realpath -m -- "${1:-$HOME/.local}")"
game="$prefix/share/brillora"
list="$game/installed-files.txt"
if [ ! -f "$list" ]; then
  echo "uninstall: no install of Brillora under $prefix (no $list)" >&2
  exit 1
fi
while IFS= read -r file || [ -n "$file" ]; do  # the list has no final line break
  case "$file" in
    "$prefix"/*) rm -f -- "$file" ;;
    *) echo "uninstall: leaving $file, which is outside $prefix" >&2 ;;
  esac
done <"$list"
rm -f -- "$list"
# Record files that all still hold only zero bytes are the ones the install brought: nothing of a
# player's. Otherwise they stay together, as the game reads them.
records=("$game"/Maps/{Player,Duzozez,Name,Data}.bin)
untouched=1
for record in "${records[@]}"; do
  if [ -e "$record" ] && [ "$(tr -d '\0' <"$record" | wc -c)" -ne 0 ]; then untouched=0; fi
done
if [ "$untouched" -eq 1 ]; then rm -f -- "${records[@]}"; fi
# The lock the game keeps beside the records goes too when no record is left.
if ! ls "$game"/Maps/*.bin >/dev/null 2>&1; then rm -f -- "$game/Maps/.records.lock"; fi
rmdir -- "$game/Maps" "$game" 2>/dev/null || true
if [ -d "$game/Maps" ]; then
  echo "Removed Brillora from $prefix; your records stay in $game/Maps."
else
  echo "Removed Brillora from $prefix."
fi
