#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ and runs each for SECONDS.
#   scripts/fuzz.sh SECONDS [TARGET ...]
# TARGET is codetable, langpackage, sqlguard, dates or settings (all when
# none is named). New inputs are kept in build-fuzz/fuzz-corpus/<target>/,
# the log of each run in build-fuzz/fuzz-logs/<target>.log and a crashing
# input in build-fuzz/fuzz-crashes/<target>/. Prints executions, time and
# crashes per target; the exit status is 1 when any target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
  echo "usage: scripts/fuzz.sh SECONDS [codetable|langpackage|sqlguard|dates|settings ...]" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(codetable langpackage sqlguard dates settings)
for t in "${targets[@]}"; do
  case "$t" in
    codetable|langpackage|sqlguard|dates|settings) ;;
    *) echo "scripts/fuzz.sh: unknown target \"$t\"" >&2; exit 2 ;;
  esac
done

"$PWD/scripts/install-deps.sh"
command -v clang++ >/dev/null || { echo "scripts/fuzz.sh: clang++ is needed" >&2; exit 1; }

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORTK_SANITIZE=ON -DORTK_FUZZ=ON >/dev/null
cmake --build "$build" --target language_table "${targets[@]/#/ortk-fuzz-}"

export QT_QPA_PLATFORM=offscreen
# Qt and fontconfig keep caches for the process lifetime; those are not our leaks.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/fuzz-logs"
failed=0
printf '%-12s %12s %8s %8s\n' target executions seconds crashes
for t in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$t"
  crashes="$build/fuzz-crashes/$t"
  mkdir -p "$corpus" "$crashes"
  log="$build/fuzz-logs/$t.log"
  status=0
  "$build/bin/ortk-fuzz-$t" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$corpus" "tools/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  found=$(find "$crashes" -type f | wc -l)
  printf '%-12s %12s %8s %8s\n' "$t" "${runs:-?}" "${took:-?}" "$found"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "  $t failed (exit status $status); see $log" >&2
  fi
done
exit $failed
