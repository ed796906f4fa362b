#!/usr/bin/env bash
# Installs what is missing (Debian/Ubuntu), builds the program (Release, into build-release/)
# and starts its window.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DLANSHAN_BUILD_TESTS=OFF -DLANSHAN_BUILD_BENCH=OFF
cmake --build build-release --parallel "$(nproc)" --target lanshan-filter

program=build-release/ui/lanshan-filter
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); $program is built, start it from a desktop session" >&2
    exit 1
fi
exec "$program" "$@"
