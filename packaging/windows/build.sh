#!/usr/bin/env bash
# Builds the Windows edition on a Debian or Ubuntu machine, from this source and Debian's
# packages only: installs what is missing, builds Qt for MinGW-w64 once (build-qt.sh, cached
# outside the tree), cross-builds the program and its tests, and writes into build-windows/dist:
#   lanshan-filter.exe                        the portable program, one static, stripped file
#   lanshan-filter-<version>-win64-setup.exe  the installer
#
#   packaging/windows/build.sh          build only
#   packaging/windows/build.sh --test   then run every test under Wine (test.sh beside this file)
# LANSHAN_QT_WIN overrides where the Windows Qt is cached; the maker's values are set as for
# Linux, e.g. LANSHAN_CMAKE_ARGS="-DLANSHAN_WEB_HOST=example.org".
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cd "$root"

tools/install-deps.sh g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 ninja-build googletest \
    nsis wine wine64 xvfb openbox xdotool xclip xz-utils dpkg-dev

start=$SECONDS
qt=$("$here/build-qt.sh" | tail -n 1)
echo "build.sh: Qt for Windows in $qt ($((SECONDS - start)) s)"

build="$root/build-windows"
start=$SECONDS
# The windows preset: qt.toolchain.cmake loads the MinGW toolchain Qt was built with and finds
# the host's Qt tools; Wine runs the tests.
# shellcheck disable=SC2086
LANSHAN_QT_WIN=$qt cmake --preset windows ${LANSHAN_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel "$(nproc)"

dist="$build/dist"
rm -rf "$dist"
mkdir -p "$dist"
x86_64-w64-mingw32-strip -o "$dist/lanshan-filter.exe" "$build/ui/lanshan-filter.exe"
# The installer folder starts empty: the installer copied below, and the NSIS script smoke.sh
# reads, can only be those of the version built now.
rm -rf "$build/cpack"
(cd "$build" && cpack -G NSIS -B "$build/cpack" >/dev/null)
cp "$build"/cpack/lanshan-filter-*-win64-setup.exe "$dist/"
echo "build.sh: program built in $((SECONDS - start)) s:"
ls -l "$dist"

if [ "${1:-}" = --test ]; then
    "$here/test.sh" "$build"
fi
