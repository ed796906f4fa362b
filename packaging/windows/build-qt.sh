#!/usr/bin/env bash
# Builds Qt's base module for 64-bit Windows (static, MinGW-w64) once, from Debian's source
# package of the same version as the host Qt, whose tools (moc, rcc, uic) it reuses.
# The result is cached outside the tree and reused on every later run.
#   LANSHAN_QT_WIN: where the finished Qt lives (default ~/.cache/lanshan-filter/qt6-win64-static)
# Prints the prefix on its last line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# The one version this build needs, read from the installed package it must match, as
# tools/install-deps.sh says for every version: the host's qt6-base-dev, e.g. 6.4.2+dfsg-10.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
upstream=${upstream%%-*}
prefix=${LANSHAN_QT_WIN:-${XDG_CACHE_HOME:-$HOME/.cache}/lanshan-filter/qt6-win64-static}
stamp="$prefix/.built-from"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
    echo "$prefix"
    exit 0
fi

work="$prefix.work"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# Debian's source package, through a private apt configuration with a deb-src entry, so the
# system's own sources stay untouched.
mkdir -p apt/lists/partial apt/archives/partial
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null \
    | grep -v -- '-security' | head -n1 || true)
mirror=${mirror:-http://deb.debian.org/debian}
echo "deb-src $mirror $codename main" > apt/sources.list
apt_opts=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache::Archives="$work/apt/archives"
    -o APT::Sandbox::User=root)
echo "build-qt: fetching Debian's source of qt6-base $version from $mirror"
apt-get "${apt_opts[@]}" -qq update
apt-get "${apt_opts[@]}" -qq source --only-source "qt6-base=$version"
src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[ -n "$src" ] || { echo "build-qt: the source package did not unpack" >&2; exit 1; }

# Host Qt's tools and CMake packages.
hostcmake=/usr/lib/$(gcc -dumpmachine)/cmake
echo "build-qt: configuring Qt $upstream for win32-g++ (static)"
mkdir build
cd build
"../$src/configure" -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr \
    -release -static -static-runtime -opensource -confirm-license \
    -nomake examples -nomake tests -nomake benchmarks \
    -no-opengl -no-dbus -no-feature-sql -no-feature-tabletevent -schannel -no-openssl \
    -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype -no-icu \
    -- -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
       -DQT_HOST_PATH_CMAKE_DIR="$hostcmake" -DQt6HostInfo_DIR="$hostcmake/Qt6HostInfo" \
    > ../configure.log 2>&1 || { tail -n 60 ../configure.log >&2; exit 1; }
echo "build-qt: building (about 20 minutes on 2 cores)"
cmake --build . --parallel "$(nproc)" > ../build.log 2>&1 || { tail -n 60 ../build.log >&2; exit 1; }
rm -rf "$prefix"
cmake --install . > ../install.log 2>&1 || { tail -n 30 ../install.log >&2; exit 1; }
cd /
echo "$version" > "$stamp"
rm -rf "$work"
echo "$prefix"
