#!/usr/bin/env bash
# The main job on the bundled data, without a display: a few telling questions to the
# library's command and to the postal search command.
set -euo pipefail
dist=${1:-build/dist}
run() { echo "\$ $*"; "$dist/$@" || true; echo; }
run meklan info
run meklan ma 0153
run meklan ma 0166-22-1234
run meklan ma いしかり
run meklan ma 0 --pref 沖縄県
run meklan areacode 石狩
run meklan areacode 0598
run meklan addresses 北海道 夕張市
run meklan distance 那覇 東京
run meklan distance 0839012345 0839801234
run meklan areaplus 那覇
run tovra-search postcode 060-0001
run tovra-search areacode 0153 --show districts
run tovra-search --business postcode 100-8994
run tovra-search --format csv postcode 100-0001
