#!/usr/bin/env bash
# Times the program's start-up against a bare Qt window: startup_bench --window (the program's
# main() up to its first painted window) and startup_bench --bare (a QWidget with a text box,
# a button, a status bar and a QNetworkAccessManager), run alternately, each RUNS times, after
# one unrecorded pair that warms the file cache.
#
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a configured and built folder holding bench/startup_bench (default build-dev,
#              relative to the repository); this script builds nothing.
#   RUNS       runs of each mode (default 25).
#
# Every run is timed twice, in milliseconds:
#   expose  from just before the process is started (STARTUP_T0, read with date +%s%N) to the
#           moment its window's first exposure has been handled and painted, as the process
#           itself reports it: dynamic loading, static initialisation, QApplication, the window,
#           show() and the first paint;
#   total   the same start to the process's end, read from outside (adds the tear-down);
#   mapped  the same start to the moment the first exposure arrives: the window is on screen,
#           not yet painted.
# The table shows the median of each and the ratio window / bare. The platform is xcb; when
# DISPLAY is unset an Xvfb (1366x768x24) is started on a free display, and when
# DBUS_SESSION_BUS_ADDRESS is unset a private dbus-daemon; both are stopped at the end.
# The machine's other work makes single runs noisy: rely on the medians.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-dev}
[[ $build = /* ]] || build=$root/$build
runs=${2:-25}
bench=$build/bench/startup_bench
if [[ ! -x $bench ]]; then
    echo "startup.sh: $bench not found: build the target startup_bench first" >&2
    exit 1
fi
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
    echo "startup.sh: RUNS must be a positive number" >&2
    exit 2
fi

xvfb_pid=
bus_pid=
work=$(mktemp -d)
cleanup() {
    local pid
    for pid in $bus_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]]; then
    command -v Xvfb >/dev/null || { echo "startup.sh: DISPLAY is unset and Xvfb is missing" >&2; exit 1; }
    # Xvfb picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $work/display ]] && break
        sleep 0.05
    done
    [[ -s $work/display ]] || { echo "startup.sh: Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    export DISPLAY=:$(tr -d '[:space:]' < "$work/display")
fi
# Both modes connect to the session bus (Qt's accessibility bridge). Without one, libdbus forks
# to autolaunch a bus in every process, which a desktop never does and which adds noise: a
# private bus stands in for the desktop's when none is set.
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} ]] && command -v dbus-daemon >/dev/null; then
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" 2>/dev/null &
    bus_pid=$!
    for _ in $(seq 100); do
        [[ -s $work/bus ]] && break
        sleep 0.05
    done
    if [[ -s $work/bus ]]; then
        export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
    else
        echo "startup.sh: no private session bus; timing without one" >&2
    fi
fi
export QT_QPA_PLATFORM=xcb
# Qt warns on every start without one.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    mkdir -m 700 "$work/runtime"
    export XDG_RUNTIME_DIR=$work/runtime
fi

# One run: appends "expose total mapped" to $work/<mode>.
run() {
    local mode=$1 t0 t1 line
    t0=$(date +%s%N)
    line=$(STARTUP_T0=$t0 "$bench" "--$mode")
    t1=$(date +%s%N)
    read -r expose _ _ mapped <<<"$line"
    if [[ -z $expose || $expose = - ]]; then
        echo "startup.sh: --$mode printed no figure: '$line'" >&2
        exit 1
    fi
    echo "$expose $(( (t1 - t0) / 1000 )) $mapped" | awk '{ printf "%s %.2f %s\n", $1, $2 / 1000, $3 }' >> "$work/$mode"
}

median() { # column file
    awk -v c="$1" '{ print $c }' "$2" | sort -n | awk '
        { v[NR] = $1 }
        END { if (NR % 2) printf "%.1f", v[(NR + 1) / 2]; else printf "%.1f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

run bare; run window
: > "$work/bare"; : > "$work/window"
for i in $(seq "$runs"); do
    # The order within each pair alternates too, so that neither mode always comes first.
    if (( i % 2 )); then run bare; run window; else run window; run bare; fi
done

bare_expose=$(median 1 "$work/bare");  bare_total=$(median 2 "$work/bare");  bare_mapped=$(median 3 "$work/bare")
win_expose=$(median 1 "$work/window"); win_total=$(median 2 "$work/window"); win_mapped=$(median 3 "$work/window")
printf 'startup_bench, %d runs each, DISPLAY=%s, QT_QPA_PLATFORM=xcb, session bus %s, %s\n' \
    "$runs" "$DISPLAY" "$([[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] && echo set || echo none)" "$bench"
printf '%-8s %12s %12s %12s\n' mode 'expose (ms)' 'total (ms)' 'mapped (ms)'
printf '%-8s %12s %12s %12s\n' bare "$bare_expose" "$bare_total" "$bare_mapped"
printf '%-8s %12s %12s %12s\n' window "$win_expose" "$win_total" "$win_mapped"
awk -v be="$bare_expose" -v we="$win_expose" -v bt="$bare_total" -v wt="$win_total" \
    -v bm="$bare_mapped" -v wm="$win_mapped" 'BEGIN {
    printf "%-8s %12.2f %12.2f %12.2f\n", "ratio", we / be, wt / bt, wm / bm
    printf "%-8s %12.1f %12.1f %12.1f\n", "diff", we - be, wt - bt, wm - bm
}'
