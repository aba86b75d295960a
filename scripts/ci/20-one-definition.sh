#!/usr/bin/env bash
# One name, one definition: fails when a function or variable that the linker merges (an inline function,
# a template, an inline variable) is defined in two different headers. The linker keeps one copy
# without a word, so which one ships would depend on link order.
#
# Reads the object files of an unoptimised build with debug information (the sanitizer build by default,
# built first when missing): without optimisation every inline function that is used gets a copy of its
# own, and the debug information says which file each copy came from.
#   scripts/ci/20-one-definition.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$here/build-asan}"
if [ $# -eq 0 ] && ! find "$build" -name '*.o' -print -quit 2>/dev/null | grep -q .; then
  bash "$here/scripts/build.sh" asan
fi
objects=()
while IFS= read -r -d '' o; do objects+=("$o"); done < <(find "$build" -name '*.o' -print0 | sort -z)
if [ ${#objects[@]} -eq 0 ]; then
  echo "no object files under $build" >&2
  exit 2
fi
# "W"/"V" are the merged (weak) definitions, "u" unique globals; nm -l adds file:line from the debug
# information. Symbols without a source line (made by the compiler itself) are not ours to check.
nm --defined-only --line-numbers "${objects[@]}" 2>/dev/null | awk -F'\t' '
  NF >= 2 {
    split($1, part, " ");
    kind = part[2];
    if (kind != "W" && kind != "V" && kind != "u") next;
    symbol = part[3];
    file = $2; sub(/:[0-9]+$/, "", file);
    # One file may be named along different paths ("a/./b", "a/c/../b").
    while (gsub(/\/\.\//, "/", file)) {}
    while (sub(/\/[^\/]+\/\.\.\//, "/", file)) {}
    if (file == "" || file ~ /^\?/) next;
    # Only copies that come from headers are compared: a copy the compiler makes of a member it defines
    # itself (a destructor, say) is put down to the source file that needed it, which says nothing.
    if (file !~ /\.(h|hh|hpp|hxx|inc)$/) next;
    if (!((symbol, file) in seen)) {
      seen[symbol, file] = 1;
      count[symbol]++;
      where[symbol] = where[symbol] "\n    " file;
    }
  }
  END {
    bad = 0;
    for (s in count) if (count[s] > 1) {
      printf "%s is defined in %d places:%s\n", s, count[s], where[s];
      bad++;
    }
    if (bad) { printf "%d names with more than one definition\n", bad; exit 1 }
  }' | { out="$(cat)"; if [ -n "$out" ]; then
  printf '%s\n' "$out" | c++filt >&2; exit 1; fi; }
echo "one definition per name: ${#objects[@]} object files checked"
