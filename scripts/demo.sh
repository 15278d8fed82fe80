#!/usr/bin/env bash
# The main job on the bundled data: a few telling questions to the library's command.
set -euo pipefail
dist=${1:-build/dist}
run() { echo "\$ meklan $*"; "$dist/meklan" "$@" || true; echo; }
run info
run ma 0153
run ma 0166-22-1234
run ma いしかり
run ma 0 --pref 沖縄県
run areacode 石狩
run areacode 0598
run addresses 北海道 夕張市
