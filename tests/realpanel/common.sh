# SPDX-License-Identifier: GPL-3.0-or-later
# What the real-panel scripts share: a work directory kept for its
# screenshots and logs, cleanup of everything started, polling, a session of
# its own under Xvfb, and the fake market with Vantrell's settings.

# The run's directory: `$1/run` when given (emptied first), else a new
# temporary one; kept afterwards for its screenshots and logs.
setup_work() {
    if [[ -n ${1:-} ]]; then
        work=$1/run
        rm -rf -- "$work"
    else
        work=$(mktemp -d)/run
    fi
    mkdir -p "$work"
    log="$work/run.log"
    : > "$log"
}

# Extra buses the scripts start are as private as the one they run on: no
# service installed on the machine is started on their behalf.
bus_config="$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)/session-bus.conf"

pids=()
cleanup() {
    local pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill "$pid" 2>/dev/null
        for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
    done
}
trap cleanup EXIT
# A timeout ends the script with SIGTERM: clean up then too.
trap "exit 1" TERM INT

fail() {
    echo "FAIL: $*"
    echo "--- vantrell log (last lines) ---"
    tail -n 40 "$work/vantrell.log" 2>/dev/null
    echo "--- output in $work ---"
    exit 1
}

# Polls `condition` (a command) every 0.2 s for at most `seconds` of wall
# time, however long each try takes (a screenshot of a busy desktop can take
# a second).
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS < deadline)); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" > /dev/null || fail "$tool is missing: run scripts/install-deps"
    done
    [[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] || fail "no session bus: run under dbus-run-session"
}

# Everything of the session in the work directory, on an Xvfb of its own
# (`1024x768` unless given).
start_session() {
    export HOME="$work/home"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset VANTRELL_TRAY_FORM QT_QPA_PLATFORM
    # Xvfb picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3> "$work/display" >> "$log" 2>&1 &
    pids+=($!)
    wait_for 10 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start"
    export DISPLAY=:$(head -n 1 "$work/display")
    xdpyinfo > /dev/null 2>&1 || fail "no X display at $DISPLAY"
}

has_watcher() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2> /dev/null | grep -q true
}

# The fake market, and Vantrell's settings: bitcoin shown, coloured by its
# change, on a background when $1 is true.
start_market() {
    "$fake_market" --quiet > "$work/market.out" 2> "$work/market.log" &
    pids+=($!)
    wait_for 10 grep -q '^VANTRELL_HOST_MAP=' "$work/market.out" || fail "the fake market did not start"
    local host_map
    host_map=$(grep -m1 '^VANTRELL_HOST_MAP=' "$work/market.out")
    export VANTRELL_HOST_MAP=${host_map#VANTRELL_HOST_MAP=}
    mkdir -p "$XDG_CONFIG_HOME/vantrell"
    cat > "$XDG_CONFIG_HOME/vantrell/appSettings.json" <<JSON
{
  "displayedCoinId": "bitcoin",
  "showMenuBarBackground": ${1:-true},
  "priceColorEnabled": true,
  "addedCoins": [
    {"coinId": "bitcoin", "alertKind": "notSet", "notificationThreshold": 0},
    {"coinId": "ethereum", "alertKind": "notSet", "notificationThreshold": 0}
  ]
}
JSON
}

# Vantrell on the bus `$1` (the session's unless given); sets vantrell_pid.
start_vantrell() {
    DBUS_SESSION_BUS_ADDRESS=${1:-$DBUS_SESSION_BUS_ADDRESS} QT_QPA_PLATFORM=xcb \
        QT_LOGGING_RULES='*.App.debug=true' ASAN_OPTIONS=detect_leaks=0 \
        "$vantrell" > "$work/vantrell.out" 2> "$work/vantrell.log" &
    vantrell_pid=$!
    pids+=($vantrell_pid)
}

# The item's bus name as the watcher lists it, and one of its properties.
item_name() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems \
        | grep -o "org.kde.StatusNotifierItem-[0-9]*-[0-9]*" | head -n 1
}
item_property() {
    gdbus call --session --dest "$item" --object-path /StatusNotifierItem \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1" 2> /dev/null
}

