# shellcheck shell=bash disable=SC2154  # out and tmp are the caller's
# Sourced by the desktop checks (window_manager.sh, ../wayland/run.sh): reporting,
# bounded waits and an Xvfb of their own. The caller sets `out` (the screenshot
# folder) and `tmp` (its scratch folder, where viewer.log holds what the viewer
# wrote) and ends, in its EXIT trap, what it started.

passed=0
shot() { [ -n "${DISPLAY:-}" ] && import -window root "$out/$1.png" && echo "   screenshot $out/$1.png"; }
fail() {
    echo "FAIL: $*" >&2
    shot 99-failure || true
    if [ -s "$tmp/viewer.log" ]; then
        echo "--- viewer output ---" >&2
        tail -20 "$tmp/viewer.log" >&2
    fi
    exit 1
}
ok() {
    passed=$((passed + 1))
    echo "ok - $*"
}
# wait_until WHAT COMMAND...: polls COMMAND until it succeeds; gives up after
# 30 s, however long each poll takes.
wait_until() {
    local what=$1 deadline=$((SECONDS + 30))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "$what (gave up after 30 s)"
        sleep 0.1
    done
}

# A desktop's settings for its programs would move every pixel and window the
# checks look for: the viewer runs at one device pixel per logical pixel, in
# Qt's own style.
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
    QT_ENABLE_HIGHDPI_SCALING QT_SCALE_FACTOR_ROUNDING_POLICY QT_USE_PHYSICAL_DPI QT_FONT_DPI \
    QT_DEVICE_PIXEL_RATIO QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE

# start_xvfb WIDTHxHEIGHT: an Xvfb on display HK_XVFB_DISPLAY (a number) or on a
# free one; sets `xvfb` to its process and exports DISPLAY once it answers.
start_xvfb() {
    # -noreset: Xvfb otherwise resets whenever its last client leaves, and
    # refuses connections while it does.
    local args=(-screen 0 "${1}x24" -nolisten tcp -noreset)
    if [ -n "${HK_XVFB_DISPLAY:-}" ]; then
        Xvfb ":$HK_XVFB_DISPLAY" "${args[@]}" >"$tmp/xvfb.log" 2>&1 &
        xvfb=$!
        export DISPLAY=":$HK_XVFB_DISPLAY"
    else
        Xvfb -displayfd 3 "${args[@]}" 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
        xvfb=$!
        wait_until "Xvfb picks a display" grep -q '^[0-9]' "$tmp/display"
        DISPLAY=":$(head -1 "$tmp/display")"
        export DISPLAY
    fi
    wait_until "Xvfb answers on $DISPLAY" xdpyinfo >/dev/null 2>&1
}
