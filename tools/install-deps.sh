#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those already there.
#
# Versions: none is pinned. Every package is named without a version and comes in the
# distribution's current one. Where a version cannot be left out, because a package's name
# carries it or a source must be the same version as an installed package, it is never written
# down but read from the installed package it has to match, with dpkg-query -W -f='${Version}':
# here the clang runtimes (libclang-rt-<major>-dev, the major of the installed clang), and in
# packaging/windows/build-qt.sh the Qt source (qt6-base=<the installed qt6-base-dev's version>).
set -euo pipefail

packages=(
    build-essential
    cmake
    libgtest-dev
    qt6-base-dev
    qt6-base-dev-tools
    libgl-dev
    fonts-wqy-microhei
    # The engine's character tables are made from the Unicode Character Database at build time.
    unicode-data
    bzip2
    # And from OpenCC's character tables (/usr/share/opencc/*Characters.ocd2): opencc has
    # opencc_dict, which writes them as text, and depends on the library package that holds
    # them (libopencc1.1, not named here as its name carries its version).
    opencc
    # Qt's own texts in Chinese, compiled into the program.
    qt6-translations-l10n
    # The format check of test.sh.
    clang-format
    # The fuzzing targets (bench/fuzz.sh): clang; its libFuzzer and sanitizer runtimes follow
    # below, once clang's version is known.
    clang
    # The packaging tests: the desktop entry and metainfo validators, and what cpack -G DEB
    # needs to find the package's dependencies (dpkg-shlibdeps, and file to spot the program).
    desktop-file-utils
    appstream
    dpkg-dev
    file
    # bench/hostile.sh: wall time and peak memory of each run (/usr/bin/time).
    time
)
# Further packages named by the caller (packaging/windows/build.sh).
packages+=("$@")

updated=
# install_missing PACKAGE...: installs those not installed yet.
install_missing() {
    local p missing=()
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    if ! command -v apt-get >/dev/null; then
        echo "install-deps: apt-get not found; please install: ${missing[*]}" >&2
        exit 1
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if [ -z "$updated" ]; then
        "${sudo[@]}" apt-get update -qq
        updated=1
    fi
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"

# The clang runtimes of the installed clang's major version (1:14.0-55.7~deb12u1: 14).
clang_version=$(dpkg-query -W -f='${Version}' clang)
clang_major=${clang_version#*:}
clang_major=${clang_major%%.*}
install_missing "libclang-rt-$clang_major-dev"
