#!/usr/bin/env bash
# Times the viewer's start with the no-splash switch on the 20,000-game
# synthetic database: from process start to the first frame of the main window
# that shows the game list and the first game's text (startup_probe.cpp says how
# that frame is found). Several programs are run in turn, round after round, so
# that a busy machine weighs on each alike; one round more runs first, unrecorded.
#
#   bench/startup/startup.sh [-n ROUNDS] [PROGRAM...]
#
# PROGRAM defaults to build/src/app/hintkeeper. Each one is copied into a folder
# of its own beside the database, as the viewer reads hintkeeper.dat from its
# own folder. Runs under the X server in DISPLAY, or starts Xvfb on
# :${HK_XVFB_DISPLAY:-88} when DISPLAY is empty. HK_PROBE and HK_HKPACK name
# other builds of startup_probe and hkpack.
#
# Prints, per program, the median and the least of the wall time and of the
# main thread's processor time to that frame, and the median time to the map.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
rounds=15
if [ "${1:-}" = "-n" ]; then
    rounds=$2
    shift 2
fi
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=("$top/build/src/app/hintkeeper")
probe=${HK_PROBE:-$top/build/bench/startup/startup_probe}
hkpack=${HK_HKPACK:-$top/build/tools/hkpack/hkpack}
for tool in "$probe" "$hkpack" "${programs[@]}"; do
    [ -x "$tool" ] || { echo "startup.sh: $tool is not built" >&2; exit 2; }
done

work=$(mktemp -d /tmp/hk-startup.XXXXXX)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

"$hkpack" synth 20000 "$work/hintkeeper.dat" >/dev/null
for i in "${!programs[@]}"; do
    mkdir -p "$work/p$i"
    cp "${programs[$i]}" "$work/p$i/hintkeeper"
    ln "$work/hintkeeper.dat" "$work/p$i/hintkeeper.dat"
done

if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:${HK_XVFB_DISPLAY:-88}
    # -noreset: without it Xvfb resets when its last client leaves and refuses
    # connections meanwhile, which ends the next run at once.
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

for round in $(seq 0 "$rounds"); do
    for i in "${!programs[@]}"; do
        line=$("$probe" "$work/p$i/hintkeeper" -ns 2>/dev/null) || {
            echo "startup.sh: no measurement from ${programs[$i]}" >&2
            continue
        }
        [ "$round" -gt 0 ] && echo "$line" >>"$work/results$i"
    done
done

# field NAME FILE: the values of NAME=..., sorted.
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$2" | sort -g; }
median() { awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }
for i in "${!programs[@]}"; do
    file=$work/results$i
    [ -s "$file" ] || continue
    printf '%s (%d runs): shown %s ms median, %s least; main thread %s ms median, %s least; mapped %s ms\n' \
        "${programs[$i]}" "$(wc -l <"$file")" \
        "$(field shown_ms "$file" | median)" "$(field shown_ms "$file" | head -1)" \
        "$(field shown_cpu_ms "$file" | median)" "$(field shown_cpu_ms "$file" | head -1)" \
        "$(field map_ms "$file" | median)"
done
