#!/usr/bin/env bash
# The viewer as a screen reader meets it: Xvfb with openbox, a D-Bus session
# with the AT-SPI registry, the viewer with Qt's AT-SPI bridge switched on, and
# tests/a11y/probe.py reading and driving it through pyatspi. Fails when a
# showing focusable control has no name or the filler role, when a read-only
# text offers EditableText, when selecting a game in the list through AT-SPI
# does not show it, when pressing the About button through AT-SPI does not open
# the About box, or when Tab does not announce the controls in the layout's
# order. Writes the accessible tree to OUTDIR/tree.txt.
#
#   tests/a11y/run.sh PROGRAM [OUTDIR]     (default OUTDIR /tmp/hk-a11y)
#
# PROGRAM is a built hintkeeper with its hintkeeper.dat beside it. Xvfb picks a
# free display unless HK_XVFB_DISPLAY names one (a number).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:?usage: run.sh PROGRAM [OUTDIR]}")
out=$(realpath -m "${2:-/tmp/hk-a11y}")
[ -x "$program" ] || { echo "not an executable: $program" >&2; exit 2; }
[ -f "$(dirname "$program")/hintkeeper.dat" ] || { echo "no hintkeeper.dat beside $program" >&2; exit 2; }

# Everything below runs inside a D-Bus session of its own, which ends with it.
if [ -z "${HK_A11Y_SESSION:-}" ]; then
    exec env HK_A11Y_SESSION=1 dbus-run-session -- bash "$0" "$program" "$out"
fi

mkdir -p "$out"
rm -f "$out/tree.txt"
tmp=$(mktemp -d)
xvfb='' openbox='' launcher='' viewer=''
cleanup() {
    local pid
    for pid in "$viewer" "$launcher" "$openbox" "$xvfb"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
# shellcheck source=../xvfb/harness.sh
source "$here/../xvfb/harness.sh"
# The harness's reporting, with the accessibility bus's output too.
fail() {
    echo "FAIL: $*" >&2
    shot 99-failure || true
    for log in viewer launcher; do
        if [ -s "$tmp/$log.log" ]; then
            echo "--- $log output ---" >&2
            tail -20 "$tmp/$log.log" >&2
        fi
    done
    exit 1
}

start_xvfb 1280x1024

XDG_CONFIG_HOME=$tmp/config XDG_CACHE_HOME=$tmp/cache openbox --sm-disable \
    >"$tmp/openbox.log" 2>&1 &
openbox=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until "openbox manages the screen" wm_ready

# The accessibility bus: started here rather than on demand, so that it is ours
# to stop and its failure to start shows up as such.
launcher_bin=''
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    if [ -x "$candidate" ]; then launcher_bin=$candidate; break; fi
done
[ -n "$launcher_bin" ] || fail "at-spi-bus-launcher is not installed (package at-spi2-core)"
"$launcher_bin" --launch-immediately >"$tmp/launcher.log" 2>&1 &
launcher=$!
bus_ready() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        2>/dev/null | grep -q 'unix:'
}
wait_until "the accessibility bus answers" bus_ready

QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
    "$program" >"$tmp/viewer.log" 2>&1 &
viewer=$!

# The system's python: pyatspi comes from Debian's python3-pyatspi.
/usr/bin/python3 "$here/probe.py" --pid "$viewer" --out "$out" || fail "see the lines above"
echo "a11y: all checks passed; tree in $out/tree.txt"
