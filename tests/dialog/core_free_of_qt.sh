#!/bin/sh
# libmeklan.so must not need a GUI toolkit: no Qt library among its dependencies, no Qt
# symbol among those it defines or uses, and the dialog module must not be a dependency.
# usage: core_free_of_qt.sh LIBRARY
set -u
lib=$1
status=0
needed=$(readelf -d "$lib" | grep NEEDED) || true
if echo "$needed" | grep -Eiq 'Qt|meklan-dialog|xcb|X11'; then
  echo "libmeklan needs a GUI library:"; echo "$needed"; status=1
fi
if ldd "$lib" | grep -iq 'libQt'; then
  echo "libmeklan pulls in Qt:"; ldd "$lib"; status=1
fi
# Qt's mangled names all carry a Q class (7QString, 7QObject, 12QApplication, ...).
symbols=$(nm -D "$lib"; nm "$lib" 2>/dev/null) || true
if echo "$symbols" | grep -Eq '[0-9]Q[A-Z][A-Za-z]*|qt_'; then
  echo "libmeklan has Qt symbols:"; echo "$symbols" | grep -E '[0-9]Q[A-Z][A-Za-z]*|qt_' | head
  status=1
fi
[ $status -eq 0 ] && echo "libmeklan is free of Qt"
exit $status
