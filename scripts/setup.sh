#!/usr/bin/env bash
# Fresh machine: install what is needed, build, and run the main job on the bundled data:
# the desktop program when a display is available, else the command-line demo.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# Only the program folder: the tests and benchmarks are built by scripts/test.sh.
BUILD_TARGET=dist "$root/scripts/build.sh" build
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting the desktop program on the bundled data: $root/build/dist/tovra"
  exec "$root/build/dist/tovra"
fi
echo "No display (DISPLAY/WAYLAND_DISPLAY unset): running the command-line demo instead."
"$root/scripts/demo.sh" "$root/build/dist"
