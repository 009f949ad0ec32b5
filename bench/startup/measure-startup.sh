#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up and memory figures of the release build of vantrell, measured on a
# private session bus against the fake market and a stand-in panel:
#   - ms from exec to RegisterStatusNotifierItem (median of --runs starts)
#   - ms from exec to the first price in the label or tooltip (same runs)
#   - PSS after --settle seconds of polling a 20-coin watchlist every 10 s
# Aims: registered within 200 ms, PSS at most 30 MiB.
#
# Usage: [CHARTS=0] bench/startup/measure-startup.sh [--runs N] [--settle SECONDS] [--build DIR]
# CHARTS=0 turns the 24-hour charts off (and with them the history requests).
# Builds build/release (cmake --preset release) and the probe when missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
runs=7
settle=60
build="$root/build/release"

while [[ $# -gt 0 ]]; do
    case "$1" in
        --runs) runs=$2; shift 2 ;;
        --settle) settle=$2; shift 2 ;;
        --build) build=$(realpath "$2"); shift 2 ;;
        --inside-bus) inside=1; shift ;;
        *) echo "usage: $0 [--runs N] [--settle SECONDS] [--build DIR]" >&2; exit 2 ;;
    esac
done

probe_dir="$root/build/startup-probe"
probe="$probe_dir/vantrell-startup-probe"

if [[ -z "${inside:-}" ]]; then
    if [[ ! -x "$build/src/app/vantrell" || ! -x "$build/src/tools/fakemarket/vantrell-fake-market" ]]; then
        (cd "$root" && cmake --preset release >/dev/null && cmake --build "$build" --target vantrell vantrell-fake-market)
    fi
    if [[ ! -x "$probe" || "$here/startupprobe.cpp" -nt "$probe" ]]; then
        cmake -S "$here" -B "$probe_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$probe_dir" >/dev/null
    fi
    exec dbus-run-session -- "$0" --inside-bus --runs "$runs" --settle "$settle" --build "$build"
fi

vantrell="$build/src/app/vantrell"
work=$(mktemp -d)
market_pid=
cleanup() {
    [[ -n "$market_pid" ]] && kill "$market_pid" 2>/dev/null && wait "$market_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES='*.info=false'
unset VANTRELL_TRAY_FORM

coproc market { exec "$build/src/tools/fakemarket/vantrell-fake-market" --quiet; }
market_pid=$market_PID
read -r -t 30 line <&"${market[0]}"
export "${line?no host map from the fake market}"

# A fresh profile per run: nothing cached from the run before.
fresh_profile() {
    rm -rf "$work/home"
    mkdir -p "$work/home/config/vantrell" "$work/home/cache" "$work/home/runtime"
    chmod 700 "$work/home/runtime"
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache" \
        XDG_RUNTIME_DIR="$work/home/runtime" XDG_DATA_HOME="$work/home/data" XDG_STATE_HOME="$work/home/state"
    python3 - "$XDG_CONFIG_HOME/vantrell/appSettings.json" "${CHARTS:-1}" <<'PY'
import json, sys
coins = ["bitcoin", "ethereum", "binancecoin", "solana", "ripple", "cardano", "dogecoin", "tron", "chainlink",
         "polkadot", "litecoin", "avalanche-2", "shiba-inu", "uniswap", "stellar", "cosmos", "near", "aptos",
         "arbitrum", "filecoin"]
json.dump({"pollingInterval": 10, "displayedCoinId": "bitcoin", "show24hCharts": sys.argv[2] != "0",
           "addedCoins": [{"coinId": c, "alertKind": "change", "notificationThreshold": 2} for c in coins]},
          open(sys.argv[1], "w"))
PY
}

value() { sed -n "s/^$1=//p" <<<"$2"; }
median() { sort -n | awk '{a[NR]=$1} END {if (NR) print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

registered=() priced=()
for ((i = 1; i <= runs; i++)); do
    fresh_profile
    out=$("$probe" --program "$vantrell" --settle 3)
    registered+=("$(value registered_ms "$out")")
    priced+=("$(value first_price_ms "$out")")
    printf 'run %d: registered %s ms, first price %s ms (%s)\n' "$i" "${registered[-1]}" "${priced[-1]}" \
        "$(value first_price_text "$out")"
done

fresh_profile
out=$("$probe" --program "$vantrell" --settle "$settle")
pss=$(value pss_kib "$out")
rss=$(value rss_kib "$out")

echo
echo "vantrell start-up, $runs runs (release build, 20-coin watchlist, polling every 10 s, charts ${CHARTS:-1})"
printf 'registered on the bus:  median %s ms (aim: 200 ms)\n' "$(printf '%s\n' "${registered[@]}" | median)"
printf 'first price shown:      median %s ms\n' "$(printf '%s\n' "${priced[@]}" | median)"
awk -v pss="$pss" -v rss="$rss" -v s="$settle" \
    'BEGIN {printf "PSS after %d s:          %.1f MiB (aim: 30 MiB; RSS %.1f MiB)\n", s, pss/1024, rss/1024}'
