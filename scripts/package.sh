#!/usr/bin/env bash
# Builds the viewer and hkpack in Release, with Debian's hardening flags, into
# build-package/ and makes the Debian package there with CPack. The package's
# path is the last line of the output. Extra arguments go to CMake.
#
#   bash scripts/package.sh && sudo apt install ./build-package/hintkeeper_*_amd64.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${HK_PACKAGE_BUILD_DIR:-$top/build-package}
bash "$top/scripts/deps.sh"

# The flags a Debian package build gets (fortify, stack protector, relro, bind
# now); CMake does not read CPPFLAGS, so they join the compiler flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cflags="$(dpkg-buildflags --get CFLAGS) $cppflags"
# GCC 12 at -O3 warns of overlapping copies inside std::string's operator+
# (GCC bug 105329), a false alarm that warnings-as-errors would turn fatal.
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $cppflags -Wno-restrict"
ldflags=$(dpkg-buildflags --get LDFLAGS)
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DHK_WERROR=ON -DHK_BUILD_TESTS=OFF -DHK_BUILD_BENCH=OFF \
    "-DCMAKE_C_FLAGS=$cflags" "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" \
    "${launcher[@]}" "$@"
cmake --build "$dir" -j "$(nproc)"

rm -f "$dir"/hintkeeper_*.deb
(cd "$dir" && cpack -G DEB)
debs=("$dir"/hintkeeper_*_amd64.deb)
[ -f "${debs[0]}" ] || { echo "package.sh: cpack made no package" >&2; exit 1; }
echo "${debs[0]}"
