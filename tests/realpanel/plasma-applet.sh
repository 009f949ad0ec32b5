#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The Plasma applet in a real Plasma 5 panel: plasmashell with kded5 (its
# StatusNotifierWatcher) and openbox on Xvfb, QtQuick drawn in software, on
# the private session bus this script runs on (start it under
# dbus-run-session), with a private system bus. Vantrell runs against the fake
# market. Checks that the applet added to the default panel shows the price
# as text in the colour the snapshot names for the panel's lightness and of a
# text's height, that it holds the panel front ends' bus name and the program
# withdrew its tray item meanwhile, that hovering shows its tooltip and that a
# click opens the price list.
#
# Usage: plasma-applet.sh APPLET_DIR VANTRELL WIDGET_HOST FAKE_MARKET [OUTPUT_DIR]
# Needs plasma-workspace, plasma-desktop, kded5, openbox, xvfb, imagemagick,
# xdotool and x11-utils (scripts/install-deps).
set -uo pipefail

applet_dir=$1
vantrell=$2
widget_host=$3
fake_market=$4
source "$(dirname "$0")/common.sh"
setup_work "${5:-}"

require_tools plasmashell kded5 openbox Xvfb import convert xdotool xdpyinfo gdbus dbus-daemon
applet=org.vantrell.ticker
[[ -f $applet_dir/metadata.json ]] || fail "no applet in $applet_dir"
start_session 1024x768

# The applet where Plasma looks for a user's applets, and the programs where
# its commands find them, as an installation has them.
mkdir -p "$XDG_DATA_HOME/plasma/plasmoids" "$work/bin"
cp -r "$applet_dir" "$XDG_DATA_HOME/plasma/plasmoids/$applet"
ln -s "$(realpath "$vantrell")" "$work/bin/vantrell"
ln -s "$(realpath "$widget_host")" "$work/bin/vantrell-widget-host"
export PATH="$work/bin:$PATH"

dbus-daemon --session --nofork --print-address=3 3> "$work/system-bus" >> "$log" 2>&1 &
pids+=($!)
wait_for 10 grep -q . "$work/system-bus" || fail "the private system bus did not start"
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/system-bus")
export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 QT_QUICK_BACKEND=software
unset QT_QPA_PLATFORM
# Plasma starts helpers (kactivitymanagerd, kglobalaccel) through the bus: they
# need this session's display and directories, not those the bus started with.
activation_env=""
for name in DISPLAY HOME PATH XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_RUNTIME_DIR DBUS_SYSTEM_BUS_ADDRESS \
    XDG_CURRENT_DESKTOP KDE_FULL_SESSION KDE_SESSION_VERSION QT_QUICK_BACKEND; do
    activation_env+="${activation_env:+, }'$name': '${!name}'"
done
gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.UpdateActivationEnvironment "{$activation_env}" >> "$log" 2>&1 \
    || fail "cannot hand the session's environment to the bus"

start_market false
start_vantrell
snapshot="$XDG_CACHE_HOME/vantrell/widget-snapshot.json"
wait_for 60 grep -q '"panel"' "$snapshot" || fail "the program wrote no snapshot with panel texts"

openbox >> "$log" 2>&1 &
pids+=($!)
kded5 >> "$work/kded.log" 2>&1 &
pids+=($!)
plasmashell --no-respawn >> "$work/plasma.log" 2>&1 &
pids+=($!)
wait_for 60 has_watcher || fail "no StatusNotifierWatcher from kded5"
shell_ready() {
    gdbus call --session --dest org.kde.plasmashell --object-path /PlasmaShell \
        --method org.kde.PlasmaShell.evaluateScript 'print(panels().length)' 2> /dev/null | grep -q "'[1-9]"
}
wait_for 90 shell_ready || fail "plasmashell has no panel (see $work/plasma.log)"
echo "plasmashell up"

# The program's tray item is in the panel before the applet comes.
wait_for 30 grep -q 'Status item shown by' "$work/vantrell.log" || fail "the tray item did not register"

gdbus call --session --dest org.kde.plasmashell --object-path /PlasmaShell \
    --method org.kde.PlasmaShell.evaluateScript \
    "var p = panels()[0]; var w = p.addWidget('$applet'); print(w ? w.type : 'none');" >> "$log" 2>&1
front_end_shown() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.vantrell.PanelFrontEnd 2> /dev/null | grep -q true
}
wait_for 60 front_end_shown || fail "the applet did not take org.vantrell.PanelFrontEnd (see $work/plasma.log)"
echo "applet shown"
wait_for 20 grep -q 'withdrawing the status item' "$work/vantrell.log" || fail "the program kept its tray item"
item_listed() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems \
        | grep -q "org.kde.StatusNotifierItem-$vantrell_pid-"
}
item_gone() { ! item_listed; }
wait_for 20 item_gone || fail "the watcher still lists the program's tray item"
echo "tray item withdrawn"

