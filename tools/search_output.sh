#!/bin/bash
# Runs a fixed set of tovra-search commands and keeps what each prints (stdout, stderr, exit
# status), so that two builds can be compared byte for byte:
#
#   tools/search_output.sh record BUILD_DIR OUT_DIR      # e.g. before a change
#   tools/search_output.sh compare BUILD_DIR OUT_DIR     # after it: lists every difference
#
# Each run starts from a settings file of its own, so the first command builds both indexes.
set -u
mode=${1:?record or compare}
build=${2:?build directory}
out=${3:?output directory}
bin="$build/dist/tovra-search"
data="$build/dist/data"
[ -x "$bin" ] || { echo "no $bin" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ini="$work/tovra.ini"
target="$out"
[ "$mode" = compare ] && target="$work/now"
mkdir -p "$target"

n=0
run() {
  n=$((n + 1))
  local name
  name=$(printf '%03d' "$n")
  printf "%s\n" "$*" | sed "s|$work|WORK|g" > "$target/$name.cmd"
  "$bin" --ini "$ini" "$@" > "$target/$name.out" 2> "$target/$name.err"
  echo $? > "$target/$name.rc"
  # The settings file's own path differs from run to run.
  sed -i "s|$work|WORK|g" "$target/$name.err" "$target/$name.out"
}

run index
for edition in 2003 current; do
  for format in tsv csv json; do
    e=(--edition "$edition" --format "$format")
    run postcode 0600001 "${e[@]}"
    run postcode 060-0001 "${e[@]}" --business
    run postcode " 100 - 0005 " "${e[@]}" --no-hyphen
    run postcode 100 --match prefix "${e[@]}" --business
    run postcode 9300 --match contains "${e[@]}"
    run postcode 199-01 "${e[@]}"
    run postcode ０６０ーＯ "${e[@]}"
    run address 霞が関 "${e[@]}" --business
    run address ｶｽﾐｶﾞｾｷ "${e[@]}"
    run address 中央 --match contains "${e[@]}"
    run address "札幌+中央" --match contains "${e[@]}" --hyphen
    run address りくるーと --match contains "${e[@]}" --business
    run address "（" --match contains "${e[@]}"
    run dantai 01101 "${e[@]}" --business
    run dantai １３１０１ "${e[@]}"
    run areacode 0153 "${e[@]}"
    run areacode ０１５３ "${e[@]}"
    run areacode 03 "${e[@]}" --show districts
    run areacode 0267 "${e[@]}" --business
    run areacode 099 "${e[@]}" --show districts
    run cities 東京都 "${e[@]}"
    run cities 北海道 "${e[@]}"
    run city 東京都 千代田区 "${e[@]}" --business
    run city 北海道 札幌市中央区 "${e[@]}"
    run city 沖縄県 那覇市 "${e[@]}" --no-hyphen
  done
done
run --help
run postcode --help
run nosuchcommand
run postcode
run postcode 060 --match fuzzy
run cities 東京
run address " "
run areacode 03 --show nothing
run postcode 0600001 --format xml
run postcode 0600001 --edition 1999
run postcode 0600001 --ken "$work/missing.csv"
run postcode 0600001 --business --jig "$work/missing.csv"
run postcode 0600001 --ken "$data/ken_all.csv" --jig "$data/jigyosyo.csv" --business
run address $'\xff' 
run index --rebuild

if [ "$mode" = compare ]; then
  if diff -r "$out" "$target" > "$work/diff"; then
    echo "identical: $n commands"
  else
    cat "$work/diff" | head -100
    echo "DIFFERENT (see above)"
    exit 1
  fi
else
  echo "recorded $n commands in $out"
fi
