# shellcheck shell=bash
# Sourced by the Windows build's test scripts (test.sh): a virtual display, a window manager and
# a Wine prefix of the build's own, ready for Qt programs. Wine must see a display from its very
# first command: a Wine session begun without one keeps its windows invisible for good.
#
# wine_env_start DIR
#   DIR                   the Windows build folder; the Wine prefix is DIR/wine.
#   Reads:
#     LANSHAN_WINE_DISPLAY  when set, a display started earlier (by an outer wine_env_start):
#                           DISPLAY is used as it is and nothing is started.
#     WINEDEBUG             kept when set; otherwise -all.
#   Exports: WINEPREFIX, WINEDEBUG, WINEARCH=win64, WINEDLLOVERRIDES (no Mono or Gecko), and,
#     when it starts the display, DISPLAY and LANSHAN_WINE_DISPLAY (both the new display).
#   Sets: LANSHAN_XVFB_PID and LANSHAN_WM_PID (Xvfb and openbox), and the EXIT trap
#     wine_env_stop, replacing the caller's.
#   Makes, once per prefix: the prefix with the font substitutes below, marked by
#     DIR/wine/.lanshan-ready. Xvfb's messages go to DIR/xvfb.log.
#   Fails, saying why, when Xvfb does not start.
#
# wine_env_stop: ends the Wine session, openbox and Xvfb, and unsets LANSHAN_WINE_DISPLAY.

wine_env_start() {
    local dir=$1
    export WINEPREFIX="$dir/wine"
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEARCH=win64
    # No Mono or Gecko installer dialogs: nothing here needs .NET or the HTML engine.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # A Wine session still running from before may hold a display that is gone.
    wineserver -k >/dev/null 2>&1 || true
    if [ -z "${LANSHAN_WINE_DISPLAY:-}" ]; then
        local n
        for n in $(seq 90 120); do
            [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
        done
        Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
        LANSHAN_XVFB_PID=$!
        # Xvfb is up when its socket is there; it may instead have died (no Xvfb, the display
        # taken meanwhile). Up to 10 s.
        local waited
        for ((waited = 0; waited < 100; waited++)); do
            if [ -S "/tmp/.X11-unix/X$n" ] || ! kill -0 "$LANSHAN_XVFB_PID" 2>/dev/null; then
                break
            fi
            sleep 0.1
        done
        if ! kill -0 "$LANSHAN_XVFB_PID" 2>/dev/null; then
            echo "wine-env: Xvfb :$n exited at start (see $dir/xvfb.log):" >&2
            tail -n 20 "$dir/xvfb.log" >&2
            unset LANSHAN_XVFB_PID
            return 1
        fi
        if [ ! -S "/tmp/.X11-unix/X$n" ]; then
            echo "wine-env: Xvfb :$n runs but its socket /tmp/.X11-unix/X$n did not appear within 10 s" >&2
            kill "$LANSHAN_XVFB_PID" 2>/dev/null || true
            unset LANSHAN_XVFB_PID
            return 1
        fi
        export DISPLAY=":$n"
        openbox >/dev/null 2>&1 &
        LANSHAN_WM_PID=$!
        export LANSHAN_WINE_DISPLAY=$DISPLAY
        trap wine_env_stop EXIT
    fi
    if [ ! -f "$WINEPREFIX/.lanshan-ready" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        # Qt's default dialog font "MS Shell Dlg" and the designed 宋体 are missing in a fresh
        # prefix: map them to the Chinese face Debian installs (fonts-wqy-microhei). The
        # installer's pages ask for 宋体 by its Chinese name, hence a UTF-16 file.
        local reg="$WINEPREFIX/fonts.reg"
        { printf '\xff\xfe'
          printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"MS Shell Dlg"="WenQuanYi Micro Hei"\r\n"MS Shell Dlg 2"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n"宋体"="WenQuanYi Micro Hei"\r\n' |
              iconv -f UTF-8 -t UTF-16LE; } > "$reg"
        wine regedit /S "$reg" >/dev/null 2>&1 || true
        wineserver -w
        touch "$WINEPREFIX/.lanshan-ready"
    fi
}

wine_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${LANSHAN_WM_PID:-}" ]; then
        kill "$LANSHAN_WM_PID" 2>/dev/null || true
    fi
    if [ -n "${LANSHAN_XVFB_PID:-}" ]; then
        kill "$LANSHAN_XVFB_PID" 2>/dev/null || true
    fi
    unset LANSHAN_WINE_DISPLAY
    return 0
}
