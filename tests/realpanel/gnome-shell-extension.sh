#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The GNOME Shell extension in a real top bar, without the AppIndicator
# extension (stock GNOME has no tray): GNOME Shell as an X11 compositor on
# Xvfb, on the private session bus this script runs on (start it under
# dbus-run-session), with a private system bus. Vantrell runs against the fake
# market. Checks that the extension holds the panel front ends' bus name, that
# the top bar shows the price as text in the colour the snapshot names for a
# dark panel and of a text's height (first from the widget host's own prices,
# before the program runs, then from the program's), and that a click opens
# the price list.
#
# Usage: gnome-shell-extension.sh EXTENSION_DIR VANTRELL WIDGET_HOST FAKE_MARKET [OUTPUT_DIR]
# Needs gnome-shell, xvfb, imagemagick, xdotool and x11-utils (scripts/install-deps).
set -uo pipefail

extension_dir=$1
vantrell=$2
widget_host=$3
fake_market=$4
source "$(dirname "$0")/common.sh"
setup_work "${5:-}"

require_tools gnome-shell Xvfb import convert xdotool xdpyinfo gdbus dbus-daemon
uuid=vantrell@vantrell.org
[[ -f $extension_dir/metadata.json ]] || fail "no extension in $extension_dir"
start_session 1280x800

# The extension as a user installs it, and on: nothing else, no tray.
mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
ln -s "$(cd "$extension_dir" && pwd)" "$XDG_DATA_HOME/gnome-shell/extensions/$uuid"
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
cat > "$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<KEYS
[org/gnome/shell]
enabled-extensions=['$uuid']
disable-user-extensions=false
welcome-dialog-last-shown-version='999'
KEYS
export GSETTINGS_BACKEND=keyfile

# The widget host where the extension starts it, as an installation has it.
mkdir -p "$work/bin"
ln -s "$(realpath "$widget_host")" "$work/bin/vantrell-widget-host"
export PATH="$work/bin:$PATH"

# The market, but not yet the program: the label shows the host's own prices.
start_market false
snapshot="$XDG_CACHE_HOME/vantrell/panel-snapshot.json"

dbus-daemon --session --nofork --print-address=3 3> "$work/system-bus" >> "$log" 2>&1 &
pids+=($!)
wait_for 10 grep -q . "$work/system-bus" || fail "the private system bus did not start"
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/system-bus")
XDG_SESSION_TYPE=x11 XDG_CURRENT_DESKTOP=GNOME gnome-shell --x11 --replace >> "$work/shell.log" 2>&1 &
pids+=($!)
front_end_shown() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.vantrell.PanelFrontEnd 2> /dev/null | grep -q true
}
wait_for 90 front_end_shown || fail "the extension did not take org.vantrell.PanelFrontEnd (see $work/shell.log)"
echo "extension enabled"
leave_gnome_overview 30

# The colour the program chose for the shown coin on a dark panel.
panel_colour() {
    grep -o '"colorOnDark":"#[0-9A-F]*"' "$snapshot" | head -n 1 | grep -o '#[0-9A-F]*'
}

# The label: pixels of that colour in the top bar, as tall as text.
bar_height=32
find_label() {
    colour=$(panel_colour)
    [[ -n $colour ]] || return 1
    import -window root "$work/screen.png" 2>> "$log" || return 1
    geometry=$(convert "$work/screen.png" -crop "1280x${bar_height}+0+0" +repage -fuzz 12% \
        -fill black +opaque "$colour" -fill white -opaque "$colour" -format '%@' info: 2>> "$log")
    [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    label_w=${BASH_REMATCH[1]} label_h=${BASH_REMATCH[2]} label_x=${BASH_REMATCH[3]} label_y=${BASH_REMATCH[4]}
    ((label_w >= 50 && label_h >= 8 && label_h <= bar_height))
}
wait_for 60 grep -q '"panel"' "$snapshot" || fail "the widget host kept no prices for the panel"
echo "host's prices: $(grep -o '"text":"[^"]*"' "$snapshot" | head -n 1), colour on dark $(panel_colour)"
wait_for 30 find_label || fail "no price text in ${colour:-?} from the host's prices (found: ${geometry:-nothing})"
cp "$work/screen.png" "$work/panel-without-program.png"
echo "host's price text at ${label_w}x${label_h}+${label_x}+${label_y} in $colour"

# The program's prices take over once it runs.
start_vantrell
snapshot="$XDG_CACHE_HOME/vantrell/widget-snapshot.json"
wait_for 60 grep -q '"panel"' "$snapshot" || fail "the program wrote no snapshot with panel texts"
wait_for 30 find_label || fail "no price text in ${colour:-?} in the top bar (found: ${geometry:-nothing})"
cp "$work/screen.png" "$work/panel.png"
echo "price text at ${label_w}x${label_h}+${label_x}+${label_y} in $colour"
# The clock's digits, for comparison: the light pixels in the middle of the bar.
clock=$(convert "$work/screen.png" -crop "240x${bar_height}+520+0" +repage -fuzz 20% \
    -fill black +opaque white -fill white -opaque white -format '%@' info: 2>> "$log")
echo "clock text: $clock"

# What each replacement of the program's file costs the shell and the widget
# host, which keeps the label's view (the host here is the test build).
[[ -s $XDG_CACHE_HOME/vantrell/panel/shown.json ]] || fail "the widget host keeps no view for the label"
# The program is held still meanwhile: its own polls would replace the file
# in the spans without replacements too.
kill -STOP "$vantrell_pid"
cpu_per_snapshot_update "$snapshot" 15 gnome-shell="$(pgrep -n -x gnome-shell)" \
    vantrell-widget-host="$(pgrep -n -f -- '--panel-presence --view json')"
kill -CONT "$vantrell_pid"

# Without a tray the extension is the program's presence: no window of its
# own at start; a click on the label opens the price list.
popover_count() { grep -c 'Popover shown' "$work/vantrell.log"; }
(($(popover_count) == 0)) || fail "the program opened its window although the extension shows the price"
xdotool mousemove $((label_x + label_w / 2)) $((label_y + label_h / 2)) click 1
opened() { (($(popover_count) > 0)); }
wait_for 15 opened || fail "a click on the label did not open the price list"
sleep 1
import -window root "$work/popover.png" 2>> "$log"
echo "PASS"
