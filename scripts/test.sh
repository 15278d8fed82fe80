#!/usr/bin/env bash
# The whole test suite: a strict build (warnings are errors) and an ASan+UBSan build, each
# tested with ctest, then a short run of every fuzz target, then meklan.dll cross-built and
# tested under wine (scripts/test-windows.sh), then a packager's build (Release, default
# options) whose Debian packages are checked with lintian, installed into a scratch root,
# checked (layout, hardening) and built against.
# Ends with one summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# The indexes of the test files named with --ken/--jig go to a cache of the run's own, not to
# the user's.
export XDG_CACHE_HOME=$logs/cache
status=0
passed=0
failed=0

# Runs ctest on a build tree and adds its counts to the totals.
run_ctest() {
  local dir=$1; shift
  local log=$logs/$(basename "$dir").log
  env "$@" ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" 2>&1 | tee "$log" || status=1
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -z "$line" ]; then
    echo "ctest in $dir did not finish"; status=1; failed=$((failed + 1)); return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || status=1
}

echo "== strict build"
scripts/build.sh build-test -DMEKLAN_WERROR=ON
run_ctest build-test

echo "== sanitizer build (ASan+UBSan)"
scripts/build.sh build-asan -DMEKLAN_WERROR=ON -DMEKLAN_SANITIZE=ON -DMEKLAN_BUILD_BENCH=OFF
run_ctest build-asan ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== fuzz smoke (libFuzzer, a short run of every target)"
n=$(grep -c '^add_fuzzer(' tests/fuzz/CMakeLists.txt)
per=$(( 20 / (n > 0 ? n : 1) )); [ "$per" -ge 1 ] || per=1
scripts/fuzz.sh "$per" | tee "$logs/fuzz.log" || status=1
ok=$(grep -c ' ok$' "$logs/fuzz.log" || true)
bad=$(grep -c 'FAILED' "$logs/fuzz.log" || true)
passed=$((passed + ok))
failed=$((failed + bad))

echo "== meklan.dll: cross build, objdump checks, and the tests under wine64 (answers of build-test)"
scripts/test-windows.sh build-test | tee "$logs/windows.log" || status=1
line=$(grep -E '^windows: [0-9]+ passed, [0-9]+ failed$' "$logs/windows.log" || true)
if [ -n "$line" ]; then
  passed=$((passed + $(sed -E 's/^windows: ([0-9]+) passed.*/\1/' <<<"$line")))
  failed=$((failed + $(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$line")))
else
  echo "meklan.dll tests did not finish"; failed=$((failed + 1)); status=1
fi

echo "== packager's build (Release, default options) and its Debian package"
if cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DMEKLAN_BUILD_TESTS=OFF \
     -DMEKLAN_BUILD_BENCH=OFF >/dev/null &&
   cmake --build build-release -j "$(nproc)" >"$logs/release.log" 2>&1 &&
   tests/package/check_package.sh build-release; then
  passed=$((passed + 1))
else
  tail -40 "$logs/release.log" || true
  echo "packager's build or package check FAILED"
  failed=$((failed + 1)); status=1
fi
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1

echo "summary: $passed passed, $failed failed"
exit $status
