#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those already there.
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
    # Qt's own texts in Chinese, compiled into the program.
    qt6-translations-l10n
    # The format check of test.sh.
    clang-format
    # The fuzzing targets (bench/fuzz.sh): clang and its libFuzzer and sanitizer runtimes.
    clang
    libclang-rt-14-dev
    # The packaging tests: the desktop entry and metainfo validators, and what cpack -G DEB
    # needs to find the package's dependencies (dpkg-shlibdeps, and file to spot the program).
    desktop-file-utils
    appstream
    dpkg-dev
    file
)
# Further packages named by the caller (packaging/windows/build.sh).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null; then
    echo "install-deps: apt-get not found; please install: ${missing[*]}" >&2
    exit 1
fi
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
