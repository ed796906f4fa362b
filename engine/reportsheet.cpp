#include "reportsheet.h"

#include "displaytext.h"
#include "reportwalk.h"
#include "reportwording.h"
#include "rowcells.h"

#include <cstddef>
#include <cstdint>
#include <optional>
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

// The lines of the findings, as walkReport() hands them over.
class SheetLines
{
public:
    SheetLines(const FilterRun &run, const Reconciliation &report, std::u16string &out)
        : m_report(report)
        , m_keys(run.fixlines())
        , m_rows(run.datalines())
        , m_keyColumn(report.keyColumn)
        , m_out(out)
    { }

    void missing(const MissingKey &missing)
    {
        const std::u16string_view key = m_keys[missing.keyLine];
        if (missing.nearRows.empty())
            appendLine(m_out, missingGroupWords, missing.keyLine, none, noNearRowWords, key, {});
        for (const NearRow &near : missing.nearRows)
            appendLine(m_out, missingGroupWords, missing.keyLine, near.row,
                       nearRowWords(m_report, near, key, m_rows[near.row]), key, nearRowExcerpt(m_rows[near.row]));
    }

    void leftEmpty(const LeftEmptyKey &leftEmpty)
    {
        for (const std::size_t row : leftEmpty.rows)
            appendLine(m_out, leftEmptyGroupWords, leftEmpty.keyLine, row, keyRowWords, m_keys[leftEmpty.keyLine],
                       nearRowExcerpt(m_rows[row]));
    }

    void unused(const UnusedRow &unused)
    {
        appendLine(m_out, unusedGroupWords, none, unused.row, unusedReasonWords(unused.reason), {}, m_rows[unused.row]);
    }

    void suspect(const SuspectLine &suspect)
    {
        appendLine(m_out, suspectGroupWords, suspect.keyLine, suspect.row, suspectWords(suspect, m_keyColumn),
                   m_keys[suspect.keyLine], nearRowExcerpt(m_rows[suspect.row]));
    }

    void taken(const TakenLine &taken)
    {
        const std::u16string_view key = m_keys[taken.keyLine];
        appendLine(m_out, takenGroupWords, taken.keyLine, taken.near.row,
                   nearRowWords(m_report, taken.near, key, m_rows[taken.near.row]), key,
                   nearRowExcerpt(m_rows[taken.near.row]));
    }

private:
    const Reconciliation &m_report;
    const LineTable &m_keys;
    const LineTable &m_rows;
    std::optional<std::size_t> m_keyColumn;
    std::u16string &m_out;
};

} // namespace

std::u16string reportSheet(const FilterRun &run, const Reconciliation &report)
{
    std::u16string out = u"类别\t序号\t行号\t原因\t关键字\t数据\r\n";
    SheetLines lines(run, report, out);
    walkReport(report, lines);
    return out;
}

} // namespace lanshan
