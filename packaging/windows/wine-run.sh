#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest (the cross build's emulator). Wine passes no
# environment variable whose name begins with QT_ to the program, but hands WINEQT_X over as
# QT_X: the tests' QT_ settings travel that way.
for name in $(compgen -e); do
    case $name in QT_*) export "WINE$name=${!name}" ;; esac
done
exec wine "$@"
