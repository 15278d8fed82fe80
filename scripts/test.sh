#!/usr/bin/env bash
# The whole test suite: a strict build (warnings are errors) and an ASan+UBSan build,
# each built from scratch-able trees and tested with ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
status=0

echo "== strict build"
scripts/build.sh build-test -DMEKLAN_WERROR=ON
ctest --test-dir build-test --output-on-failure -j "$(nproc)" || status=1

echo "== sanitizer build (ASan+UBSan)"
scripts/build.sh build-asan -DMEKLAN_WERROR=ON -DMEKLAN_SANITIZE=ON -DMEKLAN_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)" || status=1

echo "== fuzz smoke (libFuzzer, a short run of every target)"
n=$(grep -c '^add_fuzzer(' tests/fuzz/CMakeLists.txt)
per=$(( 20 / (n > 0 ? n : 1) )); [ "$per" -ge 1 ] || per=1
scripts/fuzz.sh "$per" || status=1

exit $status
