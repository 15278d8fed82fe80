#!/usr/bin/env bash
# Builds the Debian packages of a build tree with CPack, runs lintian on them, unpacks them into
# a scratch root (as dpkg would install them, without touching the system) and checks what a
# user and a developer get: the layout of the filesystem hierarchy (program folder in
# /usr/lib/tovra, data and help in /usr/share/tovra, the library in the system's library
# directory), copyright and changelog, long descriptions, computed dependencies, compressed
# manual pages, stripped and hardened binaries, commands that run, and a C program from outside
# the tree built against the installed library through pkg-config and through CMake. Then
# checks that `cmake --install --prefix DIR` lays out the portable program folder, and removes
# the scratch root.
#   tests/package/check_package.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: check_package.sh BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_package: $*" >&2; exit 1; }
arch=$(sed -n 's/^CMAKE_LIBRARY_ARCHITECTURE:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$arch" ] || arch=$(gcc -print-multiarch)
libdir=usr/lib/$arch

(cd "$build" && cpack -G DEB -B "$work/debs" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
packages=(tovra libmeklan3 libmeklan-dev meklan-dialog)
debs=()
for name in "${packages[@]}"; do
  deb=$(ls "$work"/debs/${name}_*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] || fail "no package $name"
  debs+=("$deb")
done

# --- lintian: no errors; what it reports and is meant so is explained in the packages'
# override files (cmake/debian/*.lintian).
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 --show-overrides "${debs[@]}" >"$work/lintian.txt" 2>&1 || true
  sed 's/^/lintian: /' "$work/lintian.txt"
  if grep -q '^E: ' "$work/lintian.txt"; then fail "lintian reports errors"; fi
else
  fail "lintian is not installed (scripts/install-deps.sh)"
fi

# --- Control fields: each package says what it is, who maintains it, what it needs.
summaries=()
for deb in "${debs[@]}"; do
  name=$(dpkg-deb -f "$deb" Package)
  maintainer=$(dpkg-deb -f "$deb" Maintainer)
  [[ "$maintainer" == *"<"*"@"*">" && "$maintainer" != *localhost* ]] ||
    fail "$name: no maintainer address ($maintainer)"
  description=$(dpkg-deb -f "$deb" Description)
  [ "$(wc -l <<<"$description")" -ge 4 ] || fail "$name: no long description"
  summaries+=("$(head -1 <<<"$description")")
done
[ "$(printf '%s\n' "${summaries[@]}" | sort -u | wc -l)" -eq "${#packages[@]}" ] || fail "the packages share a summary"
tovra_depends=$(dpkg-deb -f "${debs[0]}" Depends)
for need in libc6 libqt6widgets6 qt6-qpa-plugins "libmeklan3 (= "; do
  [[ "$tovra_depends" == *"$need"* ]] || fail "tovra does not depend on $need: $tovra_depends"
done
library_depends=$(dpkg-deb -f "${debs[1]}" Depends)
[[ "$library_depends" == *libc6* ]] || fail "libmeklan3 does not depend on libc6"
[[ "$library_depends" != *qt* ]] || fail "libmeklan3 brings Qt along: $library_depends"
[[ "$(dpkg-deb -f "${debs[3]}" Depends)" == *libqt6widgets6* ]] || fail "meklan-dialog does not depend on Qt"
dpkg-deb -I "${debs[1]}" shlibs | grep -q "^libmeklan 3 libmeklan3" || fail "libmeklan3 has no shlibs file"

root=$work/root
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$root"; done
P=$root/usr/lib/tovra
S=$root/usr/share/tovra

for f in usr/lib/tovra/tovra usr/lib/tovra/tovra-search usr/lib/tovra/tovra-serve \
         lib/systemd/system/tovra-serve.service usr/share/man/man1/tovra-serve.1.gz usr/share/tovra/data/ken_all.csv \
         usr/share/tovra/data/jigyosyo.csv usr/share/tovra/help/index.html usr/bin/meklan \
         $libdir/libmeklan.so.3 $libdir/meklan/libmeklan-dialog.so $libdir/libmeklan.so \
         usr/include/meklan.h $libdir/pkgconfig/meklan.pc $libdir/cmake/meklan/meklanConfig.cmake \
         usr/share/applications/tovra.desktop usr/share/icons/hicolor/48x48/apps/tovra.png \
         usr/share/icons/hicolor/256x256/apps/tovra.png usr/share/man/man1/meklan.1.gz \
         usr/share/man/man1/tovra.1.gz usr/share/man/man1/tovra-search.1.gz; do
  [ -e "$root/$f" ] || fail "/$f is missing"
done
[ -z "$(ls "$root" | grep -v '^usr$' | grep -v '^lib$')" ] || fail "files outside /usr: $(ls "$root")"
[ -z "$(ls "$root/lib" | grep -v '^systemd$')" ] || fail "files in /lib beside the service unit: $(ls "$root/lib")"
grep -qx "ExecStart=/usr/lib/tovra/tovra-serve .*" "$root/lib/systemd/system/tovra-serve.service" ||
  fail "the service unit does not start /usr/lib/tovra/tovra-serve"
[ -d "$P/ini" ] && [ -z "$(ls -A "$P/ini")" ] || fail "no empty ini/ in the program folder"
for link in usr/bin/tovra usr/bin/tovra-search usr/bin/tovra-serve usr/lib/tovra/data usr/lib/tovra/help; do
  [ -L "$root/$link" ] || fail "/$link is not a link"
  [[ "$(readlink "$root/$link")" != /* ]] || fail "/$link is an absolute link"
  [ -e "$root/$link" ] || fail "/$link leads nowhere"
done
for name in "${packages[@]}"; do
  [ -s "$root/usr/share/doc/$name/copyright" ] || fail "$name has no copyright file"
  gzip -t "$root/usr/share/doc/$name/changelog.gz" || fail "$name has no changelog.gz"
done
while IFS= read -r page; do
  [[ "$page" == *.gz ]] && gzip -t "$page" || fail "manual page not compressed: $page"
done < <(find "$root/usr/share/man" -type f)
for word in join '\\-\\-edition' '\\-\\-dialog'; do
  zcat "$root/usr/share/man/man1/meklan.1.gz" | grep -q -- "$word" || fail "meklan.1 does not describe $word"
done
grep -qx "Exec=tovra" "$root/usr/share/applications/tovra.desktop" || fail "the desktop entry does not start tovra"
grep -q '^Name\[ja\]=' "$root/usr/share/applications/tovra.desktop" || fail "no Japanese name"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/tovra.desktop"
fi
file_type=$(head -c 8 "$root/usr/share/icons/hicolor/48x48/apps/tovra.png" | od -An -c | tr -d ' ')
[ "$file_type" = '211PNG\r\n032\n' ] || fail "the 48x48 icon is not a PNG"

# --- Every binary: stripped, without RPATH, and hardened as a distribution build is.
elves=0
while IFS= read -r f; do
  head -c 4 "$f" | grep -q 'ELF' || continue
  elves=$((elves + 1))
  name=${f#"$root"}
  sections=$(readelf -SW "$f")
  ! grep -qE '\.symtab|\.debug_' <<<"$sections" || fail "$name is not stripped"
  dynamic=$(readelf -dW "$f")
  ! grep -qE '\((RPATH|RUNPATH)\)' <<<"$dynamic" || fail "$name keeps an RPATH"
  readelf -lW "$f" | grep -q GNU_RELRO || fail "$name: no RELRO"
  grep -qE 'BIND_NOW|FLAGS.*NOW' <<<"$dynamic" || fail "$name: no immediate binding (-z now)"
  symbols=$(readelf -sW --dyn-syms "$f")
  grep -q '__stack_chk_fail' <<<"$symbols" || fail "$name: no stack protector"
  grep -qE '__[a-z0-9_]+_chk(@|$| )' <<<"$symbols" || fail "$name: no fortified functions (_FORTIFY_SOURCE)"
done < <(find "$root" -type f)
[ "$elves" -ge 5 ] || fail "only $elves binaries in the packages"

# --- The installed commands run from the scratch root and use its library and data.
export LD_LIBRARY_PATH=$root/$libdir
"$root/usr/bin/meklan" info >"$work/info.txt" || fail "meklan info failed"
grep -q "^library  *$root/$libdir/libmeklan.so.3" "$work/info.txt" || fail "meklan info loaded another library"
grep -q '^FileVersion  *3190$' "$work/info.txt" || fail "no FileVersion in meklan info"
LC_ALL=C strings -a "$root/$libdir/libmeklan.so.3" >"$work/strings.txt"
grep -qx 'ProductVersion=3.19' "$work/strings.txt" || fail "the version texts are not in the library file"
XDG_CONFIG_HOME=$work/config "$root/usr/bin/tovra-search" postcode 060-0001 >"$work/rows.txt" ||
  fail "tovra-search failed on the installed data"
grep -q '^060-0001' "$work/rows.txt" || fail "tovra-search found nothing in the installed data"
"$root/usr/bin/tovra-serve" --help >/dev/null || fail "tovra-serve does not run from the package"

# An outside C program, through pkg-config ...
cc_cmd=${CC:-cc}
export PKG_CONFIG_PATH=$root/$libdir/pkgconfig
read -r -a flags <<<"$(pkg-config --define-variable=prefix="$root/usr" --cflags --libs meklan)"
"$cc_cmd" -std=c11 -Wall -Werror "$here/consumer/main.c" "${flags[@]}" -o "$work/consumer-pc"
"$work/consumer-pc" >/dev/null || fail "the pkg-config build does not run"
unset PKG_CONFIG_PATH
# ... and through find_package(meklan).
cmake -S "$here/consumer" -B "$work/consumer-cmake" -DCMAKE_PREFIX_PATH="$root/usr" \
  -DCMAKE_BUILD_TYPE=Release >"$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; fail "find_package failed"; }
cmake --build "$work/consumer-cmake" >>"$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; fail "the CMake build failed"; }
"$work/consumer-cmake/consumer" >/dev/null || fail "the CMake build does not run"
unset LD_LIBRARY_PATH

# `cmake --install --prefix DIR` lays out the portable program folder: everything beside the
# executables, an empty ini/, and the files a developer and a desktop need below it.
F=$work/folder
cmake --install "$build" --prefix "$F" >/dev/null
for f in tovra tovra-search tovra-serve meklan libmeklan.so.3 libmeklan-dialog.so data/ken_all.csv \
         data/jigyosyo.csv help/index.html include/meklan.h lib/pkgconfig/meklan.pc \
         lib/cmake/meklan/meklanConfig.cmake share/applications/tovra.desktop \
         share/icons/hicolor/48x48/apps/tovra.png share/man/man1/meklan.1 \
         share/man/man1/tovra.1 share/man/man1/tovra-search.1 share/man/man1/tovra-serve.1; do
  [ -e "$F/$f" ] || fail "the program folder has no $f"
done
[ -d "$F/ini" ] && [ -z "$(ls -A "$F/ini")" ] || fail "the program folder has no empty ini/"
[ ! -e "$F/usr" ] && [ ! -e "$F/share/doc" ] || fail "cmake --install also installed the Debian layout"
"$F/tovra-search" --ini "$work/folder.ini" postcode 060-0001 | grep -q '^060-0001' ||
  fail "tovra-search does not run from the program folder"

rm -rf "$root"
echo "package check: $(ls "$work"/debs/*.deb | xargs -n1 basename | tr '\n' ' ')ok" \
  "($elves binaries, lintian: $(grep -c '^W: ' "$work/lintian.txt" || true) warnings)"