# The panel along the bottom; its lightness picks the snapshot's colour.
screen_h=768
panel_h=44
panel_colour() {
    import -window root "$work/screen.png" 2>> "$log" || return 1
    local lightness key
    lightness=$(convert "$work/screen.png" -crop "4x4+2+$((screen_h - panel_h / 2))" +repage -colorspace HSL \
        -format '%[fx:int(100*mean.b)]' info:)
    if ((lightness < 50)); then key=colorOnDark; else key=colorOnLight; fi
    grep -o "\"$key\":\"#[0-9A-F]*\"" "$snapshot" | head -n 1 | grep -o '#[0-9A-F]*'
}
find_label() {
    colour=$(panel_colour)
    [[ -n $colour ]] || return 1
    # A script's new widget goes to the panel's start, left of the launcher
    # (the task manager further right shows icons of any colour).
    geometry=$(convert "$work/screen.png" -crop "300x${panel_h}+0+$((screen_h - panel_h))" +repage -fuzz 12% \
        -fill black +opaque "$colour" -fill white -opaque "$colour" -format '%@' info: 2>> "$log")
    [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    label_w=${BASH_REMATCH[1]} label_h=${BASH_REMATCH[2]} label_x=${BASH_REMATCH[3]} label_y=${BASH_REMATCH[4]}
    ((label_w >= 50 && label_w <= 250 && label_h >= 8 && label_h <= panel_h))
}
wait_for 60 find_label || fail "no price text in ${colour:-?} in the panel (found: ${geometry:-nothing})"
cp "$work/screen.png" "$work/panel.png"
echo "price text at ${label_w}x${label_h}+${label_x}+$((screen_h - panel_h + label_y)) in $colour"

# What each replacement of the program's file costs the shell and the widget
# host, which keeps the applet's view (the host here is the test build).
[[ -s $XDG_CACHE_HOME/vantrell/panel/shown.ini ]] || fail "the widget host keeps no view for the applet"
# The program is held still meanwhile: its own polls would replace the file
# in the spans without replacements too.
kill -STOP "$vantrell_pid"
cpu_per_snapshot_update "$snapshot" 15 plasmashell="$(pgrep -n -x plasmashell)" \
    vantrell-widget-host="$(pgrep -n -f -- '--panel-presence --view ini')"
kill -CONT "$vantrell_pid"
# While the program's prices are fresh, the applet's helper fetches none of its own.
[[ ! -e $XDG_CACHE_HOME/vantrell/panel-snapshot.json ]] || fail "the widget host fetched prices while the program runs"

# Hovering the text shows the applet's tooltip (drawn in place, the applet
# brings its own tooltip area): the desktop just above the text changes.
xdotool mousemove $((label_x + label_w / 2)) $((screen_h - panel_h + label_y + label_h / 2))
tooltip_shown() {
    import -window root "$work/tooltip.png" 2>> "$log" || return 1
    local changed
    changed=$(convert "$work/panel.png" "$work/tooltip.png" -crop "300x100+0+$((screen_h - panel_h - 100))" +repage \
        -compose difference -composite -colorspace gray -threshold 10% -format '%[fx:int(mean*w*h)]' info: 2>> "$log")
    ((changed > 1000))
}
wait_for 10 tooltip_shown || fail "no tooltip over the applet's text"
echo "tooltip shown"

# A click on the text opens the price list.
popover_count() { grep -c 'Popover shown' "$work/vantrell.log"; }
before=$(popover_count)
xdotool mousemove $((label_x + label_w / 2)) $((screen_h - panel_h + label_y + label_h / 2)) click 1
opened() { (($(popover_count) > before)); }
wait_for 20 opened || fail "a click on the applet did not open the price list"
sleep 1
import -window root "$work/popover.png" 2>> "$log"

# Without the applet the tray item comes back.
gdbus call --session --dest org.kde.plasmashell --object-path /PlasmaShell \
    --method org.kde.PlasmaShell.evaluateScript \
    "var ws = panels()[0].widgets('$applet'); for (var i = 0; i < ws.length; ++i) ws[i].remove();" >> "$log" 2>&1
front_end_gone() { ! front_end_shown; }
wait_for 30 front_end_gone || fail "the applet's helper kept org.vantrell.PanelFrontEnd after the applet went"
wait_for 20 item_listed || fail "the tray item did not come back after the applet went"
echo "tray item back"
# The applet's files gave the shell's log nothing to say.
! grep "$applet" "$work/plasma.log" || fail "the shell logged the lines above about the applet"
echo "PASS"
