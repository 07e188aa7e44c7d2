#!/usr/bin/env bash
# zimbelplot-serve under wrk on this machine's cores, each figure beside its
# peer in the same run: (a) distinct pictures a second (a new link each
# request, cache off) against the exporter drawing the same pictures as a
# batch on the same cores; (b) one picture asked again and again against
# nginx serving its bytes as a static file; (c) p50 and p99 latency at 64
# connections; (d) the server's peak memory while 64 clients ask for the
# largest picture its limit allows; (e) each such picture's time to first
# byte, asked for as an image proxy would.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/serve/serve-lib.sh
seconds=${SERVE_BENCH_SECONDS:-4}

# wrk at 64 connections for $seconds; leaves its report in $work/wrk.out.
load() {  # URL [LUA]
  wrk -t2 -c64 -d"${seconds}s" --timeout 30s --latency ${2:+-s "$2"} "$1" >"$work/wrk.out" 2>&1
}
rate() { awk '/^Requests\/sec:/ { print $2 }' "$work/wrk.out"; }
percentile() { awk -v p="$1%" '$1 == p { print $2 }' "$work/wrk.out"; }
failed() { awk '/Non-2xx/ { n += $NF } /Socket errors/ { n += 1 } END { print n + 0 }' "$work/wrk.out"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# N data files of VALUES values each, all different, in $work/NAME/.
dataFiles() {  # NAME N VALUES
  mkdir -p "$work/$1"
  awk -v n="$2" -v values="$3" -v dir="$work/$1" 'BEGIN {
    for (f = 1; f <= n; f++) {
      file = dir "/" f ".txt"
      for (i = 0; i < values; i++) printf "%.4f\n", 50 * sin((i + f) / 9) + 20 * sin(i / 2.3) + f / 1000 >file
      close(file)
    }
  }'
}

# A wrk script walking through the links of a file, one a request.
walker() {  # LINKS SCRIPT
  cat >"$2" <<LUA
local links, n = {}, 0
for line in io.lines("$1") do links[#links + 1] = line end
request = function()
  n = n + 1
  return wrk.format("GET", "/" .. links[(n - 1) % #links + 1] .. ".png")
end
LUA
}

echo "zimbelplot-serve benchmark on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) before the run"
printf "%-44s %12s %12s %8s %9s %9s\n" "" "per second" "peer" "ratio" "p50" "p99"

startServer distinct --cache-size 0
for values in 64 512; do
  count=$((values == 64 ? 3000 : 400))
  dataFiles "v$values" "$count" "$values"
  "$exporter" --format link "$work/v$values"/*.txt >"$work/v$values.links"
  mkdir -p "$work/out$values"
  start=$(date +%s%N)
  "$exporter" "$work/v$values"/*.txt -o "$work/out$values/"
  exporterRate=$(awk -v n="$count" -v ns=$(($(date +%s%N) - start)) 'BEGIN { printf "%.1f", n / (ns / 1e9) }')
  walker "$work/v$values.links" "$work/walk$values.lua"
  load "$url_distinct" "$work/walk$values.lua"
  [ "$(failed)" = 0 ] || echo "  ($(failed) failed requests)"
  printf "%-44s %12s %12s %8s %9s %9s\n" "(a) distinct pictures, $values values" "$(rate)" "$exporterRate" \
    "$(ratio "$(rate)" "$exporterRate")" "$(percentile 50)" "$(percentile 99)"
done
echo "    peer: zimbelplot-export drawing the same pictures as one batch on every core (aim: 1.0 or more)"

startServer repeated
link=$(head -1 "$work/v64.links")
mkdir -p "$work/static/logs"
curl -s -o "$work/static/picture.png" "$url_repeated$link.png"
port=$(freePort)
cat >"$work/static/nginx.conf" <<CONF
daemon off;
worker_processes auto;
pid $work/static/nginx.pid;
events { worker_connections 1024; }
http {
  access_log off;
  types { image/png png; }
  client_body_temp_path $work/static/body;
  proxy_temp_path $work/static/proxy;
  fastcgi_temp_path $work/static/fastcgi;
  uwsgi_temp_path $work/static/uwsgi;
  scgi_temp_path $work/static/scgi;
  server { listen 127.0.0.1:$port; root $work/static; }
}
CONF
nginx -p "$work/static" -c "$work/static/nginx.conf" -e "$work/static/logs/error.log" &
started+=("$!")
waitFor "curl -sf -o /dev/null http://127.0.0.1:$port/picture.png" 100 || fail "nginx did not start"
load "http://127.0.0.1:$port/picture.png"
nginxRate=$(rate)
nginxLatency="$(percentile 50) $(percentile 99)"
load "$url_repeated$link.png"
printf "%-44s %12s %12s %8s %9s %9s\n" "(b) one picture again and again" "$(rate)" "$nginxRate" \
  "$(ratio "$(rate)" "$nginxRate")" "$(percentile 50)" "$(percentile 99)"
printf "%-44s %12s %12s %8s %9s %9s\n" "    nginx, the same bytes as a static file" "$nginxRate" "" "" $nginxLatency
echo "    peer: nginx with a worker a core (aim: 1.0 or more)"

startServer largest --cache-size 0
dataFiles largest 200 64
"$exporter" --format link --width 4096 --height 4096 "$work/largest"/*.txt >"$work/largest.links"
walker "$work/largest.links" "$work/largest.lua"
idle=$(awk '/VmRSS/ { print $2 }' "/proc/$pid_largest/status")
load "$url_largest" "$work/largest.lua"
peak=$(awk '/VmHWM/ { print $2 }' "/proc/$pid_largest/status")
printf "(d) 64 clients asking for 4096 x 4096 pictures: %s per second, p99 %s, %s refused with 503\n" \
  "$(rate)" "$(percentile 99)" "$(awk '/Non-2xx/ { print $NF }' "$work/wrk.out" | grep . || echo 0)"
echo "    the server's memory: $((idle / 1024)) MiB idle, $((peak / 1024)) MiB at its peak"
# As an image proxy asks: all of those at once, 64 at a time, each timed to
# its first byte; a proxy gives up after about 4 s.
awk -v url="$url_largest" '{ printf "url = \"%s%s.png\"\noutput = \"/dev/null\"\n", url, $0 }' \
  "$work/largest.links" >"$work/proxy.cfg"
curl -s --parallel --parallel-max 64 --max-time 30 -K "$work/proxy.cfg" \
  -w '%{http_code} %{time_starttransfer}\n' >"$work/proxy.out" 2>/dev/null
awk '{ n[$1]++; if ($2 > slowest[$1]) slowest[$1] = $2 }
  END { printf "(e) %d of them at once, 64 at a time: %d drawn, the slowest first byte after %.2f s; %d refused with 503 within %.2f s\n",
    NR, n[200], slowest[200], n[503], slowest[503] }' "$work/proxy.out"
