#!/usr/bin/env bash
# The viewer on a real X11 desktop: Xvfb with the openbox window manager, the
# viewer driven with xdotool as a user would drive it. Checks where the window
# first shows, title-bar drags with each mouse button, double-clicks, the three
# window buttons, the About box, and that selecting in the codes view leaves
# the X11 primary selection and the clipboard as they were. Saves a screenshot
# at each main step.
#
#   tests/xvfb/window_manager.sh PROGRAM [OUTDIR]     (default OUTDIR /tmp/hk-wm-shots)
#
# PROGRAM is a built hintkeeper with its hintkeeper.dat beside it. Xvfb picks a
# free display unless HK_XVFB_DISPLAY names one (a number).
#
# Every wait polls for the event it means (a window mapped, a geometry or state
# reached, the viewer having handled an input, the process gone) and gives up
# after 30 s. To know that the viewer has handled everything sent so far, a
# check ends its input with a press and waits for the viewer to stamp that
# press's time into its window's _NET_WM_USER_TIME.
set -euo pipefail

program=$(realpath "${1:?usage: window_manager.sh PROGRAM [OUTDIR]}")
out=${2:-/tmp/hk-wm-shots}
[ -x "$program" ] || { echo "not an executable: $program" >&2; exit 2; }
[ -f "$(dirname "$program")/hintkeeper.dat" ] || { echo "no hintkeeper.dat beside $program" >&2; exit 2; }
mkdir -p "$out"
rm -f "$out"/*.png
tmp=$(mktemp -d)

xvfb='' openbox='' viewer='' win=''
cleanup() {
    local pid
    for pid in "$viewer" "$openbox" "$xvfb"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"

# --- the display, the window manager, the viewer ---
start_xvfb 1280x1024
read -r SW SH < <(xdotool getdisplaygeometry)

XDG_CONFIG_HOME=$tmp/config XDG_CACHE_HOME=$tmp/cache openbox --sm-disable \
    >"$tmp/openbox.log" 2>&1 &
openbox=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until "openbox manages the screen" wm_ready

QT_QPA_PLATFORM=xcb "$program" >"$tmp/viewer.log" 2>&1 &
viewer=$!

# --- predicates ---
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }  # X, Y, WIDTH, HEIGHT
main_shown() {
    win=$(xdotool search --onlyvisible --name '^Hintkeeper v1\.30$' 2>/dev/null | head -1)
    [ -n "$win" ]
}
at() {  # at X Y [WIDTH HEIGHT]: the main window's geometry
    geometry "$win"
    [ "$X" = "$1" ] && [ "$Y" = "$2" ] && { [ $# -lt 4 ] || [ "$WIDTH $HEIGHT" = "$3 $4" ]; }
}
centred() {
    geometry "$win"
    local dx=$((2 * X + WIDTH - SW)) dy=$((2 * Y + HEIGHT - SH))
    [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ]
}
net_state() { xprop -id "$win" _NET_WM_STATE 2>/dev/null; }
maximised() { net_state | grep -q MAXIMIZED_VERT && net_state | grep -q MAXIMIZED_HORZ; }
maximised_full() { maximised && at 0 0 "$SW" "$SH"; }
wm_state() { xprop -id "$win" WM_STATE 2>/dev/null | grep -q "window state: $1"; }
restored_to() { ! maximised && wm_state Normal && at "$@"; }
about_window() { xdotool search --onlyvisible --name '^О программе$' 2>/dev/null | head -1; }
about_shown() { [ -n "$(about_window)" ]; }
about_hidden() { [ -z "$(about_window)" ]; }
viewer_ended() { ! kill -0 "$viewer" 2>/dev/null; }
selection_is() { [ "$(xclip -o -selection "$1" 2>/dev/null)" = "$2" ]; }
user_time() { xprop -id "$win" _NET_WM_USER_TIME 2>/dev/null | awk '{print $3}'; }
user_time_moved() { [ "$(user_time)" != "$1" ]; }
# synced XDOTOOL-ARGS...: input that ends with a press, then waits until the
# viewer has handled that press, and with it everything sent before.
synced() {
    local before
    before=$(user_time)
    xdotool "$@"
    wait_until "the viewer handles: xdotool $*" user_time_moved "$before"
}
# Points of the title bar and its buttons, for the window's geometry now.
bar_x() { echo $((X + 300)); }
bar_y() { echo $((Y + 12)); }
button_x() { echo $((X + WIDTH - 102 + $1 + 10)); }  # $1: the button's left on its panel

# --- first show ---
wait_until "the main window shows (after the splash)" main_shown
wait_until "the main window is centred on the ${SW}x${SH} screen" centred
ok "centred at first show: $(xdotool getwindowgeometry "$win" | tr -s ' \n' ' ')"
shot 01-first-show

# --- title-bar drags ---
# Drags the title bar with BUTTON by (DX, DY) in steps, then moves the pointer
# with no button held and clicks the title bar once: the window must have moved
# by the pointer's distance and stayed there.
drag_check() {
    local button=$1 dx=$2 dy=$3 name=$4 i
    geometry "$win"
    local x0 y0 wx=$((X + dx)) wy=$((Y + dy))
    x0=$(bar_x) y0=$(bar_y)
    xdotool mousemove "$x0" "$y0" mousedown "$button"
    for i in 1 2 3 4 5 6 7 8; do xdotool mousemove $((x0 + dx * i / 8)) $((y0 + dy * i / 8)); done
    xdotool mouseup "$button"
    wait_until "a $name drag moves the window by ($dx, $dy)" at "$wx" "$wy"
    xdotool mousemove $((x0 + dx + 160)) $((y0 + dy + 90)) mousemove $((x0 + dx - 70)) $((y0 + dy + 40))
    synced mousemove $((wx + 300)) $((wy + 12)) click 1
    at "$wx" "$wy" || fail "after the $name button's release the window went on to ($X, $Y)"
    ok "a $name-button drag moves the window by ($dx, $dy), then it stops following; a click moves nothing"
}
drag_check 1 140 90 left
drag_check 3 -200 60 right
drag_check 2 90 -120 middle
shot 02-after-drags

# --- double-click and the maximise button ---
geometry "$win"
nx=$X ny=$Y nw=$WIDTH nh=$HEIGHT
xdotool mousemove "$(bar_x)" "$(bar_y)" click --repeat 2 --delay 60 1
wait_until "a double-click on the title bar maximises" maximised_full
synced mousemove "$(bar_x)" "$(bar_y)" click 1
maximised || fail "the double-click toggled more than once"
ok "a double-click maximises (once)"
shot 03-maximised-by-double-click
geometry "$win"
xdotool mousemove "$(bar_x)" "$(bar_y)" click --repeat 2 --delay 60 1
wait_until "a second double-click restores ($nx, $ny, $nw x $nh)" restored_to "$nx" "$ny" "$nw" "$nh"
geometry "$win"
synced mousemove "$(bar_x)" "$(bar_y)" click 1
restored_to "$nx" "$ny" "$nw" "$nh" || fail "the second double-click toggled more than once"
ok "a second double-click restores (once)"

geometry "$win"
xdotool mousemove "$(button_x 51)" $((Y + 13)) click 1
wait_until "the maximise button maximises" maximised_full
ok "the maximise button maximises"
shot 04-maximised-by-button
geometry "$win"
xdotool mousemove "$(button_x 51)" $((Y + 13)) click 1
wait_until "the maximise button restores" restored_to "$nx" "$ny" "$nw" "$nh"
ok "the maximise button restores"

# --- minimise and back ---
geometry "$win"
xdotool mousemove "$(button_x 27)" $((Y + 13)) click 1
wait_until "the minimise button iconifies (WM_STATE Iconic)" wm_state Iconic
ok "the minimise button iconifies the window"
shot 05-minimised
xdotool windowactivate "$win" 2>/dev/null || true
wait_until "the window comes back when activated" restored_to "$nx" "$ny" "$nw" "$nh"
wait_until "the window is viewable again" main_shown
ok "the window comes back when activated"

# --- the About box, closed by each of its buttons ---
open_about() {
    geometry "$win"
    local bar=$((Y + HEIGHT - 6 - 52))  # top of the bottom bar; the button keeps its right gap
    xdotool mousemove $((X + WIDTH - 6 - (765 - 498) + 11)) $((bar + 18 + 11)) click 1
    wait_until "the About button opens the About box" about_shown
    eval "$(xdotool getwindowgeometry --shell "$(about_window)" | sed 's/^/A_/')"
}
open_about
shot 06-about
xdotool mousemove $((A_X + 230 + 75 + 10)) $((A_Y + 3 + 10)) click 1
wait_until "the About box's title-bar button closes it" about_hidden
ok "the About box opens and its title-bar close button closes it"
open_about
xdotool mousemove $((A_X + 6 + 132 + 37)) $((A_Y + 27 + 232 + 15 + 11)) click 1
wait_until "the About box's Закрыть button closes it" about_hidden
ok "the About box opens again and its Закрыть button closes it"

# --- selections in the codes view ---
printf 'primary before' | xclip -selection primary -i >/dev/null 2>&1
printf 'clipboard before' | xclip -selection clipboard -i >/dev/null 2>&1
wait_until "xclip holds the primary selection" selection_is primary 'primary before'
wait_until "xclip holds the clipboard" selection_is clipboard 'clipboard before'
wait_until "the window is active again after the About box" main_shown
geometry "$win"
tx=$((X + 315)) ty=$((Y + 148))  # the first line of the codes view
xdotool mousemove "$tx" "$ty" mousedown 1
for i in 1 2 3 4 5 6; do xdotool mousemove $((tx + i * 40)) $((ty + i * 18)); done
xdotool mouseup 1
# A middle click (the X11 paste gesture) on the view as the sync press.
synced click 2
shot 07-codes-selection
selection_is primary 'primary before' || fail "a mouse selection changed the primary selection"
selection_is clipboard 'clipboard before' || fail "a mouse selection changed the clipboard"
ok "a mouse selection in the codes view leaves the primary selection and the clipboard as they were"
synced mousemove $((tx + 20)) $((ty + 40)) click --repeat 2 --delay 60 1
synced key shift+End
synced key ctrl+a
synced key ctrl+c
synced key ctrl+Insert
selection_is primary 'primary before' || fail "a word or keyboard selection changed the primary selection"
selection_is clipboard 'clipboard before' || fail "Ctrl+C or Ctrl+Insert changed the clipboard"
ok "double-click, Shift+End, Ctrl+A, Ctrl+C and Ctrl+Insert leave both as they were"

# --- the close button ends the program ---
geometry "$win"
xdotool mousemove "$(button_x 75)" $((Y + 13)) click 1
wait_until "the close button ends the program" viewer_ended
status=0
wait "$viewer" || status=$?
viewer=
[ "$status" = 0 ] || fail "the program ended with status $status"
ok "the close button ends the program with status 0"
shot 08-after-close

echo "window manager check: all $passed checks passed; screenshots in $out"
