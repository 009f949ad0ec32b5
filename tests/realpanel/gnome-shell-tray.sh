#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The tray item in GNOME Shell with its AppIndicator extension, the shell
# running as an X11 compositor on Xvfb. The script runs on a private session
# bus (start it under dbus-run-session) and gives the shell a private system
# bus too. Vantrell runs against the fake market. Checks that the item is shown
# as a label with the price, that the panel shows the price colour's dot beside
# it, that a double click opens the popover (the extension's rule: a single
# click opens the menu) and a single click the menu.
#
# Usage: gnome-shell-tray.sh VANTRELL FAKE_MARKET [OUTPUT_DIR]
# Needs gnome-shell, gnome-shell-extension-appindicator, xvfb, imagemagick,
# xdotool and x11-utils (scripts/install-deps installs them).
set -uo pipefail

vantrell=$1
fake_market=$2
source "$(dirname "$0")/common.sh"
setup_work "${3:-}"

require_tools gnome-shell Xvfb import convert compare xdotool xdpyinfo gdbus dbus-daemon
extension=ubuntu-appindicators@ubuntu.com
[[ -d /usr/share/gnome-shell/extensions/$extension ]] || fail "the AppIndicator extension is missing: run scripts/install-deps"
start_session 1280x800

# The shell's settings from a key file: the extension on, no welcome tour.
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
cat > "$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<KEYS
[org/gnome/shell]
enabled-extensions=['$extension']
disable-user-extensions=false
welcome-dialog-last-shown-version='999'
KEYS
export GSETTINGS_BACKEND=keyfile
# The shell asks the system bus for logind and more; a private one answers
# "no such service" at once instead of the machine's own bus.
dbus-daemon --config-file="$bus_config" --nofork --print-address=3 3> "$work/system-bus" >> "$log" 2>&1 &
pids+=($!)
wait_for 10 grep -q . "$work/system-bus" || fail "the private system bus did not start"
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/system-bus")
XDG_SESSION_TYPE=x11 XDG_CURRENT_DESKTOP=GNOME gnome-shell --x11 --replace >> "$work/shell.log" 2>&1 &
pids+=($!)
wait_for 60 has_watcher || fail "GNOME Shell's AppIndicator extension did not start a StatusNotifierWatcher"
leave_gnome_overview 20
echo "shell up"

start_market false
start_vantrell

wait_for 30 grep -q 'Status item shown by' "$work/vantrell.log" || fail "the item did not register with the panel"
shown=$(grep -m1 'Status item shown by' "$work/vantrell.log")
echo "$shown"
[[ $shown == *'"gnome-shell"'*'as label'* ]] || fail "GNOME Shell did not get the label form: $shown"
item=$(item_name)
[[ -n $item ]] || fail "the watcher does not list the item"
label() { item_property XAyatanaLabel; }
has_price() { label | grep -q 'BTC [0-9]'; }
wait_for 30 has_price || fail "no price in the label: $(label)"
echo "label: $(label)"

# The dot in the price colour at the left of the label, in the top bar.
panel_height=32
if item_property ToolTip | grep -q -- "-[0-9.]*%"; then colour='#F6465D'; else colour='#2CBD84'; fi
find_dot() {
    import -window root "$work/screen.png" 2>> "$log" || return 1
    geometry=$(convert "$work/screen.png" -crop "1280x${panel_height}+0+0" +repage -fuzz 8% \
        -fill black +opaque "$colour" -fill white -opaque "$colour" -format '%@' info: 2>> "$log")
    [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    dot_w=${BASH_REMATCH[1]} dot_h=${BASH_REMATCH[2]} dot_x=${BASH_REMATCH[3]} dot_y=${BASH_REMATCH[4]}
    ((dot_w >= 4 && dot_w <= 20 && dot_h >= 4 && dot_h <= 20))
}
wait_for 20 find_dot || fail "no dot in the price colour $colour in the top bar (found: ${geometry:-nothing})"
cp "$work/screen.png" "$work/panel.png"
echo "price dot at ${dot_w}x${dot_h}+${dot_x}+${dot_y} in $colour"
# The label's text: light pixels right of the dot, in the bar.
text_pixels=$(convert "$work/screen.png" -crop "120x20+$((dot_x + dot_w + 2))+$((dot_y + dot_h / 2 - 10))" +repage \
    -fuzz 25% -fill black +opaque white -fill white -opaque white -format '%[fx:int(mean*w*h)]' info:)
echo "label text: $text_pixels light pixels"
((text_pixels > 80)) || fail "no legible label beside the dot"

# A double click on the label opens the popover below the bar.
click_x=$((dot_x + 40))
click_y=$((dot_y + dot_h / 2))
xdotool mousemove "$click_x" "$click_y" click --repeat 2 --delay 80 1
wait_for 10 grep -q 'Popover shown' "$work/vantrell.log" || fail "a double click did not open the popover"
wait_for 10 has_visible_window || fail "no visible window of vantrell after the double click"
# The compositor draws the new window a moment later.
sleep 1
import -window root "$work/popover.png" 2>> "$log"
eval "$(xdotool getwindowgeometry --shell "$(visible_windows | head -n 1)")"
echo "popover at ${WIDTH}x${HEIGHT}+${X}+${Y}"
((Y >= panel_height - 4)) || fail "the popover is not below the bar (y $Y)"
xdotool key Escape
wait_for 10 grep -q 'Popover hidden' "$work/vantrell.log" || fail "Escape did not close the popover"
sleep 1

# A single click opens the menu, which the shell draws from the exported one.
import -window root "$work/before-menu.png" 2>> "$log"
popovers_before=$(grep -c 'Popover shown' "$work/vantrell.log")
xdotool mousemove "$click_x" "$click_y" click 1
menu_shown() {
    import -window root "$work/menu.png" 2>> "$log" || return 1
    changed=$(compare -metric AE "$work/before-menu.png" "$work/menu.png" null: 2>&1)
    ((${changed%%.*} > 2000))
}
wait_for 10 menu_shown || fail "a click showed no menu (${changed:-no} pixels changed)"
echo "click: a menu of ${changed} pixels"
sleep 1
(($(grep -c 'Popover shown' "$work/vantrell.log") == popovers_before)) || fail "a single click opened the popover"
xdotool key Escape
echo "PASS"
