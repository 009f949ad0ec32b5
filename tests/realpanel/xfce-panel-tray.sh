#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The tray item in a real panel: XFCE's panel with its Status Tray plug-in
# (a StatusNotifierItem host and an XEmbed tray) under Xvfb, with openbox as
# window manager, on the private session bus this script runs on (start it
# under dbus-run-session). Vantrell runs against the fake market. Checks that
# the item reaches the panel as the square price icon, that the tray shows the
# price colour there, that a left click opens the popover below the panel and
# a right click a menu.
#
# Usage: xfce-panel-tray.sh MODE VANTRELL FAKE_MARKET [OUTPUT_DIR]
#   MODE statusnotifier: Vantrell shares the panel's bus and registers a
#        StatusNotifierItem with the panel's watcher.
#   MODE xembed: Vantrell runs on a bus of its own, without a watcher, and
#        falls back to the XEmbed tray icon.
# Needs xvfb, xfce4-panel, xfconf, openbox, imagemagick, xdotool and
# x11-utils (scripts/install-deps installs them); installs nothing itself.
set -uo pipefail

mode=$1
vantrell=$2
fake_market=$3
[[ $mode == statusnotifier || $mode == xembed ]] || { echo "unknown mode $mode"; exit 2; }
source "$(dirname "$0")/common.sh"
setup_work "${4:-}"

require_tools Xvfb xfce4-panel openbox import convert compare xdotool xdpyinfo gdbus
xfconfd=/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd
[[ -x $xfconfd ]] || xfconfd=$(command -v xfconfd || true)
[[ -x $xfconfd ]] || fail "xfconfd is missing: run scripts/install-deps"
start_session

# The panel: 30 pixels high along the top, with the Status Tray at its right
# end. The file must exist before xfconfd starts.
write_xfce_panel systray

"$xfconfd" >> "$log" 2>&1 &
pids+=($!)
openbox >> "$log" 2>&1 &
pids+=($!)
xfce4-panel >> "$log" 2>&1 &
pids+=($!)

wait_for 30 has_watcher || fail "the panel's Status Tray did not start a StatusNotifierWatcher"
echo "panel up"

# The fake market, and Vantrell pointed at it, showing bitcoin on a coloured
# background so that the tray shows a block of the price colour.
start_market true
app_bus=$DBUS_SESSION_BUS_ADDRESS
if [[ $mode == xembed ]]; then
    # A bus without the panel's watcher: the program must use the XEmbed tray.
    dbus-daemon --config-file="$bus_config" --nofork --print-address=3 3> "$work/app-bus" >> "$log" 2>&1 &
    pids+=($!)
    wait_for 10 grep -q . "$work/app-bus" || fail "the second bus did not start"
    app_bus=$(head -n 1 "$work/app-bus")
fi
start_vantrell "$app_bus"
if [[ $mode == xembed ]]; then
    wait_for 30 grep -q 'using the XEmbed system tray' "$work/vantrell.log" \
        || fail "the program did not fall back to the XEmbed tray"
    echo "XEmbed tray icon"
    # The price's colour follows the recorded change; either colour will do.
    colours=('#2CBD84' '#F6465D')
else

# The form chosen for the panel: the square price icon.
wait_for 30 grep -q 'Status item shown by' "$work/vantrell.log" || fail "the item did not register with the panel"
shown=$(grep -m1 'Status item shown by' "$work/vantrell.log")
echo "$shown"
[[ $shown == *'as icon'* ]] || fail "the panel did not get the square price icon: $shown"

# The price has arrived when the tooltip carries the title and the change.
item=$(item_name)
[[ -n $item ]] || fail "the watcher does not list the item"
tooltip() { item_property ToolTip; }
has_price() { tooltip | grep -q 'BTC [0-9]'; }
wait_for 30 has_price || fail "no price in the tooltip: $(tooltip)"
echo "tooltip: $(tooltip)"
if tooltip | grep -q -- "-[0-9.]*%"; then
    colours=('#F6465D')
else
    colours=('#2CBD84')
fi
fi

# The tray area shows a block of the price colour: find it in the panel.
panel_height=30
find_icon() {
    import -window root "$work/screen.png" 2>> "$log" || return 1
    for colour in "${colours[@]}"; do
        # Everything but the price colour black, then that colour white; the
        # bounding box of the white pixels is the icon's background.
        geometry=$(convert "$work/screen.png" -crop "1024x${panel_height}+0+0" +repage -fuzz 6% \
            -fill black +opaque "$colour" -fill white -opaque "$colour" -format '%@' info: 2>> "$log")
        [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || continue
        icon_w=${BASH_REMATCH[1]} icon_h=${BASH_REMATCH[2]} icon_x=${BASH_REMATCH[3]} icon_y=${BASH_REMATCH[4]}
        ((icon_w >= 12 && icon_w <= 40 && icon_h >= 12 && icon_h <= panel_height)) && return 0
    done
    return 1
}
wait_for 20 find_icon || fail "no icon in the price colour ${colours[*]} in the panel (found: ${geometry:-nothing})"
cp "$work/screen.png" "$work/panel.png"
echo "price icon at ${icon_w}x${icon_h}+${icon_x}+${icon_y} in $colour"

# A left click on the icon opens the popover below the panel.
click_x=$((icon_x + icon_w / 2))
click_y=$((icon_y + icon_h / 2))
xdotool mousemove "$click_x" "$click_y" click 1
wait_for 10 grep -q 'Popover shown' "$work/vantrell.log" || fail "a left click did not open the popover"
wait_for 10 has_visible_window || fail "no visible window of vantrell after the click"
import -window root "$work/popover.png" 2>> "$log"
eval "$(xdotool getwindowgeometry --shell "$(visible_windows | head -n 1)")"
echo "popover at ${WIDTH}x${HEIGHT}+${X}+${Y}"
((Y >= panel_height - 2)) || fail "the popover is not below the panel (y $Y)"
xdotool key Escape
wait_for 10 grep -q 'Popover hidden' "$work/vantrell.log" || fail "Escape did not close the popover"
no_visible_windows() { ! has_visible_window; }
wait_for 10 no_visible_windows || fail "the popover stayed on screen"

# A right click opens the menu: the panel draws the exported one, the XEmbed
# tray leaves it to the program; either way something new below the tray.
import -window root "$work/before-menu.png" 2>> "$log"
popovers_before=$(grep -c 'Popover shown' "$work/vantrell.log")
xdotool mousemove "$click_x" "$click_y" click 3
menu_shown() {
    import -window root "$work/menu.png" 2>> "$log" || return 1
    changed=$(compare -metric AE "$work/before-menu.png" "$work/menu.png" null: 2>&1)
    ((${changed%%.*} > 2000))
}
wait_for 10 menu_shown || fail "a right click showed no menu (${changed:-no} pixels changed)"
echo "right click: a menu of ${changed} pixels"
if [[ $mode == xembed ]]; then
    wait_for 10 has_visible_window || fail "the program showed no menu of its own"
fi
(($(grep -c 'Popover shown' "$work/vantrell.log") == popovers_before)) || fail "a right click opened the popover"
xdotool key Escape
echo "PASS"
