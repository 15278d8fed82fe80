#!/usr/bin/env bash
# The tests of meklan.dll: builds both DLLs (scripts/build-windows.sh) and checks them under
# wine64 and with objdump. Prints one "ok:" or "FAILED:" line per check and ends with
# "windows: N passed, N failed"; exits 1 when a check failed.
#
#   scripts/test-windows.sh [LINUX_BUILD_DIR]
#
# The answers the DLL must give come from libmeklan.so: LINUX_BUILD_DIR/meklan-answers.txt,
# written by that tree's ctest (test meklan_windows_answers), or made here with its
# bin/meklan-answers. Default tree: build-test, as scripts/test.sh makes it.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
linux=${1:-build-test}
out=build-windows
passed=0
failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }
check() {  # check DESCRIPTION COMMAND...: one check, counted by the command's status
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  echo "windows: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}

mkdir -p "$out"
scripts/install-deps.sh python3  # the screenshot's BMP -> PNG (the build installs the rest)
if ! scripts/build-windows.sh >"$out/build.log" 2>&1; then
  tail -30 "$out/build.log"
  fail "cross build of meklan.dll (x86_64, i686)"
  finish
fi
pass "cross build of meklan.dll (x86_64, i686)"

# --- objdump: exports and imports of both DLLs --------------------------------------------
mapfile -t expected < <(sed -nE 's/^[ \t]+(MEKLAN_[A-Za-z]+);.*/\1/p' library/meklan.map)
# Windows' own DLLs; anything else (libgcc_s, libstdc++, libwinpthread) would have to ship.
system_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|msvcrt|COMCTL32|COMDLG32)\.dll$'
for arch in x86_64 i686; do
  dll=$out/$arch/dist/meklan.dll
  # Exported names by ordinal (the table lists [ordinal - 1] name).
  mapfile -t exported < <(objdump -p "$dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -nE 's/^\s*\[\s*([0-9]+)\] (.*)$/\1 \2/p' | sort -n | cut -d' ' -f2)
  check "$arch: exactly the ${#expected[@]} exports of meklan.map by plain name, in its order" \
    test "${exported[*]}" = "${expected[*]}"
  mapfile -t imports < <(objdump -p "$dll" | sed -nE 's/^\s*DLL Name: (.*)$/\1/p')
  bad=$(printf '%s\n' "${imports[@]}" | grep -Ev "$system_dlls" || true)
  check "$arch: imports only system DLLs (${imports[*]})" test -z "$bad"
  caller=$out/$arch/dist/meklan-import-caller.exe
  check "$arch: a C caller linked through the import library imports the plain names" \
    test "$(objdump -p "$caller" | sed -n '/DLL Name: meklan.dll/,/^$/p' |
            grep -cE '\s(MEKLAN_GetVersion|MEKLAN_GetVersionX|MEKLAN_GetAreaCode)$')" = 3
done

# --- wine64: the 64-bit DLL at work --------------------------------------------------------
export WINEPREFIX=$root/$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
# One prefix for every run: wine's first start takes a while.
if [ ! -f "$WINEPREFIX/drive_c/meklan-settings.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1
  # The template's dialog font is the IPA font here; wine draws its own window frames.
  iconv -f UTF-8 -t UTF-16 tests/windows/wine-settings.reg.txt >"$WINEPREFIX/drive_c/meklan-settings.reg"
  "$wine" regedit /S 'C:\meklan-settings.reg'
  /usr/lib/wine/wineserver -w
fi

answers=$linux/meklan-answers.txt
if [ ! -s "$answers" ] && [ -x "$linux/bin/meklan-answers" ]; then
  "$linux/bin/meklan-answers" "$answers"
fi
dist=$out/x86_64/dist
run_wine() (cd "$dist" && timeout 120 "$wine" "$@")
if [ -s "$answers" ]; then
  check "every export by name against libmeklan.so's answers" \
    run_wine ./meklan-dll-test.exe exports "Z:$(realpath "$answers")"
else
  fail "no answers of libmeklan.so: run ctest -R meklan_windows_answers in $linux"
fi
check "the version resource through GetFileVersionInfo/VerQueryValue" \
  run_wine ./meklan-dll-test.exe version
check "a C caller through the import library" \
  test "$(run_wine ./meklan-import-caller.exe | tr -d '\r')" = "3.19(2003/12/17) 3190 0166"
mkdir -p "$out/screenshots"
# The runs above leave a wine server (and its desktop) without a display for a few seconds: a
# dialog started under Xvfb before it ends would be drawn nowhere.
/usr/lib/wine/wineserver -w
check "the distance dialog driven by keystrokes on Xvfb (a distance, then cancel)" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
    "cd '$dist' && timeout 120 '$wine' ./meklan-dll-test.exe dialog Z:$root/$out/screenshots/dialog.bmp"
python3 tests/windows/bmp_to_png.py "$out/screenshots/dialog.bmp" \
  "$out/screenshots/distance_dialog_windows.png" &&
  echo "screenshot: $out/screenshots/distance_dialog_windows.png"
finish
