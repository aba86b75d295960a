#!/usr/bin/env bash
# Every C and C++ file in the repository is laid out the way .clang-format says. Lists the files that are
# not (and shows how), so a contributor can run scripts/format.sh and commit the result.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$here"
fmt="$(command -v clang-format-14 || command -v clang-format || true)"
if [ -z "$fmt" ]; then
  echo "format check: clang-format-14 is not installed (scripts/setup.sh installs it)" >&2
  exit 1
fi
bad=0
while IFS= read -r -d '' f; do
  if ! "$fmt" --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f"
    "$fmt" "$f" | diff -u "$f" - | head -20 || true
    bad=1
  fi
done < <(git ls-files -z '*.c' '*.cpp' '*.h')
if [ "$bad" -ne 0 ]; then
  echo "format check: run scripts/format.sh and commit the result" >&2
  exit 1
fi
echo "format check: every C and C++ file is formatted"
