#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [extra cmake args...]
# BUILD_TARGET=dist builds only that target (default: all).
set -euo pipefail
dir=${1:-build}; shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$root/$dir" -j "$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
