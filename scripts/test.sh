#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test; then the
# same suite under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
# What a desktop sets for its programs (a scale factor, a font DPI, a theme or
# style) would move the pixels and windows the tests and checks look at.
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
    QT_ENABLE_HIGHDPI_SCALING QT_SCALE_FACTOR_ROUNDING_POLICY QT_USE_PHYSICAL_DPI QT_FONT_DPI \
    QT_DEVICE_PIXEL_RATIO QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
[ -f scripts/services.sh ] && source scripts/services.sh

bash scripts/build.sh build-ci -DHK_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build-ci --output-on-failure -j "$(nproc)" --timeout 900

# --- The viewer on a real X11 desktop: Xvfb, openbox, xdotool, xclip. ---
bash tests/xvfb/window_manager.sh build-ci/src/app/hintkeeper build-ci/window-manager-shots
# --- end of the real-desktop check ---

# --- The viewer on Wayland: weston headless, then weston's X11 backend in Xvfb. ---
bash tests/wayland/run.sh build-ci/src/app/hintkeeper build-ci/wayland-shots
# --- end of the Wayland check ---

# --- The viewer through a screen reader's eyes: AT-SPI under Xvfb and openbox. ---
bash tests/a11y/run.sh build-ci/src/app/hintkeeper build-ci/a11y
# --- end of the accessibility check ---

# --- Debian package ----------------------------------------------------------
# Built in Release by scripts/package.sh and checked: lintian without errors, the
# desktop entry and AppStream metadata, the file list, and the viewer unpacked
# from the package shown under Xvfb with its games. HK_SKIP_PACKAGE=1 skips it.
if [ "${HK_SKIP_PACKAGE:-0}" != 1 ]; then
    bash tests/package/check_package.sh
fi
# --- end of the Debian package check -----------------------------------------

if [ "${HK_SKIP_SANITIZERS:-0}" != 1 ]; then
    bash scripts/build.sh build-asan -DHK_WERROR=ON -DHK_SANITIZE=ON -DHK_BUILD_BENCH=OFF \
        -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 1800
fi
if [ "${HK_SKIP_FUZZ:-0}" != 1 ] && [ -f scripts/fuzz.sh ]; then
    bash scripts/fuzz.sh
fi
