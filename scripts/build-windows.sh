#!/usr/bin/env bash
# Builds meklan.dll for 64-bit (x86_64) and 32-bit (i686) Windows with Debian's mingw-w64,
# from the same sources as libmeklan.so, into build-windows/<arch>/dist/: meklan.dll, its
# import library libmeklan.dll.a and meklan.def, and the test program meklan-dll-test.exe.
# Installs the cross compilers and wine64 (which runs the tests) when they are missing.
#
#   scripts/build-windows.sh [x86_64|i686 ...]     (default: both)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

archs=()
for arg in "$@"; do
  case $arg in
    x86_64 | i686) archs+=("$arg") ;;
    -h | --help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "build-windows.sh: unknown architecture '$arg' (x86_64 or i686)" >&2; exit 2 ;;
  esac
done
[ ${#archs[@]} -gt 0 ] || archs=(x86_64 i686)
scripts/install-deps.sh g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 \
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64
out=build-windows

# The table generator runs on this machine: a native build of it alone.
cmake -S . -B "$out/host" -DMEKLAN_BUILD_GUI=OFF -DMEKLAN_BUILD_TESTS=OFF \
  -DMEKLAN_BUILD_BENCH=OFF >/dev/null
cmake --build "$out/host" -j "$(nproc)" --target meklan-gen

for arch in "${archs[@]}"; do
  cmake -S . -B "$out/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DMEKLAN_WERROR=ON \
    -DMEKLAN_HOST_GEN="$root/$out/host/library/tables/meklan-gen" >/dev/null
  cmake --build "$out/$arch" -j "$(nproc)"
  echo "$out/$arch/dist: $(cd "$out/$arch/dist" && echo *)"
done
