#!/usr/bin/env bash
# Runs the Windows build's tests under Wine on a virtual display: every cross-built test
# program through CTest (Wine is the build's emulator), then the smoke tests of the real
# lanshan-filter.exe and of the installer (smoke.sh).
#   packaging/windows/test.sh [BUILD_DIR]     (default build-windows; build.sh makes it)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build-windows}" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine-env.sh
. "$here/wine-env.sh"
wine_env_start "$build"

status=0
"$here/smoke.sh" "$build" || status=1
# One Wine server for the whole run: without it the server ends a moment after the last program
# does, and a test starting in that moment finds it gone ("wine client error ... Connection reset
# by peer") and fails without having run. wine_env_stop ends it.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p
# Wine's own services start with a session's first program and then live as long as the server:
# started here, they hold no test's output open (a test's listing would never end).
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" || status=1
exit $status
