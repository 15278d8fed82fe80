#!/usr/bin/env bash
# Fresh machine: install what is needed, build, and run the main job on the bundled data.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" build
"$root/scripts/demo.sh" "$root/build/dist"
