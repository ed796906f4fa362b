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
if [ -n "${LANSHAN_QTTEST_LOG:-}" ]; then
    # A Qt test under Wine has no console, so its log would go to the debugger: into a file.
    log=$(mktemp --suffix=.txt)
    status=0
    wine "$@" -o "$log,txt" || status=$?
    cat "$log"
    rm -f "$log"
    exit $status
fi
exec wine "$@"
