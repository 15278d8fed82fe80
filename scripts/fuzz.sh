#!/usr/bin/env bash
# Runs every libFuzzer target (or the ones named) for SECONDS each, starting from the
# committed seed corpora in tests/fuzz/corpus/<target>/; new inputs go to a work corpus in
# the build tree, crashes to build-fuzz/crashes/. Exits non-zero when any target fails.
#   scripts/fuzz.sh SECONDS [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-10}; shift || true
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMEKLAN_BUILD_FUZZ=ON -DMEKLAN_BUILD_TESTS=OFF -DMEKLAN_BUILD_BENCH=OFF \
  -DMEKLAN_BUILD_GUI=OFF -DMEKLAN_WERROR=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -n 's/^add_fuzzer(\([a-z_0-9]*\).*/\1/p' "$root/tests/fuzz/CMakeLists.txt")
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null
mkdir -p "$build/crashes"
status=0
printf '%-28s %8s %12s %8s %s\n' target seconds executions corpus result
for t in "${targets[@]}"; do
  work=$build/corpus/$t
  mkdir -p "$work"
  seeds=()
  [ -d "$root/tests/fuzz/corpus/$t" ] && seeds+=("$root/tests/fuzz/corpus/$t")
  log=$build/$t.log
  extra=()
  [ -f "$root/tests/fuzz/$t.dict" ] && extra+=("-dict=$root/tests/fuzz/$t.dict")
  if ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 "$build/fuzz/$t" -max_total_time="$secs" \
       -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" -max_len=4096 \
       "${extra[@]}" "$work" "${seeds[@]}" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"
    status=1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  corpus=$(ls "$work" | wc -l)
  printf '%-28s %8s %12s %8s %s\n' "$t" "$secs" "${execs:-?}" "$corpus" "$result"
done
exit $status
