#!/usr/bin/env bash
# Installs what is missing (Debian/Ubuntu), builds the program (Release, into build-release/)
# and starts its window. The build is the release preset of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake --preset release
cmake --build --preset release --parallel "$(nproc)"

program=build-release/ui/lanshan-filter
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); $program is built, start it from a desktop session" >&2
    exit 1
fi
exec "$program" "$@"
