# Sourced by the Windows build's test scripts: a virtual display, a window manager and a Wine
# prefix of the build's own, ready for Qt programs.
#   WINE_BUILD_DIR: the Windows build folder; the prefix is $WINE_BUILD_DIR/wine
# Wine must see a display from its very first command: a Wine session begun without one keeps
# its windows invisible for good.

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
        Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
        LANSHAN_XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
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
    [ -n "${LANSHAN_WM_PID:-}" ] && kill "$LANSHAN_WM_PID" 2>/dev/null
    [ -n "${LANSHAN_XVFB_PID:-}" ] && kill "$LANSHAN_XVFB_PID" 2>/dev/null
    unset LANSHAN_WINE_DISPLAY
    return 0
}
