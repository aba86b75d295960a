#!/usr/bin/env bash
# Lays out every C and C++ file in the repository with the repository's .clang-format.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
fmt="$(command -v clang-format-14 || command -v clang-format)"
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 "$fmt" -i
