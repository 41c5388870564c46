#!/usr/bin/env bash
# The viewer on Wayland, under weston with its pixman renderer, in two runs:
#  1. a headless weston: the viewer starts, shows its main window after the
#     splash, and writes nothing at all to stderr until it is ended;
#  2. weston's X11 backend inside Xvfb, which hands Xvfb's input to Wayland
#     clients, driven with xdotool: a title-bar drag moves the window (the
#     compositor moves it; a Wayland client cannot place itself), a
#     double-click maximises and a second one restores, the About box opens and
#     its Закрыть button closes it, and the close button ends the program with
#     status 0, again with nothing on stderr.
#
#   tests/wayland/run.sh PROGRAM [OUTDIR]     (default OUTDIR /tmp/hk-wayland-shots)
#
# PROGRAM is a built hintkeeper with its hintkeeper.dat beside it. Xvfb picks a
# free display unless HK_XVFB_DISPLAY names one (a number).
#
# A Wayland client learns nothing of where its windows are, so the windows are
# found in screenshots by the skin's outline colour (frames.py). Every wait
# polls for the event it means (a window drawn where it should be, a request
# reaching weston in its protocol log, the process gone) and gives up after
# 30 s.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

program=$(realpath "${1:?usage: run.sh PROGRAM [OUTDIR]}")
out=${2:-/tmp/hk-wayland-shots}
[ -x "$program" ] || { echo "not an executable: $program" >&2; exit 2; }
[ -f "$(dirname "$program")/hintkeeper.dat" ] || { echo "no hintkeeper.dat beside $program" >&2; exit 2; }
mkdir -p "$out"
out=$(realpath "$out")
rm -f "$out"/*.png "$out"/*.log "$out"/*.out
tmp=$(mktemp -d)

xvfb='' weston='' viewer=''
cleanup() {
    local status=$? pid
    # A failed run leaves weston's protocol logs and the viewer's output beside
    # its screenshots.
    if [ "$status" != 0 ]; then cp "$tmp"/*.log "$tmp"/*.out "$out/" 2>/dev/null || true; fi
    for pid in "$viewer" "$weston" "$xvfb"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    done
    for pid in "$viewer" "$weston" "$xvfb"; do
        if [ -n "$pid" ]; then wait "$pid" 2>/dev/null || true; fi
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
# shellcheck source=../xvfb/harness.sh
source "$here/../xvfb/harness.sh"

# Wayland's runtime folder: the compositor's socket, private to this run.
export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
socket=hk-wayland
# The desktop's own Wayland, pointer and shell settings stay out of it: a
# bigger pointer would hide more of a window's outline than frames.py allows.
unset DISPLAY WAYLAND_DISPLAY XCURSOR_THEME XCURSOR_SIZE QT_WAYLAND_SHELL_INTEGRATION \
    QT_WAYLAND_DECORATION QT_WAYLAND_DISABLE_WINDOWDECORATION
# A plain background, no panel (a maximised window fills the output), no
# animations (a window is where it goes at once), no on-screen keyboard.
cat >"$tmp/weston.ini" <<'INI'
[core]
idle-time=0
[shell]
background-color=0xffff00ff
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
[input-method]
path=
INI
OW=1024 OH=768

# start_weston NAME BACKEND-OPTIONS...: weston logging its protocol traffic
# (--debug also lets weston-screenshooter in) to $tmp/NAME.log.
start_weston() {
    local name=$1
    shift
    weston --config="$tmp/weston.ini" --socket="$socket" --debug --logger-scopes=log,proto \
        --log="$tmp/$name.log" --width="$OW" --height="$OH" "$@" >"$tmp/$name.out" 2>&1 &
    weston=$!
    wlog=$tmp/$name.log
    wait_until "weston listens on $socket" test -S "$XDG_RUNTIME_DIR/$socket"
}
stop_weston() {
    kill "$weston" 2>/dev/null || true
    wait "$weston" 2>/dev/null || true
    weston=
}
start_viewer() {
    WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$program" >"$tmp/viewer.out" 2>"$tmp/viewer.log" &
    viewer=$!
}
alive() { kill -0 "$viewer" 2>/dev/null || fail "the viewer ended early"; }
stderr_empty() {
    [ ! -s "$tmp/viewer.log" ] || fail "the viewer wrote to stderr under Wayland"
}
# requests NAME: how many xdg_toplevel requests NAME (move, set_maximized...)
# weston has received so far; a request in its log has reached the compositor.
requests() { grep -c "rq xdg_toplevel@[0-9]*\.$1(" "$wlog" || true; }
more_requests() { [ "$(requests "$1")" -gt "$2" ]; }
# Pointer buttons weston has delivered to clients so far.
buttons() { grep -c 'ev wl_pointer@[0-9]*\.button(' "$wlog" || true; }
more_buttons() { [ "$(buttons)" -ge "$1" ]; }

# --- screenshots and where the windows are in them ---
grab() {  # grab FILE: the screen now, as PPM (or FILE's format, under X11)
    if [ -n "${DISPLAY:-}" ]; then
        case $1 in
        *.ppm) import -window root -depth 8 "ppm:$1" ;;
        *) import -window root "$1" ;;
        esac
    else  # weston-screenshooter names its file by the time, in its working folder
        local taken
        rm -rf "$tmp/shots"
        mkdir "$tmp/shots"
        (cd "$tmp/shots" && WAYLAND_DISPLAY=$socket weston-screenshooter >/dev/null 2>&1) || return 1
        taken=("$tmp"/shots/*.png)
        [ -f "${taken[0]}" ] || return 1
        case $1 in
        *.ppm) convert "${taken[0]}" -depth 8 "ppm:$1" ;;
        *) mv "${taken[0]}" "$1" ;;
        esac
    fi
}
shot() {
    grab "$out/$1.png" && echo "   screenshot $out/$1.png"
}
# window_box: sets X Y WIDTH HEIGHT to the main window's geometry on screen,
# when it is drawn whole (every outline pixel on screen within its frame).
window_box() {
    alive
    grab "$tmp/now.ppm" || return 1
    X='' Y='' WIDTH='' HEIGHT=''
    read -r X Y WIDTH HEIGHT < <(python3 "$here/frames.py" "$tmp/now.ppm"; echo) || true
    [ -n "$HEIGHT" ]
}
# window_is X Y W H: the main window is drawn whole with that geometry.
window_is() { window_box && [ "$X $Y $WIDTH $HEIGHT" = "$1 $2 $3 $4" ]; }
main_shown() { window_box && [ "$WIDTH" -ge 785 ] && [ "$HEIGHT" -ge 460 ]; }
about_at() {  # sets AX AY when exactly one 332 x 317 About box is drawn
    alive
    grab "$tmp/about.ppm" || return 1
    local found
    found=$(python3 "$here/frames.py" "$tmp/about.ppm" 332 317)
    [ -n "$found" ] && [ "$(wc -l <<<"$found")" = 1 ] && read -r AX AY <<<"$found"
}
about_gone() { alive && grab "$tmp/about.ppm" && [ -z "$(python3 "$here/frames.py" "$tmp/about.ppm" 332 317)" ]; }
viewer_ended() { ! kill -0 "$viewer" 2>/dev/null; }

# told_pointer_at LINE LX LY: since LINE of its log weston has told a client
# that the pointer is at (LX, LY) on one of its surfaces.
told_pointer_at() {
    tail -n "+$1" "$wlog" | grep -q "ev wl_pointer@[0-9]*\.\(enter([0-9]*, wl_surface@[0-9]*\|motion([0-9]*\), $2\.000000, $3\.000000)"
}
# Weston's X11 backend turns pointer motion into steps from where it last saw
# the pointer, and may not have seen it before it first enters weston's window
# (from the strip of screen below the output); the desktop's background, at
# the output's origin, then learns where it is.
calibrated() {
    xdotool mousemove 10 $((OH + 20)) mousemove 20 20
    told_pointer_at "$1" 20 20
}
# point_at X Y LX LY: the pointer onto the screen's (X, Y), which is (LX, LY)
# on the surface below it; waits until weston has told the viewer so.
point_at() {
    local from
    from=$(($(wc -l <"$wlog") + 1))
    xdotool mousemove $(($1 + 5)) $(($2 + 5)) mousemove "$1" "$2"
    wait_until "weston tells the viewer the pointer is at ($3, $4) on its window" told_pointer_at "$from" "$3" "$4"
}

# --- 1. headless: starts, shows, stays quiet ---
echo "# headless weston, pixman renderer"
start_weston headless --backend=headless-backend.so --use-pixman
start_viewer
wait_until "the main window shows after the splash" main_shown
ok "the viewer shows its main window (${WIDTH}x${HEIGHT}) on a headless weston"
shot 01-headless
stderr_empty
kill "$viewer"
wait "$viewer" 2>/dev/null || true
viewer=
stderr_empty
ok "nothing on stderr"
stop_weston

# --- 2. weston's X11 backend in Xvfb, driven with xdotool ---
echo "# weston's X11 backend inside Xvfb"
# The screen has a strip below weston's output, for the pointer to enter it.
start_xvfb "${OW}x$((OH + 40))"
start_weston x11 --backend=x11-backend.so --use-pixman
output_mapped() {  # the output's window, at the screen's top-left corner
    xwininfo -root -children 2>/dev/null | grep -q "\"Weston Compositor.* ${OW}x${OH}+0+0 "
}
wait_until "weston's output window shows at the screen's corner" output_mapped
wait_until "weston knows where the pointer is" calibrated "$(($(wc -l <"$wlog") + 1))"
start_viewer
wait_until "the main window shows after the splash" main_shown
ok "the viewer shows its main window (${WIDTH}x${HEIGHT}) at ($X, $Y)"
shot 02-x11-first-show

# A left-button drag on the title bar. Past the drag distance the viewer hands
# the move to weston, which then moves the window with the pointer until the
# button goes up; what follows with no button held moves nothing. Weston put
# the window somewhere of its choosing: the drag takes it to the far side of
# the screen in both directions, whole on screen.
x0=$((X + 300)) y0=$((Y + 12)) nx=10 ny=10
[ $((2 * X)) -ge $((OW - WIDTH)) ] || nx=$((OW - WIDTH - 10))
[ $((2 * Y)) -ge $((OH - HEIGHT)) ] || ny=$((OH - HEIGHT - 10))
dx=$((nx - X)) dy=$((ny - Y))
moves=$(requests move)
point_at "$x0" "$y0" 300 12
xdotool mousedown 1 mousemove $((x0 + 15)) $((y0 + 10))
wait_until "the viewer asks weston to move its window" more_requests move "$moves"
for i in 1 2 3 4 5 6 7 8; do xdotool mousemove $((x0 + dx * i / 8)) $((y0 + dy * i / 8)); done
wait_until "the window follows the drag to ($nx, $ny)" window_is "$nx" "$ny" "$WIDTH" "$HEIGHT"
xdotool mouseup 1
xdotool mousemove $((nx + 300 + 160)) $((ny + 12 + 90)) mousemove $((nx + 300 - 70)) $((ny + 12 + 40))
point_at $((nx + 300)) $((ny + 12)) 300 12
clicks=$(($(buttons) + 2))
xdotool click 1
wait_until "weston delivers a click on the title bar" more_buttons "$clicks"
window_is "$nx" "$ny" "$WIDTH" "$HEIGHT" || fail "after the release the window went on to ($X, $Y)"
ok "a title-bar drag moves the window by ($dx, $dy), and it stays there after the release"
shot 03-x11-after-drag

# A double-click on the title bar maximises; a second one restores.
nw=$WIDTH nh=$HEIGHT
maximises=$(requests set_maximized)
point_at $((nx + 300)) $((ny + 12)) 300 12
xdotool click --repeat 2 --delay 60 1
wait_until "a double-click on the title bar maximises" window_is 0 0 "$OW" "$OH"
[ "$(requests set_maximized)" = $((maximises + 1)) ] || fail "one double-click asked for more than one maximise"
ok "a double-click maximises"
shot 04-x11-maximised
restores=$(requests unset_maximized)
point_at 300 12 300 12
xdotool click --repeat 2 --delay 60 1
wait_until "a second double-click restores ($nx, $ny, ${nw}x$nh)" window_is "$nx" "$ny" "$nw" "$nh"
[ "$(requests unset_maximized)" = $((restores + 1)) ] || fail "one double-click asked for more than one restore"
ok "a second double-click restores the window where it was"

# The About button (in the bottom bar, at its right gap) opens the About box;
# its Закрыть button closes it.
bx=$((nw - 6 - (765 - 498) + 11)) by=$((nh - 6 - 52 + 18 + 11))
point_at $((nx + bx)) $((ny + by)) "$bx" "$by"
xdotool click 1
wait_until "the About button opens the About box" about_at
ok "the About box opens at ($AX, $AY)"
shot 05-x11-about
bx=$((6 + 132 + 37)) by=$((27 + 232 + 15 + 11))
point_at $((AX + bx)) $((AY + by)) "$bx" "$by"
xdotool click 1
wait_until "the About box's Закрыть button closes it" about_gone
ok "its Закрыть button closes it"

# The close button (the title bar's right end) ends the program.
wait_until "the main window is back where it was" window_is "$nx" "$ny" "$nw" "$nh"
bx=$((nw - 102 + 75 + 10))
point_at $((nx + bx)) $((ny + 13)) "$bx" 13
xdotool click 1
wait_until "the close button ends the program" viewer_ended
status=0
wait "$viewer" || status=$?
viewer=
[ "$status" = 0 ] || fail "the program ended with status $status"
stderr_empty
ok "the close button ends the program with status 0, and nothing on stderr"
shot 06-x11-after-close

echo "wayland check: all $passed checks passed; screenshots in $out"
