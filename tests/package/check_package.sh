#!/usr/bin/env bash
# Builds the Debian packages of a build tree with CPack, unpacks them into a scratch root (as
# dpkg would install them, without touching the system), and checks what a user and a
# developer get: the program folder with data and help and no settings file, the commands, the
# menu entry and icons, the manual pages, the library's version note, and a C program from
# outside the tree built against the installed library through pkg-config and through CMake.
# Also checks that `cmake --install --prefix DIR` lays out the same program folder.
#   tests/package/check_package.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: check_package.sh BUILD_DIR}" && pwd)
prefix_in_package=$(sed -n 's/^MEKLAN_PACKAGE_PREFIX:STRING=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/debs" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
for name in tovra libmeklan3 libmeklan-dev; do
  deb=$(ls "$work"/debs/${name}_*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] || fail "no package $name"
  dpkg-deb -x "$deb" "$work/root"
done
root=$work/root
P=$root$prefix_in_package

for f in tovra tovra-search tovra-serve meklan libmeklan.so.3 libmeklan-dialog.so data/ken_all.csv \
         data/jigyosyo.csv help/index.html include/meklan.h lib/pkgconfig/meklan.pc \
         lib/cmake/meklan/meklanConfig.cmake share/applications/tovra.desktop \
         share/icons/hicolor/48x48/apps/tovra.png share/icons/hicolor/256x256/apps/tovra.png \
         share/man/man1/meklan.1 share/man/man1/tovra-search.1 share/man/man1/tovra-serve.1; do
  [ -e "$P/$f" ] || fail "$prefix_in_package/$f is missing"
done
[ -d "$P/ini" ] || fail "no ini/ in the program folder"
[ -z "$(ls -A "$P/ini")" ] || fail "the package ships a settings file: $(ls "$P/ini")"
for link in usr/bin/tovra usr/bin/tovra-search usr/bin/tovra-serve lib/systemd/system/tovra-serve.service usr/bin/meklan usr/share/applications/tovra.desktop \
            usr/share/icons/hicolor/48x48/apps/tovra.png usr/share/man/man1/meklan.1 \
            usr/share/pkgconfig/meklan.pc usr/share/cmake/meklan/meklanConfig.cmake; do
  [ -e "$root/$link" ] || [ -L "$root/$link" ] || fail "/$link is missing"
done
grep -qx "Exec=$prefix_in_package/tovra" "$P/share/applications/tovra.desktop" ||
  fail "the desktop entry does not start $prefix_in_package/tovra"
grep -q '^Name\[ja\]=' "$P/share/applications/tovra.desktop" || fail "no Japanese name"
grep -q '^Categories=Office;Utility;' "$P/share/applications/tovra.desktop" || fail "no categories"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$P/share/applications/tovra.desktop"
fi
file_type=$(head -c 8 "$P/share/icons/hicolor/48x48/apps/tovra.png" | od -An -c | tr -d ' ')
[ "$file_type" = '211PNG\r\n032\n' ] || fail "the 48x48 icon is not a PNG"

# The installed commands run from the scratch root (RPATH $ORIGIN) and the library carries its
# version texts.
"$P/meklan" info >"$work/info.txt" || fail "meklan info failed"
grep -q "^library  *$P/libmeklan.so.3" "$work/info.txt" || fail "meklan info loaded another library"
grep -q '^FileVersion  *3190$' "$work/info.txt" || fail "no FileVersion in meklan info"
LC_ALL=C strings -a "$P/libmeklan.so.3" >"$work/strings.txt"
grep -qx 'ProductVersion=3.19' "$work/strings.txt" || fail "the version texts are not in the library file"
"$P/tovra-search" --ini "$work/tovra.ini" postcode 060-0001 >"$work/rows.txt" ||
  fail "tovra-search failed on the installed data"
grep -q '^060-0001' "$work/rows.txt" || fail "tovra-search found nothing in the installed data"
grep -qx "ExecStart=$prefix_in_package/tovra-serve .*" "$root/lib/systemd/system/tovra-serve.service" ||
  fail "the service unit does not start $prefix_in_package/tovra-serve"
"$P/tovra-serve" --help >/dev/null || fail "tovra-serve does not run from the package"

# An outside C program, through pkg-config ...
cc_cmd=${CC:-cc}
export PKG_CONFIG_PATH=$P/lib/pkgconfig
read -r -a flags <<<"$(pkg-config --cflags --libs meklan)"
"$cc_cmd" -std=c11 -Wall -Werror "$here/consumer/main.c" "${flags[@]}" -o "$work/consumer-pc"
"$work/consumer-pc" >/dev/null || fail "the pkg-config build does not run"
unset PKG_CONFIG_PATH
# ... and through find_package(meklan).
cmake -S "$here/consumer" -B "$work/consumer-cmake" -DCMAKE_PREFIX_PATH="$P" \
  -DCMAKE_BUILD_TYPE=Release >"$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; fail "find_package failed"; }
cmake --build "$work/consumer-cmake" >>"$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; fail "the CMake build failed"; }
"$work/consumer-cmake/consumer" >/dev/null || fail "the CMake build does not run"

# `cmake --install --prefix DIR` lays out the same program folder as the package.
cmake --install "$build" --prefix "$work/folder" >/dev/null
(cd "$P" && find . | sort) >"$work/packaged.txt"
(cd "$work/folder" && find . | sort) >"$work/installed.txt"
diff -u "$work/packaged.txt" "$work/installed.txt" || fail "cmake --install lays out another folder"
echo "package check: $(ls "$work"/debs/*.deb | xargs -n1 basename | tr '\n' ' ')ok"
