#!/usr/bin/env bash
# Soak run: plays the game headless with random input for MINUTES (default 30) over every screen (title
# menu, name entry, high-score table, every level: the throw-away data folder's records open all of
# them), and watches the process's memory (resident set) and open files every few seconds. Fails when
# either keeps growing, or when the program ends in any way but the normal end at the deadline.
# Needs the default build (scripts/build.sh default).
#   scripts/soak.sh [MINUTES] [SEED]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
minutes="${1:-30}"
seed="${2:-1}"
build="$here/build"
soak="$build/fuzz/brillora_soak"
[ -x "$soak" ] || { echo "soak: $soak is missing; run scripts/build.sh default first" >&2; exit 1; }

game="$(mktemp -d)"
samples="$game/samples"
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$game"
}
trap cleanup EXIT
mkdir -p "$game/Maps"
cp "$build/Graphic.kpq" "$build/smalfont.bmp" "$game/"
cp "$build"/Maps/Map*.bin "$game/Maps/"
cp "$here"/data/records/*.bin "$game/Maps/"
# Every level finished once with a score of 1, so that the title menu offers all of them.
for _ in $(seq 100); do printf '\001\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000'; done >"$game/Maps/Data.bin"

seconds=$((minutes * 60))
interval=5
[ "$seconds" -le 120 ] && interval=2
"$soak" --data "$game" --seconds "$seconds" --seed "$seed" >"$game/out.txt" 2>"$game/err.txt" &
pid=$!
# One sample: seconds since start, resident set in KiB, open files.
: >"$samples"
start=$(date +%s)
while kill -0 "$pid" 2>/dev/null; do
  rss="$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)"
  fds="$(ls "/proc/$pid/fd" 2>/dev/null | wc -l || true)"
  [ -n "$rss" ] && [ "$fds" -gt 0 ] && echo "$(( $(date +%s) - start )) $rss $fds" >>"$samples"
  sleep "$interval"
done
status=0
wait "$pid" || status=$?
pid=""
cat "$game/out.txt" | grep -v '^Init OK$' || true

# The first fifth of the run (at least 10 s) settles caches, textures and the allocator. Growth without
# bound shows in the last fifth: its typical memory (the median) above the largest value seen while
# settling, by more than the allocator's own ups and downs; or its fewest open files above the most seen
# while settling (a file open for a moment, as during a save, cannot be open at every sample).
verdict=$(awk -v total="$seconds" '
  { t[NR] = $1; rss[NR] = $2; fd[NR] = $3 }
  END {
    if (NR < 5) { print "FAIL too few samples (" NR ")"; exit }
    settle = total / 5; if (settle < 10) settle = 10
    base = rss[1]; basefd = fd[1]
    for (i = 1; i <= NR; i++) if (t[i] <= settle) { if (rss[i] > base) base = rss[i]; if (fd[i] > basefd) basefd = fd[i] }
    first = NR - int(NR / 5); if (first > NR) first = NR
    n = 0; minfd = -1; peak = 0
    for (i = first; i <= NR; i++) {
      late[++n] = rss[i]
      if (minfd < 0 || fd[i] < minfd) minfd = fd[i]
    }
    for (i = 1; i <= NR; i++) if (t[i] > settle && rss[i] > peak) peak = rss[i]
    # median of the last fifth (insertion sort: a few hundred samples at most)
    for (i = 2; i <= n; i++) { v = late[i]; j = i - 1; while (j > 0 && late[j] > v) { late[j + 1] = late[j]; j-- } late[j + 1] = v }
    median = late[int((n + 1) / 2)]
    margin = base / 10; if (margin < 8192) margin = 8192
    printf "memory at start %.1f MiB, largest while settling %.1f MiB, peak after %.1f MiB, last fifth %.1f MiB, at the end %.1f MiB; open files %d at start, at most %d while settling, at least %d in the last fifth, %d at the end\n", rss[1] / 1024, base / 1024, peak / 1024, median / 1024, rss[NR] / 1024, fd[1], basefd, minfd, fd[NR]
    if (median > base + margin) print "FAIL memory grows"
    else if (minfd > basefd) print "FAIL open files grow"
    else print "OK"
  }' "$samples")
echo "soak: $verdict" | head -1
result="$(echo "$verdict" | tail -1)"
if [ "$status" -ne 0 ]; then
  echo "soak: FAIL the game ended with status $status" >&2
  cat "$game/err.txt" >&2
  exit 1
fi
if [ "$result" != "OK" ]; then
  echo "soak: $result" >&2
  exit 1
fi
echo "soak: OK, $minutes minute(s), normal end"
