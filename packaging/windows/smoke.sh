#!/usr/bin/env bash
# Smoke tests of the Windows edition under Wine, as a user meets it: the portable .exe shows
# its window, runs the demo and leaves the result on the clipboard; the installer installs
# silently, the installed program starts, the uninstaller removes it again.
# Called by test.sh, which provides the virtual display and the Wine prefix.
#   smoke.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
dist="$build/dist"
exe="$dist/lanshan-filter.exe"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
# The installer of this version by its name, not by a pattern that a stale one would match too.
setup="$dist/lanshan-filter-$version-win64-setup.exe"
if [ ! -f "$setup" ]; then
    echo "smoke: no installer $setup" >&2
    exit 1
fi
title="岚杉数据筛选器 V$version"
work=$(mktemp -d)
failures=0

fail() { echo "smoke: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "smoke: ok: $*"; }

# Waits up to $2 seconds for a visible window whose name is exactly $1; prints its id.
wait_window() {
    local i id
    for i in $(seq $(($2 * 4))); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.25
    done
    return 1
}

# Gives a window the keyboard, as the user's click on it would. Keys then go through XTEST to
# the focused window, as typed ones do.
focus_window() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true; }

# Design positions of the controls, in pixels of the client area (twips / 15): their centres.
click_at() {
    focus_window "$1"
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Replaces the text of the box at ($2, $3) by the clipboard's: a click into it, Ctrl+A, Ctrl+V.
paste_into() {
    click_at "$1" "$2" "$3"
    xdotool key ctrl+a ctrl+v
}

# Answers the program's next message box (titled with the program's name alone) with Enter,
# and waits until it is gone.
answer_message() {
    local box
    for _ in 1 2 3; do
        box=$(wait_window "岚杉数据筛选器" 30) || return 1
        focus_window "$box"
        xdotool key Return
        for _ in $(seq 20); do
            xdotool search --onlyvisible --name "^岚杉数据筛选器\$" >/dev/null 2>&1 || return 0
            sleep 0.25
        done
    done
    return 1
}

# Closes the program as its close box does, and waits until Wine has nothing left running.
close_program() {
    wine taskkill /IM "$1" >/dev/null 2>&1 || true
    for _ in $(seq 40); do pgrep -f "$1" >/dev/null || break; sleep 0.25; done
    wineserver -k 2>/dev/null || true
    wineserver -w
}

# --- the portable program ------------------------------------------------------------------
wine "$exe" >"$work/exe.log" 2>&1 &
if win=$(wait_window "$title" 60); then
    pass "window \"$title\" appears"
    click_at "$win" 616 428          # 演示数据 (Command7): fills both boxes and says so
    answer_message || fail "no message after 演示数据"
    click_at "$win" 544 428          # 数据筛选 (Command1)
    if answer_message; then
        pass "the end-of-run message appears"
    else
        fail "no message after 数据筛选"
    fi
    # The Windows side of the clipboard, byte for byte: CR LF between the lines.
    wine "$build/tests/clipboardtool.exe" get "$work/clipboard.txt" || true
    # The expected result: the cross-built reorder tool on the same demo texts, with the
    # program's own CR LF line breaks.
    src=$(sed -n 's/^LanshanFilter_SOURCE_DIR:STATIC=//p' "$build/CMakeCache.txt")
    sed 's/$/\r/' "$src/resources/demo/keys.txt" >"$work/keys.txt"
    sed 's/$/\r/' "$src/resources/demo/rows.txt" >"$work/rows.txt"
    (cd "$work" && wine "$build/tools/reorder.exe" keys.txt rows.txt 2>/dev/null |
        sed -z 's/\n/\r\n/g' >expected.txt) || true
    if [ -s "$work/expected.txt" ] && cmp -s "$work/clipboard.txt" "$work/expected.txt"; then
        pass "the clipboard holds the demo result, CR LF between its lines"
    else
        fail "the clipboard does not hold the demo result"
        diff <(od -c "$work/expected.txt") <(od -c "$work/clipboard.txt") | head -n 20 >&2 || true
    fi
    # A double-click on the fourth status panel opens the home page through the system's own
    # handler for addresses; Wine's hands it to the browser named in its registry.
    printf '#!/bin/sh\necho "$@" >>"%s"\n' "$work/opened.txt" >"$work/browser.sh"
    chmod +x "$work/browser.sh"
    wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser.sh" /f >/dev/null 2>&1
    click_at "$win" 600 491
    sleep 1
    xdotool click --repeat 2 --delay 80 1
    for _ in $(seq 80); do [ -s "$work/opened.txt" ] && break; sleep 0.25; done
    if grep -q '^http://' "$work/opened.txt" 2>/dev/null; then
        pass "the status bar opens $(cat "$work/opened.txt") in the default browser"
    else
        fail "a double-click on the home-page panel opened no browser"
    fi
else
    fail "no window \"$title\" within 60 s"
    cat "$work/exe.log" >&2
fi
close_program lanshan-filter.exe

# Compares the Windows clipboard byte for byte with the file $1; $2 names the check.
expect_clipboard() {
    wine "$clipboardtool" get "$work/clipboard-now.txt" || true
    if cmp -s "$work/clipboard-now.txt" "$1"; then
        pass "$2"
    else
        fail "$2: the Windows clipboard holds something else"
        diff <(od -c "$1") <(od -c "$work/clipboard-now.txt") | head -n 20 >&2 || true
    fi
}

# Reads the Windows clipboard until it holds the file $1, for up to five seconds: a mnemonic
# presses its button late, and Wine draws later still. The check that follows says the outcome.
wait_clipboard() {
    for _ in $(seq 20); do
        wine "$clipboardtool" get "$work/clipboard-now.txt" || true
        cmp -s "$work/clipboard-now.txt" "$1" && break
        sleep 0.25
    done
}

# --- line breaks inside spreadsheet cells, through the Windows clipboard ------------------------
# Excel puts a sheet on the clipboard with CR LF between rows and a cell holding a line break
# quoted, with a lone LF inside. Pasted, filtered and copied back, every cell comes back whole.
clipboardtool="$build/tests/clipboardtool.exe"
printf '张三\r\n李四\r\n王五' >"$work/incell-keys.txt"
printf '李四\t90\t"备注第一行\n第二行"\r\n张三\t80\t好\r\n王五\t70\t"A\nB\nC"\r\n' >"$work/incell-rows.txt"
printf '张三\t80\t好\r\n李四\t90\t"备注第一行\n第二行"\r\n王五\t70\t"A\nB\nC"' >"$work/incell-expected.txt"
wine "$exe" >"$work/incell.log" 2>&1 &
if win=$(wait_window "$title" 60); then
    wine "$clipboardtool" put "$work/incell-keys.txt"
    paste_into "$win" 76 216         # Text1
    wine "$clipboardtool" put "$work/incell-rows.txt"
    paste_into "$win" 440 216        # Text2
    sleep 0.5
    click_at "$win" 544 428          # 数据筛选
    answer_message || fail "no message after 数据筛选 (in-cell breaks)"
    wine "$clipboardtool" get "$work/incell-result.txt"
    if cmp -s "$work/incell-result.txt" "$work/incell-expected.txt"; then
        pass "rows with line breaks inside cells come back whole on the Windows clipboard"
    else
        fail "in-cell line breaks: the Windows clipboard holds something else"
        diff <(od -c "$work/incell-expected.txt") <(od -c "$work/incell-result.txt") | head -n 20 >&2 || true
    fi
    # 复制列 (Alt+L): column 3 alone, a break inside a cell kept inside it. The box opens a
    # moment after the key (a mnemonic presses its button late, Wine draws later still); the
    # clipboard is read until it changes. Escape closes the box should it still be open, and
    # whatever happened no message is left over the window for the checks below.
    printf '好\r\n"备注第一行\n第二行"\r\n"A\nB\nC"' >"$work/incell-column3.txt"
    focus_window "$win"
    xdotool key alt+l
    sleep 2
    xdotool key 3 Return
    wait_clipboard "$work/incell-column3.txt"
    expect_clipboard "$work/incell-column3.txt" "复制列 (Alt+L, 3, Enter) puts column 3 on the Windows clipboard"
    xdotool key Escape
    if wait_window "岚杉数据筛选器" 1 >/dev/null; then answer_message || true; fi
    # Every other way out of a box keeps them too: the context menu's 复制 on the result (by
    # keyboard: Shift+F10, then its accelerator C), and Ctrl+X of the pasted rows.
    printf 'old' >"$work/old.txt"
    wine "$clipboardtool" put "$work/old.txt"
    click_at "$win" 440 216          # Text3, where Text2 was
    xdotool key ctrl+a shift+F10
    sleep 0.5
    xdotool key c
    sleep 0.3
    expect_clipboard "$work/incell-expected.txt" "the context menu's 复制 keeps in-cell line breaks"
    click_at "$win" 388 428          # 数据/结果: back to the data
    wine "$clipboardtool" put "$work/old.txt"
    click_at "$win" 440 216          # Text2
    xdotool key ctrl+a ctrl+x
    sleep 0.3
    expect_clipboard "$work/incell-rows.txt" "Ctrl+X keeps in-cell line breaks"
    # Shift+Enter typed between two keys ends the line, as Enter does.
    printf 'a1\t1\r\nb2\t2' >"$work/typed-rows.txt"
    wine "$clipboardtool" put "$work/typed-rows.txt"
    paste_into "$win" 440 216        # Text2
    click_at "$win" 76 216           # Text1
    xdotool key ctrl+a a 1 shift+Return b 2
    wine "$clipboardtool" put "$work/old.txt"
    click_at "$win" 544 428          # 数据筛选
    answer_message || fail "no message after 数据筛选 (Shift+Enter)"
    expect_clipboard "$work/typed-rows.txt" "Shift+Enter makes a new line of keys"
else
    fail "no window for the in-cell test"
fi
close_program lanshan-filter.exe

# --- slips that must not reach the clipboard ----------------------------------------------------
# The score sheet in the list's box and the names in the data's: the run says so, the clipboard
# keeps what it held, and the box's 交换后重新筛选 (Alt+S) exchanges the boxes and runs again.
printf '张三\t90\r\n李四\t80' >"$work/swap-keys.txt"
printf '李四\r\n张三' >"$work/swap-rows.txt"
printf '李四\t80\r\n张三\t90' >"$work/swap-result.txt"
printf '张三\t90\r\n李四\t80\r\n李四\t85' >"$work/twice-rows.txt"
wine "$exe" >"$work/slips.log" 2>&1 &
if win=$(wait_window "$title" 60); then
    wine "$clipboardtool" put "$work/swap-keys.txt"
    paste_into "$win" 76 216         # Text1
    wine "$clipboardtool" put "$work/swap-rows.txt"
    paste_into "$win" 440 216        # Text2
    wine "$clipboardtool" put "$work/old.txt"
    click_at "$win" 544 428          # 数据筛选
    if box=$(wait_window "岚杉数据筛选器" 30); then
        expect_clipboard "$work/old.txt" "boxes the wrong way round: the clipboard keeps what it held"
        focus_window "$box"
        xdotool key alt+s
        # The warning goes first; only then is the next box the run's own.
        for _ in $(seq 40); do
            xdotool search --onlyvisible --name "^岚杉数据筛选器\$" 2>/dev/null | grep -qx "$box" || break
            sleep 0.25
        done
        answer_message || fail "no message after 交换后重新筛选"
        expect_clipboard "$work/swap-result.txt" "交换后重新筛选 (Alt+S) puts the right result on the clipboard"
    else
        fail "no warning for boxes the wrong way round"
    fi
else
    fail "no window for the slips"
fi
close_program lanshan-filter.exe

# A double-click on 数据筛选 with a name in two rows: the second click, on 忽略留空 under the
# pointer, answers nothing. In a program of its own: under Wine the Alt of Alt+S above, released
# over the main window once the message box had closed, leaves the window's menu mode waiting
# for the next key.
printf '李四\r\n张三' >"$work/twice-keys.txt"
wine "$exe" >"$work/twice.log" 2>&1 &
if win=$(wait_window "$title" 60); then
    wine "$clipboardtool" put "$work/twice-keys.txt"
    paste_into "$win" 76 216         # Text1
    wine "$clipboardtool" put "$work/twice-rows.txt"
    paste_into "$win" 440 216        # Text2
    wine "$clipboardtool" put "$work/old.txt"
    focus_window "$win"
    xdotool mousemove --window "$win" 544 428 click --repeat 2 --delay 80 1
    sleep 2
    if wait_window "岚杉数据筛选器" 1 >/dev/null; then
        fail "a double-click on 数据筛选 answered the question"
        answer_message || true
    else
        expect_clipboard "$work/old.txt" "a double-click on 数据筛选 leaves the question open and the clipboard alone"
        # The second click left the keyboard where it was and no row selected: Enter asks for a
        # row rather than leaving the line empty (which would end the run and fill the clipboard).
        focus_window "$win"
        xdotool key Return
        if answer_message; then
            expect_clipboard "$work/old.txt" "Enter after a double-click on 数据筛选 asks for a row"
        else
            fail "no message after Enter on the question with no row selected"
        fi
    fi
else
    fail "no window for the double-click on 数据筛选"
fi
close_program lanshan-filter.exe

# --- the whole job by keyboard -----------------------------------------------------------------
# From the open window to one column on the clipboard: Ctrl+V, Tab, Ctrl+V, Ctrl+Enter, Enter,
# Alt+L, 3, Enter. Then a thousand questions, all left empty by one key (Alt+A).
printf '3\r\n1\r\n2' >"$work/job-keys.txt"
printf '1\t张三\t90\r\n2\t李四\t80\r\n3\t王五\t70' >"$work/job-rows.txt"
printf '70\r\n90\r\n80' >"$work/job-column.txt"
: >"$work/many-keys.txt"
: >"$work/many-rows.txt"
for i in $(seq 1000); do
    printf 'k%d\r\n' "$i" >>"$work/many-keys.txt"
    printf 'k%d\t1\r\nk%d\t2\r\n' "$i" "$i" >>"$work/many-rows.txt"
done
printf 'x' >>"$work/many-keys.txt"
wine "$exe" >"$work/job.log" 2>&1 &
if win=$(wait_window "$title" 60); then
    focus_window "$win"
    wine "$clipboardtool" put "$work/job-keys.txt"
    xdotool key ctrl+v Tab
    wine "$clipboardtool" put "$work/job-rows.txt"
    xdotool key ctrl+v ctrl+Return
    answer_message || fail "no message after Ctrl+Enter"
    focus_window "$win"
    xdotool key alt+l
    sleep 2
    xdotool key 3 Return
    wait_clipboard "$work/job-column.txt"
    expect_clipboard "$work/job-column.txt" "the job by keyboard: Ctrl+V, Tab, Ctrl+V, Ctrl+Enter, Enter, Alt+L, 3, Enter"
    xdotool key Escape
    # A thousand names in two rows each: Alt+A leaves them all empty and the run ends.
    click_at "$win" 388 428          # 数据/结果: back to the data
    wine "$clipboardtool" put "$work/many-keys.txt"
    paste_into "$win" 76 216         # Text1
    wine "$clipboardtool" put "$work/many-rows.txt"
    paste_into "$win" 440 216        # Text2
    focus_window "$win"
    xdotool key ctrl+Return
    sleep 2
    xdotool key alt+a
    if answer_message; then
        pass "a thousand questions left empty by one key (Alt+A)"
    else
        fail "no message after 余下全部留空 (Alt+A)"
    fi
else
    fail "no window for the job by keyboard"
fi
close_program lanshan-filter.exe

# --- display scaling --------------------------------------------------------------------------
# At 150 % and 200 % the window grows with the scale (its design size is 733 x 506 pixels).
for dpi in 144 192; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w
    wine "$exe" >/dev/null 2>&1 &
    if win=$(wait_window "$title" 60); then
        size=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
        want="$(((733 * dpi + 48) / 96))x$(((506 * dpi + 48) / 96))"
        if [ "$size" = "$want" ]; then
            pass "at $((dpi * 100 / 96)) % the window is $size"
        else
            fail "at $((dpi * 100 / 96)) % the window is $size, not $want"
        fi
    else
        fail "no window at $((dpi * 100 / 96)) %"
    fi
    close_program lanshan-filter.exe
done
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
wineserver -w

# --- the installer -------------------------------------------------------------------------
# Wine would mirror each Start-menu shortcut into this machine's own menus; not wanted here.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
# Chinese on any system: the window is "… 安装", not "… Setup", and the script makensis compiled
# keeps none of CPack's English texts.
installer_title="岚杉数据筛选器 $version 安装"
wine "$setup" >/dev/null 2>&1 &
if wait_window "$installer_title" 60 >/dev/null; then
    pass "the installer's window is titled in Chinese"
else
    fail "no installer window \"$installer_title\""
fi
close_program "$(basename "$setup")"
nsi=$(ls "$build"/cpack/_CPack_Packages/*/NSIS/project.nsi)
if grep -nE '^[^;]*(MUI_LANGUAGE "English"|is already installed|Install Options|CreateShortCut[^;]*Uninstall\.lnk|Uninstall failed)' \
    "$nsi" >&2; then
    fail "English texts in the installer"
else
    pass "no English CPack texts in the installer"
fi
# The finish page offers, ticked, to start the installed program; the Start-menu folder is
# named without the version.
if grep -q '^ *!define MUI_FINISHPAGE_RUN_TEXT "运行 岚杉数据筛选器"' "$nsi" &&
    grep -q '^ *!define MUI_FINISHPAGE_RUN "[$]INSTDIR\\.*lanshan-filter\.exe"' "$nsi" &&
    ! grep -q '^ *!define MUI_FINISHPAGE_RUN_NOTCHECKED' "$nsi" &&
    grep -q '^ *!define MUI_STARTMENUPAGE_DEFAULTFOLDER "岚杉数据筛选器"' "$nsi"; then
    pass "the finish page offers \"运行 岚杉数据筛选器\"; the Start-menu folder is \"岚杉数据筛选器\""
else
    fail "no finish-page run of lanshan-filter.exe or no Start-menu folder without the version in $nsi"
fi

# The Start menus of all users and of the current user, on this side.
win_folder() { winepath -u "$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null | sed 's:/*$::' || true; }
menu_all="$(win_folder ProgramData)/Microsoft/Windows/Start Menu/Programs"
menu_user="$(win_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
# The layout older installers left: a folder named with the version, the program's shortcut and
# the uninstaller's ("卸载", or CPack's "Uninstall"). Beside it a folder of the user's own whose
# name is no version, and an old folder holding a file of the user's: those stay.
old_layout() {
    local dir
    for dir in "$menu_all/岚杉数据筛选器 $version" "$menu_user/岚杉数据筛选器 2.0.13"; do
        mkdir -p "$dir"
        echo old >"$dir/岚杉数据筛选器.lnk"
        echo old >"$dir/卸载.lnk"
    done
    mkdir -p "$menu_all/岚杉数据筛选器 2.0.12" "$menu_user/岚杉数据筛选器 资料"
    echo old >"$menu_all/岚杉数据筛选器 2.0.12/Uninstall.lnk"
    echo mine >"$menu_all/岚杉数据筛选器 2.0.12/笔记.txt"
    echo mine >"$menu_user/岚杉数据筛选器 资料/岚杉数据筛选器.lnk"
}
# $1 names the moment: no folder named with a version is left but the one holding the user's
# file, which keeps only that file; the user's own folder is untouched.
expect_no_old_layout() {
    local stale
    stale=$(cd "$WINEPREFIX/drive_c" && find . -path '*Start Menu*' -name '岚杉数据筛选器 [0-9]*' \
        ! -path '*/岚杉数据筛选器 2.0.12')
    if [ -z "$stale" ] && [ "$(ls "$menu_all/岚杉数据筛选器 2.0.12")" = 笔记.txt ] &&
        [ -f "$menu_user/岚杉数据筛选器 资料/岚杉数据筛选器.lnk" ]; then
        pass "$1: no Start-menu folder of an older installer is left, the user's files stay"
    else
        fail "$1: stale Start-menu folders or lost files: ${stale:-none, but a file of the user is gone}"
    fi
}

programs="$WINEPREFIX/drive_c/Program Files/岚杉数据筛选器"
# An install left by an interrupted run goes first.
if [ -f "$programs/Uninstall.exe" ]; then
    wine "$programs/Uninstall.exe" /S >/dev/null 2>&1 || true
    wineserver -w
    sleep 2
fi
old_layout
installed=0
wine "$setup" /S >"$work/setup.log" 2>&1 || installed=$?
# A silent install starts nothing.
if wait_window "$title" 5 >/dev/null; then
    fail "the silent install started the program"
    close_program lanshan-filter.exe
else
    pass "the silent install does not start the program"
fi
wineserver -w
if [ $installed -eq 0 ] && [ -f "$programs/lanshan-filter.exe" ]; then
    pass "silent install into Program Files"
    menu=$(cd "$WINEPREFIX/drive_c" && find . -path '*Start Menu*' -type d -name '岚杉数据筛选器')
    if [ -n "$menu" ] && [ "$(printf '%s\n' "$menu" | wc -l)" = 1 ] &&
        [ -f "$WINEPREFIX/drive_c/$menu/岚杉数据筛选器.lnk" ] &&
        [ -f "$WINEPREFIX/drive_c/$menu/卸载 岚杉数据筛选器.lnk" ] &&
        [ "$(find "$WINEPREFIX/drive_c/$menu" -mindepth 1 | wc -l)" = 2 ]; then
        pass "Start-menu folder 岚杉数据筛选器 with 岚杉数据筛选器.lnk and 卸载 岚杉数据筛选器.lnk"
    else
        fail "no Start-menu folder 岚杉数据筛选器 with the two shortcuts: ${menu:-none}"
        ls -R "$menu_all" "$menu_user" >&2 || true
    fi
    expect_no_old_layout "install over the old layout"
    if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\lanshan-filter' \
        2>/dev/null | tr -d '\r' >"$work/uninstall-key.txt" && grep -q "DisplayVersion.*$version" "$work/uninstall-key.txt"; then
        pass "listed for uninstalling with version $version"
    else
        fail "no uninstall entry with the version"
    fi
    wine "$programs/lanshan-filter.exe" >"$work/installed.log" 2>&1 &
    if win=$(wait_window "$title" 60); then
        pass "the installed program starts"
    else
        fail "the installed program shows no window"
    fi
    close_program lanshan-filter.exe
    # The uninstaller too removes what older installers left.
    old_layout
    wine "$programs/Uninstall.exe" /S >"$work/uninstall.log" 2>&1 || true
    wineserver -w
    # The uninstaller copies itself away and returns at once; give it a moment.
    for _ in $(seq 40); do [ -e "$programs/lanshan-filter.exe" ] || break; sleep 0.25; done
    if [ ! -e "$programs/lanshan-filter.exe" ]; then
        pass "silent uninstall removes the program"
    else
        fail "the program is still installed after the uninstaller ran"
    fi
    if [ -z "$(cd "$WINEPREFIX/drive_c" && find . -path '*Start Menu*' -name '岚杉数据筛选器')" ]; then
        pass "silent uninstall removes the Start-menu folder"
    else
        fail "the Start-menu folder 岚杉数据筛选器 is still there after the uninstaller ran"
    fi
    expect_no_old_layout "uninstall"
else
    fail "silent install did not put lanshan-filter.exe into Program Files"
    cat "$work/setup.log" >&2
fi

# Through the installer's pages with Enter, as the user's clicks on 下一步 and 完成: the finish
# page's ticked checkbox starts the installed program. (From the Start-menu page on, a space
# ends the window's title.)
wine "$setup" >/dev/null 2>&1 &
started=
if setup_win=$(wait_window "$installer_title" 60); then
    for _ in $(seq 20); do
        if wait_window "$title" 1 >/dev/null; then started=1; break; fi
        setup_win=$(wait_window "$installer_title ?" 2) || continue
        focus_window "$setup_win"
        xdotool key Return
        sleep 1
    done
fi
if [ -n "$started" ]; then
    pass "the finish page's ticked \"运行 岚杉数据筛选器\" starts the program"
else
    fail "the program did not start from the installer's finish page"
fi
close_program lanshan-filter.exe
close_program "$(basename "$setup")"
if [ -f "$programs/Uninstall.exe" ]; then
    wine "$programs/Uninstall.exe" /S >/dev/null 2>&1 || true
    wineserver -w
fi
rm -rf "$menu_all/岚杉数据筛选器 2.0.12" "$menu_user/岚杉数据筛选器 资料"

rm -rf "$work"
if [ $failures -eq 0 ]; then
    echo "smoke: all checks passed"
else
    echo "smoke: $failures check(s) failed" >&2
    exit 1
fi
