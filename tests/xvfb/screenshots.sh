#!/usr/bin/env bash
# Runs the viewer under Xvfb as the README's run command starts it, drives it
# with xdotool (types a title, presses the next button, opens and closes the
# About box) and saves a screenshot after each step for a person to look at.
#
#   tests/xvfb/screenshots.sh [OUTDIR]        (default /tmp/hk-shots)
#
# HK_PROGRAM=path/to/hintkeeper uses an already built viewer (with its
# hintkeeper.dat beside it) instead of `scripts/run.sh`. With QT_SCALE_FACTOR
# (1.5, 2...) the screen grows by the same factor and the clicks land on the
# same controls, so the shots show the viewer as a high-density screen does.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-/tmp/hk-shots}
mkdir -p "$out"
rm -f "$out"/*.png

display=:${HK_XVFB_DISPLAY:-73}
scale=${QT_SCALE_FACTOR:-1}
# A logical distance in screen pixels.
px() { awk -v v="$1" -v s="$scale" 'BEGIN { printf "%d", v * s + 0.5 }'; }
# -noreset: Xvfb otherwise resets whenever its last client leaves, and refuses
# connections while it does; xdpyinfo and every xdotool and import call here is
# such a client, and a program that connects then aborts ("could not connect to
# display", Qt gives up with abort()).
Xvfb "$display" -screen 0 "$(px 1024)x$(px 768)x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
viewer=
cleanup() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export QT_QPA_PLATFORM=xcb

if [ -n "${HK_PROGRAM:-}" ]; then
    "$HK_PROGRAM" &
else
    bash "$top/scripts/run.sh" &
fi
viewer=$!

shot() { import -window root "$out/$1.png"; echo "saved $out/$1.png"; }

# The splash shows for two seconds before the main window.
for _ in $(seq 600); do
    xdotool search --name '^$' >/dev/null 2>&1 || true
    if xdotool search --onlyvisible --class hintkeeper >/dev/null 2>&1; then break; fi
    sleep 0.1
done
sleep 0.6
shot 01-splash

win=
for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name '^Hintkeeper v1.30$' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
if [ -z "$win" ]; then
    echo "the main window did not appear" >&2
    shot 99-no-window
    exit 1
fi
sleep 1
shot 02-main

eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT
bar=$((Y + HEIGHT - $(px $((6 + 52)))))  # top of the bottom bar

# The search box sits on the search strip above the list.
xdotool mousemove $((X + $(px $((6 + 53 + 40))))) $((Y + $(px $((27 + 79 + 26 + 4 + 12))))) click 1
sleep 0.3
xdotool type --delay 150 'Doom'
sleep 0.8
shot 03-search-doom

# The next-game arrow.
xdotool mousemove $((X + $(px $((6 + 88 + 57 + 19))))) $((bar + $(px $((7 + 19)))))
sleep 0.4
shot 04-next-hover
xdotool click 1
sleep 0.8
shot 05-next-pressed

# The About button keeps its distance to the right edge.
xdotool mousemove $((X + WIDTH - $(px $((6 + (765 - 498) - 11))))) $((bar + $(px $((18 + 11))))) click 1
sleep 1
shot 06-about
about=$(xdotool search --onlyvisible --name '^О программе$' 2>/dev/null | head -1 || true)
if [ -n "$about" ]; then
    eval "$(xdotool getwindowgeometry --shell "$about" | sed 's/^/A_/')"
    xdotool mousemove $((A_X + $(px $((6 + 132 + 37))))) $((A_Y + $(px $((27 + 232 + 15 + 11))))) click 1
else
    echo "the About box did not appear" >&2
fi
sleep 1.2
shot 07-after-about

echo "screenshots in $out"