# The program's visible windows taller than `panel_height` (an XEmbed tray
# icon is one of its windows too).
visible_windows() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$vantrell_pid" 2> /dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        ((HEIGHT > panel_height)) && echo "$window"
    done
    return 0
}
has_visible_window() { visible_windows | grep -q .; }

# The CPU time, in nanoseconds, the threads of the processes `$@` have had
# so far (threads that ended no longer count: take spans over which the
# processes keep theirs).
cpu_ns() {
    local pid run sum=0 stat
    for pid in "$@"; do
        for stat in /proc/"$pid"/task/*/schedstat; do
            read -r run _ < "$stat" 2> /dev/null && sum=$((sum + run))
        done
    done
    echo "$sum"
}

# Prints the CPU time each of the processes `$@` ("name=pid") spends per
# replacement of the snapshot file `$1`: `$2` replacements a second apart
# with new panel texts, then as many that change no text (as most polls do),
# each less the mean of as long a span without any before and after. A
# figure to read, not a check.
cpu_per_snapshot_update() {
    local file=$1 count=$2
    shift 2
    local entry name pid i
    local -A t0 t1 t2 t3 t4
    # Past the desktop's own start-up work first.
    sleep 5
    for entry in "$@"; do t0[${entry%%=*}]=$(cpu_ns "${entry#*=}"); done
    sleep "$count"
    for entry in "$@"; do t1[${entry%%=*}]=$(cpu_ns "${entry#*=}"); done
    for ((i = 0; i < count; i++)); do
        sed "s/\"text\":\"\([A-Z]*\) [0-9,.]*\"/\"text\":\"\1 $((60000 + i * 7))\"/g" "$file" > "$file.bench" \
            && mv "$file.bench" "$file"
        sleep 1
    done
    for entry in "$@"; do t2[${entry%%=*}]=$(cpu_ns "${entry#*=}"); done
    for ((i = 0; i < count; i++)); do
        cp "$file" "$file.bench" && mv "$file.bench" "$file"
        sleep 1
    done
    for entry in "$@"; do t3[${entry%%=*}]=$(cpu_ns "${entry#*=}"); done
    sleep "$count"
    for entry in "$@"; do t4[${entry%%=*}]=$(cpu_ns "${entry#*=}"); done
    for entry in "$@"; do
        name=${entry%%=*}
        awk -v name="$name" -v n="$count" -v idle=$(((t1[$name] - t0[$name] + t4[$name] - t3[$name]) / 2)) \
            -v new=$((t2[$name] - t1[$name])) -v same=$((t3[$name] - t2[$name])) \
            'BEGIN { printf "%s: %.2f ms per update with new text, %.2f ms with the same text (%d updates each; %.1f ms in as long without)\n", name, (new - idle) / 1e6 / n, (same - idle) / 1e6 / n, n, idle / 1e6 }'
    done
}

# XFCE's panel configuration, written before xfconfd starts: one panel 30
# pixels high along the top with space, the plug-in named by $1 ("systray",
# "genmon", …) and the clock.
write_xfce_panel() {
    local panel_xml="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml"
    mkdir -p "$(dirname "$panel_xml")"
    cat > "$panel_xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
        <value type="int" value="3"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="$1"/>
    <property name="plugin-3" type="string" value="clock"/>
  </property>
</channel>
XML
}

# GNOME Shell starts in the overview, whose grey frames the desktop's
# thumbnail; Escape leaves it for the desktop (the property that should say so
# is not reliable while the shell starts). Waits at most $1 seconds.
in_overview() {
    import -window root "$work/start.png" 2>> "$log" || return 0
    local pixel
    pixel=$(convert "$work/start.png" -format '%[fx:int(255*max(max(p{20,400}.r,p{20,400}.g),p{20,400}.b))]' info:)
    ((pixel < 60))
}
left_overview() {
    in_overview || return 0
    xdotool key Escape
    sleep 0.5
    return 1
}
leave_gnome_overview() {
    wait_for "$1" left_overview || fail "GNOME Shell did not leave the overview"
}
