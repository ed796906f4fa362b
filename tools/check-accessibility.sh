#!/usr/bin/env bash
# check-accessibility.sh [PROGRAM]: starts the program (build-dev/ui/lanshan-filter unless named)
# on a virtual display with its own D-Bus session and accessibility bus, reads its window
# through AT-SPI as a screen reader does, prints the tree and fails on what a screen reader
# user would miss: a main window that is not announced as one, an unnamed list, frame or
# button, or anything in the tree that is not showing.
# Needs: xvfb, dbus, at-spi2-core, python3-pyatspi (Debian packages).
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build-dev/ui/lanshan-filter}")
[ -x "$program" ] || { echo "check-accessibility: no program $program" >&2; exit 1; }

read -r -d '' walker <<'PY' || true
import sys, time
import pyatspi

def find_app(name):
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.1)
    sys.exit("check-accessibility: the program is not on the accessibility bus")

faults = []

def walk(node, depth):
    role = node.getRoleName()
    name = node.name or ""
    showing = node.getState().contains(pyatspi.STATE_SHOWING)
    print("  " * depth + f"{role} \"{name}\"" + ("" if showing else " (not showing)"))
    if not showing:
        faults.append(f"in the tree but not showing: {role} \"{name}\"")
    if role in ("list", "panel", "push button") and not name:
        faults.append(f"unnamed {role} under \"{node.parent.name}\"")
    if role == "list":
        return  # the items are the model's; their number may be large
    for child in node:
        if child is not None:
            walk(child, depth + 1)

app = find_app(sys.argv[1])
windows = [w for w in app if w is not None]
for window in windows:
    if window.getRoleName() != "frame":
        faults.append(f"the main window is announced as {window.getRoleName()}, not as a window")
    walk(window, 0)
for fault in faults:
    print("FAULT:", fault)
sys.exit(1 if faults else 0)
PY

export walker program
dbus-run-session -- bash -c '
    set -euo pipefail
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    bus=$!
    sleep 1
    "$program" >/dev/null 2>&1 &
    app=$!
    sleep 2
    status=0
    /usr/bin/python3 -c "$walker" "$(basename "$program")" || status=$?
    kill "$app" "$bus" "$xvfb" 2>/dev/null || true
    exit $status
'
