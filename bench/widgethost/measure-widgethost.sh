#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Figures of the widget host, from an optimised build (the bench preset):
#   - ms of `vantrell-widget-host --render` of a large watchlist widget (8 coins
#     with their 24-hour lines) from a fresh snapshot, the whole process (median of RUNS starts); aim 80 ms
#   - PSS of a host showing three widgets after SETTLE seconds; aim 30 MiB
#   - CPU time the idle host used during the settle time (aim: none beyond
#     the timers due; the snapshot is fresh, so no fetch happens)
# The host runs under its own Xvfb on a private bus, with every market host
# mapped to a closed port, so nothing reaches the network.
#
# Usage: [RUNS=15] [SETTLE=600] [BUILD=build/bench] bench/widgethost/measure-widgethost.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${RUNS:-15}
settle=${SETTLE:-600}
build=$(realpath "${BUILD:-$root/build/bench}")
host="$build/src/widgethost/vantrell-widget-host"

# The measurements run on a private session bus of their own.
if [[ -z "${VANTRELL_BENCH_ON_PRIVATE_BUS:-}" ]]; then
    if [[ ! -x "$host" ]]; then
        (cd "$root" && cmake --preset bench >/dev/null && cmake --build --preset bench --target vantrell-widget-host vantrell-widgets)
    fi
    VANTRELL_BENCH_ON_PRIVATE_BUS=1 RUNS=$runs SETTLE=$settle BUILD=$build exec dbus-run-session -- "$0"
fi

home=$(mktemp -d)
cleanup() {
    [[ -n "${host_pid:-}" ]] && kill "$host_pid" 2>/dev/null || true
    [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_STATE_HOME="$home/state"
closed=http://127.0.0.1:9
map=()
for h in api.binance.com data-api.binance.vision www.okx.com api.bybit.com cdn.jsdelivr.net \
    latest.currency-api.pages.dev open.er-api.com; do
    map+=("$h=$closed")
done
VANTRELL_HOST_MAP=$(IFS=,; echo "${map[*]}")
export VANTRELL_HOST_MAP
mkdir -p "$XDG_CACHE_HOME/vantrell" "$XDG_CONFIG_HOME/vantrell-widget-host"

# A quote with its last 24 hours (97 values, the last one its price), so that
# the large widget draws its lines.
quote() {
    awk -v price="$1" -v change="$2" 'BEGIN {
        printf "{\"price\":%s,\"change24hPercent\":%s,\"history24h\":[", price, change
        for (i = 0; i < 97; ++i) {
            v = (i == 96) ? price : price * (1 - change / 100 * (96 - i) / 96 + 0.01 * sin(i / 5))
            printf "%s%.6g", (i ? "," : ""), v
        }
        printf "]}"
    }'
}

write_snapshot() {
    local now
    now=$(date -u +%Y-%m-%dT%H:%M:%SZ)
    cat > "$XDG_CACHE_HOME/vantrell/widget-snapshot.json" <<JSON
{"writtenAt":"$now","language":"en","currency":"USD","colorByChange":true,"upColorHex":"#2CBD84","downColorHex":"#F6465D","displayedCoinId":"bitcoin",
"watchlist":["bitcoin","ethereum","solana","binancecoin","ripple","dogecoin","cardano","tron"],
"quotes":{"bitcoin":$(quote 80585 2.31),"ethereum":$(quote 3142.18 -1.27),
"solana":$(quote 152.4 4.86),"binancecoin":$(quote 598.2 0.42),
"ripple":$(quote 0.5821 -3.05),"dogecoin":$(quote 0.1284 6.12),
"cardano":$(quote 0.4412 -0.88),"tron":$(quote 0.1573 1.04)}}
JSON
}
write_snapshot

times=()
for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    QT_QPA_PLATFORM=offscreen "$host" --render WatchlistWidget --family large --output "$home/large.png" 2>/dev/null
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "render large watchlist, whole process: median ${median} ms over $runs runs (aim <= 80 ms)"

# Xvfb picks a free display and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$home/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do [[ -s "$home/display" ]] && break; sleep 0.05; done
display=":$(cat "$home/display")"
cat > "$XDG_CONFIG_HOME/vantrell-widget-host/widgets.json" <<JSON
{"version":1,"widgets":[
{"id":"a","kind":"WatchlistWidget","family":"large","options":{},"x":20,"y":20,"screen":""},
{"id":"b","kind":"WatchlistWidget","family":"medium","options":{},"x":400,"y":20,"screen":""},
{"id":"c","kind":"CoinPriceWidget","family":"small","options":{},"x":800,"y":20,"screen":""}]}
JSON
DISPLAY="$display" "$host" 2>/dev/null &
host_pid=$!
sleep 3
ticks() { awk '{print $14 + $15}' "/proc/$host_pid/stat"; }
before=$(ticks)
sleep "$settle"
after=$(ticks)
pss=$(awk '/^Pss:/ {print $2}' "/proc/$host_pid/smaps_rollup")
hz=$(getconf CLK_TCK)
echo "host with three widgets after ${settle} s: PSS $(( pss / 1024 )) MiB (aim <= 30 MiB)"
echo "host CPU while idle: $(( (after - before) * 1000 / hz )) ms in ${settle} s"
