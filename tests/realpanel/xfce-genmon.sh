#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The price in XFCE's panel through the Generic Monitor plug-in, as the README
# tells a user to set it up: `vantrell-widget-host --print genmon` as its
# command. The panel runs under Xvfb with openbox, on the private session bus
# this script runs on (start it under dbus-run-session); Vantrell runs against
# the fake market and writes the snapshot the host reads. Checks that the
# panel shows the price as text in the colour meant for a light panel, at
# least as tall as a line of the clock, and that a click on it opens the price
# list.
#
# Usage: xfce-genmon.sh VANTRELL WIDGET_HOST FAKE_MARKET [OUTPUT_DIR]
# Needs xfce4-panel, xfce4-genmon-plugin, xfconf, openbox, xvfb, imagemagick,
# xdotool and x11-utils (scripts/install-deps).
set -uo pipefail

vantrell=$1
widget_host=$2
fake_market=$3
source "$(dirname "$0")/common.sh"
setup_work "${4:-}"

require_tools Xvfb xfce4-panel openbox import convert xdotool xdpyinfo gdbus
xfconfd=/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd
[[ -x $xfconfd ]] || xfconfd=$(command -v xfconfd || true)
[[ -x $xfconfd ]] || fail "xfconfd is missing: run scripts/install-deps"
[[ -f /usr/lib/x86_64-linux-gnu/xfce4/panel/plugins/libgenmon.so ]] \
    || fail "the Generic Monitor plug-in is missing: run scripts/install-deps"
start_session

# The programs where the plug-in's command finds them, as an installation has them.
mkdir -p "$work/bin"
ln -s "$(realpath "$vantrell")" "$work/bin/vantrell"
ln -s "$(realpath "$widget_host")" "$work/bin/vantrell-widget-host"
export PATH="$work/bin:$PATH"

start_market false
start_vantrell
snapshot="$XDG_CACHE_HOME/vantrell/widget-snapshot.json"
wait_for 60 grep -q '"panel"' "$snapshot" || fail "the program wrote no snapshot"

# A panel 30 pixels high along the top: space, the Generic Monitor, the clock.
write_xfce_panel genmon
mkdir -p "$XDG_CONFIG_HOME/xfce4/panel"
# The plug-in's settings as its dialog writes them: the command, no label.
cat > "$XDG_CONFIG_HOME/xfce4/panel/genmon-2.rc" <<'RC'
Command=vantrell-widget-host --print genmon
UseLabel=0
Text=(genmon)
UpdatePeriod=30000
RC

"$xfconfd" >> "$log" 2>&1 &
pids+=($!)
openbox >> "$log" 2>&1 &
pids+=($!)
xfce4-panel >> "$work/panel.log" 2>&1 &
pids+=($!)

panel_height=30
colour=$(grep -o '"colorOnLight":"#[0-9A-F]*"' "$snapshot" | head -n 1 | grep -o '#[0-9A-F]*')
[[ -n $colour ]] || fail "no colour for a light panel in the snapshot"
find_text() {
    import -window root "$work/screen.png" 2>> "$log" || return 1
    geometry=$(convert "$work/screen.png" -crop "1024x${panel_height}+0+0" +repage -fuzz 10% \
        -fill black +opaque "$colour" -fill white -opaque "$colour" -format '%@' info: 2>> "$log")
    [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    text_w=${BASH_REMATCH[1]} text_h=${BASH_REMATCH[2]} text_x=${BASH_REMATCH[3]} text_y=${BASH_REMATCH[4]}
    ((text_w >= 50 && text_h >= 8))
}
wait_for 60 find_text || fail "no price text in $colour in the panel (found: ${geometry:-nothing})"
cp "$work/screen.png" "$work/panel.png"
echo "price text at ${text_w}x${text_h}+${text_x}+${text_y} in $colour"
# The clock's digits: the dark pixels right of the price.
clock=$(convert "$work/screen.png" -crop "$((1024 - text_x - text_w - 4))x${panel_height}+$((text_x + text_w + 4))+0" \
    +repage -threshold 50% -negate -format '%@' info: 2>> "$log")
echo "clock text: $clock"
# The clock of a 30-pixel panel writes the date over the time: the price must
# be at least as tall as one of its lines.
if [[ $clock =~ ^[0-9]+x([0-9]+) ]]; then
    clock_line=$(((BASH_REMATCH[1] - 3) / 2))
    ((text_h >= clock_line)) || fail "the price ($text_h px) is smaller than a line of the clock ($clock_line px)"
fi

# A panel without a tray: the program opened its price list as a window at
# start. Closed, it opens again from a click on the text (the plug-in's
# click command).
popover_count() { grep -c 'Popover shown' "$work/vantrell.log"; }
shown_once() { (($(popover_count) >= 1)); }
wait_for 20 shown_once || fail "the program showed no window at start"
wait_for 10 has_visible_window || fail "the program's window is not on screen"
eval "$(xdotool getwindowgeometry --shell "$(visible_windows | head -n 1)")"
# Into the window (its heading), then Escape, as a user closes it.
xdotool mousemove $((X + 30)) $((Y + 12)) click 1 sleep 0.5 key Escape
wait_for 10 grep -q 'Popover hidden' "$work/vantrell.log" || fail "the price list did not close on Escape"
before=$(popover_count)
xdotool mousemove $((text_x + text_w / 2)) $((text_y + text_h / 2)) click 1
opened() { (($(popover_count) > before)); }
wait_for 20 opened || fail "a click on the price did not open the price list"
sleep 1
import -window root "$work/popover.png" 2>> "$log"
echo "PASS"
