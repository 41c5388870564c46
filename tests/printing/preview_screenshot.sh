#!/usr/bin/env bash
# Shows the maximised print preview of a three-page game under Xvfb, as the
# print button opens it, and saves a screenshot for a person to look at.
#
#   tests/printing/preview_screenshot.sh [OUTFILE]   (default /tmp/hk-shots/preview.png)
#   tests/printing/preview_screenshot.sh OUTFILE TEXTFILE MODE "TITLE (SYSTEM)" [PDF|-]
#
# The second form previews a game's text file from data/sample/texts in its
# display mode and, given a PDF file or "-" (the default printer), prints it
# from the preview before closing.
#
# HK_BUILD_DIR names a build folder that already holds printing_preview_shot;
# otherwise the script builds it in build-shots.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-/tmp/hk-shots/preview.png}
shift || true
mkdir -p "$(dirname "$out")"

build=${HK_BUILD_DIR:-$top/build-shots}
if [ ! -x "$build/tests/printing/printing_preview_shot" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DHK_BUILD_BENCH=OFF >/dev/null
    ninja -C "$build" -j2 printing_preview_shot >/dev/null
fi

display=:${HK_XVFB_DISPLAY:-74}
# -noreset: Xvfb otherwise resets whenever its last client leaves, and refuses
# connections while it does; xdpyinfo and every xdotool and import call here is
# such a client, and a program that connects then aborts ("could not connect to
# display", Qt gives up with abort()).
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
shot=
cleanup() {
    [ -n "$shot" ] && kill "$shot" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export QT_QPA_PLATFORM=xcb

"$build/tests/printing/printing_preview_shot" 8000 "$@" &
shot=$!
for _ in $(seq 100); do
    xdotool search --onlyvisible --name 'Предпросмотр печати' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1.5
import -window root "$out"
echo "saved $out"
if [ $# -ge 4 ]; then  # let it print before it goes
    wait "$shot" || true
    shot=
fi
