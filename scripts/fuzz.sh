#!/usr/bin/env bash
# Builds the fuzz targets (the "fuzz" preset: clang-14, libFuzzer, AddressSanitizer + UndefinedBehavior-
# Sanitizer) and runs each for SECONDS (default 60), one after the other. Prints one line per target: runs,
# runs per second of wall time and per second of processor time (the two differ on a busy machine),
# coverage (edges, features), corpus size, the machine's load (1, 5 and 15-minute averages at the end of
# the run) and the result. Each target starts from the seed inputs the build made from the game's files and
# from its own corpus of earlier runs (build-fuzz/fuzz/corpus/<target>). A finding is kept in
# build-fuzz/fuzz/findings/<target>/ together with a .cmd file holding the command that replays it; the
# script then exits 1. On a shared machine, keep the runs on one core: taskset -c 1 scripts/fuzz.sh ...
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (targets by short name: archive bmp png wav ...)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
cd "$here"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_all >/dev/null

bin="$here/build-fuzz/fuzz"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$bin"/fuzz_*; do
    [ -x "$t" ] && targets+=("$(basename "$t" | sed 's/^fuzz_//')")
  done
fi

printf '%-14s %12s %8s %9s %7s %8s %7s %16s  %s\n' target runs runs/s runs/cpu-s cov features corpus load result
failed=0
for t in "${targets[@]}"; do
  exe="$bin/fuzz_$t"
  corpus="$bin/corpus/$t"
  findings="$bin/findings/$t"
  log="$bin/logs/$t.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  dict=()
  [ -f "$here/fuzz/dict/$t.dict" ] && dict=("-dict=$here/fuzz/dict/$t.dict")
  rc=0
  # stdout of the target (a few messages of the PNG reader) is closed; libFuzzer and the sanitizers
  # report on stderr. The processor time of the run goes to $log.cpu (user and system seconds).
  TIMEFORMAT='%U %S'
  regressions=()
  [ -d "$here/fuzz/regressions/$t" ] && regressions=("$here/fuzz/regressions/$t")
  # No input of a few KiB may make a reader ask for more than 512 MiB at once (the largest picture the
  # decoders take is 256 MiB, and no small input can declare one that its data could fill). The kept
  # regression inputs are run first, under the same limits.
  { time "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -malloc_limit_mb=512 \
    -print_final_stats=1 -close_fd_mask=1 -artifact_prefix="$findings/" "${dict[@]}" "$corpus" \
    "$bin/seeds/$t" "${regressions[@]}" >"$log" 2>&1 \
    || rc=$?; } 2>"$log.cpu"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  ft="$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  files="$(find "$corpus" -type f | wc -l)"
  cpu_speed="$(awk -v runs="${runs:-0}" '{ cpu = $1 + $2; if (cpu > 0) printf "%d", runs / cpu; else print "?" }' "$log.cpu")"
  load="$(cut -d' ' -f1-3 /proc/loadavg | tr ' ' /)"
  result="ok"
  if [ "$rc" -ne 0 ]; then
    failed=1
    result="FINDING (exit $rc), log $log"
    for artifact in "$findings"/*; do
      case "$artifact" in *.cmd) continue ;; esac
      [ -f "$artifact" ] || continue
      [ -f "$artifact.cmd" ] && continue
      echo "$exe $artifact" >"$artifact.cmd"
      result="$result; replay: $exe $artifact"
    done
  fi
  printf '%-14s %12s %8s %9s %7s %8s %7s %16s  %s\n' "$t" "${runs:-?}" "${speed:-?}" "${cpu_speed:-?}" \
    "${cov:-?}" "${ft:-?}" "$files" "$load" "$result"
done
exit "$failed"
