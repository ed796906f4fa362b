#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest (the cross build's emulator). Wine passes no
# environment variable whose name begins with QT_ to the program, but hands WINEQT_X over as
# QT_X: the tests' QT_ settings travel that way.
# Qt's headless platform on Windows reads fonts from one folder only: the Chinese face Debian
# installs (fonts-wqy-microhei), as Wine sees it.
if [ -z "${QT_QPA_FONTDIR:-}" ] && [ -d /usr/share/fonts/truetype/wqy ]; then
    export QT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\wqy'
fi
for name in $(compgen -e); do
    case $name in QT_*) export "WINE$name=${!name}" ;; esac
done
out=$(mktemp --suffix=.txt)
err=$(mktemp --suffix=.txt)
log=
trap 'rm -f "$out" "$err" ${log:+"$log"}' EXIT
# run: the program once, its output in $out and $err (a Qt test's log in $out too); its status.
run() {
    local status=0
    if [ -n "${LANSHAN_QTTEST_LOG:-}" ]; then
        # A Qt test under Wine has no console, so its log would go to the debugger: into a file.
        log=$(mktemp --suffix=.txt)
        wine "$@" -o "$log,txt" >"$out" 2>"$err" || status=$?
        cat "$log" >>"$out"
        rm -f "$log"
        log=
    else
        wine "$@" >"$out" 2>"$err" || status=$?
    fi
    return $status
}
status=0
run "$@" || status=$?
# Every test program writes something once it runs. A failure without a word means Wine did not
# start it (its server gone a moment, say): that is tried once more, and said.
if [ $status -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
    echo "wine-run: $1 ended with status $status before writing anything; run again" >&2
    status=0
    run "$@" || status=$?
fi
cat "$out"
cat "$err" >&2
exit $status
