#!/usr/bin/env bash
# Renders the desktop program's screenshots into docs/screenshots/*.png on the offscreen
# platform, with the Japanese dialog font (IPA P Gothic) installed: the main dialog after a
# real search in each of the five modes, and each secondary dialog.
#   tools/screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if ! fc-list | grep -q IPAPGothic; then
  echo "screenshots: the font IPA P Gothic is missing (install fonts-ipafont-gothic)" >&2
  exit 1
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target tovra tovra-screenshots postal_data tovra_help
# A private program folder, so that the index notice shows on a first start and the real
# settings file is not touched.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/ini"
cp -r "$build/dist/data" "$build/dist/help" "$work/"
QT_QPA_PLATFORM=offscreen "$build/bin/tovra-screenshots" "$work/" "$root/docs/screenshots"
