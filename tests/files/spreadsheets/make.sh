#!/usr/bin/env bash
# Makes the spreadsheet files the readers are tested on, with LibreOffice Calc (Debian package
# libreoffice-calc) from scores.fods: two sheets, 名单 (a 学号 as a number, one typed as text
# with a leading zero) and 成绩 (whole numbers, two fixed decimals, a sum by formula, dates in
# yyyy/m/d, a percent, 0.1+0.2 and 1/3 by formula, a boolean, an in-cell line break, a double
# quote and a TAB in a cell). Written beside this script:
#   scores.xlsx, scores.xls                the whole workbook
#   scores-成绩-gb18030.csv                 the second sheet as a CSV in GB18030
#   scores-成绩-utf8.csv                    the same in UTF-8 (this Calc writes no byte-order mark)
#   scores-成绩-utf16.txt                   the same as TAB-separated UTF-16 text, with its mark
# Each sheet is written as shown (the cells' formats applied), as Calc's own dialog does.
# Usage: tests/files/spreadsheets/make.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command -v soffice >/dev/null || { echo "make.sh: soffice missing: install libreoffice-calc" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of its own, so that a running Calc or the user's settings play no part.
calc() { HOME="$work" soffice --headless -env:UserInstallation="file://$work/profile" "$@" >/dev/null 2>&1; }

calc --convert-to xlsx --outdir "$work" "$here/scores.fods"
calc --convert-to xls --outdir "$work" "$here/scores.fods"
cp "$work/scores.xlsx" "$work/scores.xls" "$here/"
# The CSV filter's options: separator, quote, character set (85 GB18030, 76 UTF-8, 65535
# UTF-16), first line, column formats, language, quote all text, detect special numbers, save as
# shown, export formulas, remove spaces, the sheet (2: 成绩).
for output in "gb18030.csv:44,34,85" "utf8.csv:44,34,76" "utf16.txt:9,34,65535"; do
    name=${output%%:*}
    rm -f "$work"/*.csv
    calc --convert-to "csv:Text - txt - csv (StarCalc):${output#*:},1,,0,false,true,true,false,false,2" \
        --outdir "$work" "$here/scores.fods"
    cp "$work"/scores-*.csv "$here/scores-成绩-$name"
done
ls -l "$here"
