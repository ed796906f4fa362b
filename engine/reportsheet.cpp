#include "reportsheet.h"

#include "displaytext.h"
#include "reportwording.h"
#include "rowcells.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lanshan {

namespace {

constexpr std::size_t none = SIZE_MAX;

void appendCell(std::u16string &out, std::u16string_view text)
{
    std::u16string cell = visibleLine(text);
    if (cell.find(u'\t') != std::u16string::npos) {
        std::u16string shown;
        for (const char16_t c : cell) {
            if (c == u'\t')
                shown += u"〈制表符〉";
            else
                shown += c;
        }
        cell = std::move(shown);
    }
    if (!cell.starts_with(u'"')) {
        out += cell;
        return;
    }
    out += u'"';
    for (const char16_t c : cell) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

void appendNumber(std::u16string &out, std::size_t value)
{
    if (value != none)
        appendDecimal(out, value + 1);
}

// One finding: its group, key line and row (none for no number), the reason, the key and the
// row's cells.
void appendLine(std::u16string &out, std::u16string_view group, std::size_t keyLine, std::size_t row,
                std::u16string_view reason, std::u16string_view key, std::u16string_view rowText)
{
    out += group;
    out += u'\t';
    appendNumber(out, keyLine);
    out += u'\t';
    appendNumber(out, row);
    out += u'\t';
    out += reason;
    out += u'\t';
    appendCell(out, key);
    if (row != none) {
        forEachCell(rowText, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) {
            out += u'\t';
            appendCell(out, cell);
        });
    }
    out += u"\r\n";
}

} // namespace

std::u16string reportSheet(const FilterRun &run, const Reconciliation &report)
{
    const LineTable &keys = run.fixlines();
    const LineTable &rows = run.datalines();
    std::u16string out = u"类别\t序号\t行号\t原因\t关键字\t数据\r\n";

    auto missing = report.missing.cbegin();
    auto leftEmpty = report.leftEmpty.cbegin();
    while (missing != report.missing.cend() || leftEmpty != report.leftEmpty.cend()) {
        if (leftEmpty == report.leftEmpty.cend()
            || (missing != report.missing.cend() && missing->keyLine < leftEmpty->keyLine)) {
            const std::u16string_view key = keys[missing->keyLine];
            if (missing->nearRows.empty())
                appendLine(out, missingGroupWords, missing->keyLine, none, noNearRowWords, key, {});
            for (const NearRow &near : missing->nearRows)
                appendLine(out, missingGroupWords, missing->keyLine, near.row, causeWords(near.causes), key,
                           nearRowExcerpt(rows[near.row]));
            ++missing;
        } else {
            for (const std::size_t row : leftEmpty->rows)
                appendLine(out, leftEmptyGroupWords, leftEmpty->keyLine, row, keyRowWords, keys[leftEmpty->keyLine],
                           nearRowExcerpt(rows[row]));
            ++leftEmpty;
        }
    }
    for (const UnusedRow &unused : report.unused)
        appendLine(out, unusedGroupWords, none, unused.row, unusedReasonWords(unused.reason), {}, rows[unused.row]);
    for (const SuspectLine &suspect : report.suspect)
        appendLine(out, suspectGroupWords, suspect.keyLine, suspect.row, suspectWords(suspect, report.keyColumn),
                   keys[suspect.keyLine], nearRowExcerpt(rows[suspect.row]));
    return out;
}

} // namespace lanshan
