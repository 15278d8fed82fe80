#!/usr/bin/env bash
# tovra-serve under load on loopback, beside the HTTP library's empty handler (the floor) in
# the same run: ROUNDS rounds, each a fixed-length wrk run per target, the targets' order
# drawn afresh each round; medians of requests per second and of the 50/90/99% latencies.
#   bench/serve/wrk_bench.sh [BUILD_DIR] [ROUNDS] [SECONDS] [CONNECTIONS]
# Traffic goes to 127.0.0.1 only; every run is bounded by -d and by timeout(1).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
rounds=${2:-3}
secs=${3:-10}
conns=${4:-64}
command -v wrk >/dev/null || { echo "wrk is not installed (scripts/install-deps.sh)" >&2; exit 1; }
serve=$build/dist/tovra-serve
floor=$build/bench/serve_empty_server
data=$build/dist/data
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a server whose stderr announces its port.
start() {
  local log=$1; shift
  "$@" >/dev/null 2>"$log" &
  pids+=($!)
}
# The port a started server announced.
port_of() {
  for _ in $(seq 300); do
    if grep -q 'listening on' "$1"; then
      sed -n 's/.*listening on http:\/\/127.0.0.1:\([0-9]*\)\/.*/\1/p' "$1" | head -1
      return
    fi
    sleep 0.1
  done
  echo "server did not start" >&2; cat "$1" >&2; exit 1
}

start "$work/floor.log" "$floor"
start "$work/serve.log" "$serve" --listen 127.0.0.1:0 --check-interval 0 \
  --ini "$work/tovra.ini" --ken "$data/ken_all.csv" --jig "$data/jigyosyo.csv"
floor_port=$(port_of "$work/floor.log")
serve_port=$(port_of "$work/serve.log")

# Twenty thousand postal codes of the file, asked for in turn: mostly answers not yet kept.
awk -F, 'NR % 6 == 0 && n++ < 20000 { gsub(/"/, "", $3); print $3 }' "$data/ken_all.csv" >"$work/codes"
{
  echo 'codes = {'
  sed 's/.*/"&",/' "$work/codes"
  echo '}'
  echo 'n = 0'
  echo 'request = function() n = n + 1; return wrk.format("GET", "/api/postcode?code=" .. codes[n % #codes + 1]) end'
} >"$work/codes.lua"

declare -A target_url target_script
target_url[floor]="http://127.0.0.1:$floor_port/"
target_url[postcode]="http://127.0.0.1:$serve_port/api/postcode?code=060-0001"
target_url[postcodes]="http://127.0.0.1:$serve_port/"
target_script[postcodes]="$work/codes.lua"
target_url[compat]="http://127.0.0.1:$serve_port/api/search?zipcode=0600001"
target_url[address]="http://127.0.0.1:$serve_port/api/address?q=%E5%B7%9D%E5%B4%8E&match=contains"
targets=(floor postcode postcodes compat address)

# wrk's latency in milliseconds.
ms() {
  awk '{ v = $1; if (v ~ /us$/) { sub(/us/, "", v); v /= 1000 } else if (v ~ /ms$/) { sub(/ms/, "", v) }
         else if (v ~ /s$/) { sub(/s/, "", v); v *= 1000 }; printf "%.3f\n", v }'
}

for round in $(seq "$rounds"); do
  for t in $(printf '%s\n' "${targets[@]}" | shuf); do
    args=(-t2 -c"$conns" -d"${secs}s" --latency --timeout 5s)
    [ -n "${target_script[$t]:-}" ] && args+=(-s "${target_script[$t]}")
    out=$(timeout $((secs + 30)) wrk "${args[@]}" "${target_url[$t]}")
    rps=$(sed -n 's/^Requests\/sec: *\([0-9.]*\).*/\1/p' <<<"$out")
    p50=$(awk '$1 == "50%" { print $2 }' <<<"$out" | ms)
    p90=$(awk '$1 == "90%" { print $2 }' <<<"$out" | ms)
    p99=$(awk '$1 == "99%" { print $2 }' <<<"$out" | ms)
    errors=$(sed -n 's/^ *Non-2xx or 3xx responses: *\([0-9]*\).*/\1/p; s/^ *Socket errors: \(.*\)/\1/p' <<<"$out" | tr '\n' ' ')
    echo "$round $t $rps $p50 $p90 $p99 ${errors:-}" >>"$work/results"
    echo "round $round $t: $rps req/s, p50 $p50 ms, p90 $p90 ms, p99 $p99 ms ${errors:+(errors: $errors)}" >&2
  done
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
floor_rps=$(awk '$2 == "floor" { print $3 }' "$work/results" | median)
printf '\n%-10s %12s %8s %9s %9s %9s\n' target 'req/s' 'floor' 'p50 ms' 'p90 ms' 'p99 ms'
for t in "${targets[@]}"; do
  rps=$(awk -v t="$t" '$2 == t { print $3 }' "$work/results" | median)
  p50=$(awk -v t="$t" '$2 == t { print $4 }' "$work/results" | median)
  p90=$(awk -v t="$t" '$2 == t { print $5 }' "$work/results" | median)
  p99=$(awk -v t="$t" '$2 == t { print $6 }' "$work/results" | median)
  printf '%-10s %12.0f %7.0f%% %9.2f %9.2f %9.2f\n' "$t" "$rps" "$(echo "100 * $rps / $floor_rps" | bc -l)" "$p50" "$p90" "$p99"
done
echo "($rounds rounds of ${secs} s at $conns connections, wrk -t2, medians; $(nproc) cores)"
