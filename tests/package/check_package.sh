#!/usr/bin/env bash
# Checks the Debian package as a distribution and a user meet it: lintian finds
# no error, the desktop entry and the AppStream metadata validate, the package
# holds exactly the expected files with their modes, the binaries are stripped,
# and the viewer started as usr/bin/hintkeeper from the package unpacked into a
# temporary folder shows its main window with the bundled games under Xvfb.
#
#   tests/package/check_package.sh [PACKAGE.deb]   (default: made by scripts/package.sh)
#
# HK_XVFB_DISPLAY=N runs Xvfb on :N (default: the first free display). The last
# screenshot is left at $HK_PACKAGE_SHOT (default /tmp/hk-package/main.png).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
shot=${HK_PACKAGE_SHOT:-/tmp/hk-package/main.png}
work=$(mktemp -d)
xvfb=
viewer=
cleanup() {
    local status=$?
    set +e
    if [ -n "$viewer" ]; then kill "$viewer" 2>/dev/null && wait "$viewer" 2>/dev/null; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null; fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
fail() {
    echo "check_package: $*" >&2
    exit 1
}

deb=${1:-}
if [ -z "$deb" ]; then
    if ! bash "$top/scripts/package.sh" >"$work/package.log" 2>&1; then
        tail -n 60 "$work/package.log" >&2
        fail "scripts/package.sh failed"
    fi
    deb=$(tail -n 1 "$work/package.log")
fi
[ -f "$deb" ] || fail "no package at $deb"
echo "== package $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

echo "== file list"
# Mode, owner and path (and a link's target) of every entry, sizes and dates left out.
dpkg-deb -c "$deb" | awk '{ line = $1 " " $2; for (i = 6; i <= NF; i++) line = line " " $i; print line }' |
    LC_ALL=C sort -k3 >"$work/files.txt"
diff -u "$here/expected_files.txt" "$work/files.txt" || fail "the package's files differ from tests/package/expected_files.txt"
dpkg-deb -f "$deb" Depends | grep -q 'fonts-liberation2' || fail "no dependency on fonts-liberation2"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "shlibdeps found no Qt dependency"

root=$work/root
dpkg-deb -x "$deb" "$root"
for binary in usr/lib/hintkeeper/hintkeeper usr/bin/hkpack; do
    file -L "$root/$binary" | grep -q ', stripped' || fail "$binary is not stripped"
done

echo "== desktop entry and AppStream metadata"
desktop-file-validate "$root/usr/share/applications/ru.hintkeeper.Hintkeeper.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/ru.hintkeeper.Hintkeeper.metainfo.xml" ||
    fail "appstreamcli validate"

echo "== the unpacked viewer under Xvfb"
# -noreset: Xvfb would reset whenever its last client leaves, refusing clients meanwhile.
if [ -n "${HK_XVFB_DISPLAY:-}" ]; then
    display=:$HK_XVFB_DISPLAY
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
else
    # Xvfb picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    display=:$(head -n 1 "$work/display")
fi
export DISPLAY=$display
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start on $display"

# From another folder and through the link, as the menu entry starts it.
(cd "$work" && exec env QT_QPA_PLATFORM=xcb "$root/usr/bin/hintkeeper" >"$work/viewer.log" 2>&1) &
viewer=$!
# Polled rather than --sync: a search walks every window, and the splash closing
# under it makes that one search die on an X error (BadWindow); the next one is fine.
win=
for _ in $(seq 600); do
    win=$(xdotool search --onlyvisible --name '^Hintkeeper v1\.30$' 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended: $(cat "$work/viewer.log")"
    sleep 0.1
done
[ -n "$win" ] || fail "the main window did not appear"

# The games are there when End in the list selects the last one: the list and
# the codes view below the (animated) banner strip change. An empty list, or an
# error box in front, changes nothing.
eval "$(xdotool getwindowgeometry --shell "$win")" # WIDTH, HEIGHT
region=${WIDTH}x$((HEIGHT - 110 - 58))+0+110
grab() { import -window "$win" -crop "$region" +repage "rgb:$1"; }
xdotool windowfocus --sync "$win"
grab "$work/before.rgb"
xdotool key End
changed=
for _ in $(seq 300); do
    grab "$work/after.rgb"
    if ! cmp -s "$work/before.rgb" "$work/after.rgb"; then changed=1 && break; fi
    sleep 0.1
done
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "screenshot: $shot"
if xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1; then
    fail "the viewer shows an error box (see $shot)"
fi
[ -n "$changed" ] || fail "the list did not move to its last game (see $shot)"
kill -0 "$viewer" 2>/dev/null || fail "the viewer ended: $(cat "$work/viewer.log")"
echo "check_package: all checks passed"
