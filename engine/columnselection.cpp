#include "columnselection.h"

#include "filterrun.h"
#include "linetable.h"
#include "rowcells.h"

#include <algorithm>

namespace lanshan {

namespace {

bool isSeparator(char16_t c)
{
    return c == u',' || c == u'，' || c == u'、' || c == u' ' || c == u'\t' || c == u'\u3000';
}

bool isRangeMark(char16_t c)
{
    return c == u'-' || c == u'－' || c == u'~' || c == u'～';
}

// A column number written in ASCII or full-width digits, capped just above the limit.
std::optional<std::size_t> columnNumber(std::u16string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::size_t value = 0;
    for (const char16_t c : text) {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'０' && c <= u'９')
            digit = c - u'０';
        if (digit < 0)
            return std::nullopt;
        value = std::min(value * 10 + static_cast<std::size_t>(digit), ColumnSelection::maxColumns + 1);
    }
    return value;
}

bool isNumber(std::u16string_view cell)
{
    const auto begin = cell.find_first_not_of(u' ');
    if (begin == std::u16string_view::npos)
        return false;
    cell = cell.substr(begin, cell.find_last_not_of(u' ') - begin + 1);
    bool digit = false;
    for (const char16_t c : cell) {
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c != u'.' && c != u'-' && c != u'+')
            return false;
    }
    return digit;
}

} // namespace

ParsedColumns ColumnSelection::parse(std::u16string_view text)
{
    ParsedColumns parsed;
    ColumnSelection selection;
    std::size_t listed = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (isSeparator(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        const std::u16string_view item = text.substr(at, end - at);
        at = end;
        const auto fail = [&](ColumnsFault fault) {
            parsed.fault = fault;
            parsed.item = std::u16string(item);
            return parsed;
        };
        std::size_t mark = 1;
        while (mark < item.size() && !isRangeMark(item[mark]))
            ++mark;
        const auto first = columnNumber(item.substr(0, mark));
        const auto last = mark < item.size() ? columnNumber(item.substr(mark + 1)) : first;
        if (!first || !last)
            return fail(ColumnsFault::NotANumber);
        if (*first == 0 || *last == 0)
            return fail(ColumnsFault::Zero);
        if (*first > maxColumns || *last > maxColumns)
            return fail(ColumnsFault::TooLarge);
        if (*first > *last)
            return fail(ColumnsFault::Reversed);
        listed += *last - *first + 1;
        if (listed > maxColumns)
            return fail(ColumnsFault::TooMany);
        selection.m_ranges.push_back({*first, *last});
    }
    parsed.selection = std::move(selection);
    return parsed;
}

std::size_t ColumnSelection::columnCount() const
{
    std::size_t count = 0;
    for (const Range &range : m_ranges)
        count += range.last - range.first + 1;
    return count;
}

void ColumnSelection::appendCells(std::u16string_view row, std::u16string &out) const
{
    // Where each cell begins and ends, once per row; the listed columns are then looked up.
    thread_local std::vector<std::u16string_view> cells;
    cells.clear();
    forEachCell(row, [](std::u16string_view cell, std::size_t, std::uint32_t, bool) { cells.push_back(cell); });
    bool first = true;
    for (const Range &range : m_ranges) {
        for (std::size_t column = range.first; column <= range.last; ++column) {
            if (!first)
                out += u'\t';
            first = false;
            if (column <= cells.size())
                out += cells[column - 1];
        }
    }
}

std::u16string ColumnSelection::text() const
{
    std::u16string text;
    for (const Range &range : m_ranges) {
        if (!text.empty())
            text += u',';
        const auto number = [](std::size_t n) {
            const std::string digits = std::to_string(n);
            return std::u16string(digits.begin(), digits.end());
        };
        text += number(range.first);
        if (range.last != range.first)
            text += u'-' + number(range.last);
    }
    return text;
}

std::u16string selectedResultText(const FilterRun &run, const ColumnSelection &selection)
{
    if (selection.wholeRows())
        return run.resultText();
    std::u16string text;
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (i > 0)
            text += u"\r\n";
        if (run.resultRow(i))
            selection.appendCells(run.result(i), text);
    }
    return text;
}

std::vector<std::u16string> headerNames(const FilterRun &run)
{
    const LineTable &data = run.datalines();
    if (data.size() < 2)
        return {};
    for (std::size_t i = 0; i < run.resultCount(); ++i)
        if (run.resultRow(i) == 0u)
            return {};
    std::vector<std::u16string> names;
    forEachCell(data[0], [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { names.emplace_back(cell); });
    // A word above numbers: a few rows below are enough to tell, and the check stays short.
    constexpr std::size_t looked = 50;
    const std::size_t rows = std::min(data.size() - 1, looked);
    std::vector<std::size_t> numbers(names.size(), 0);
    for (std::size_t r = 1; r <= rows; ++r) {
        forEachCell(data[r], [&](std::u16string_view cell, std::size_t, std::uint32_t index, bool) {
            if (index >= names.size())
                return true;
            numbers[index] += isNumber(cell) ? 1 : 0;
            return false;
        });
    }
    for (std::size_t c = 0; c < names.size(); ++c) {
        const bool word = !names[c].empty() && !isNumber(names[c]);
        if (word && numbers[c] * 2 > rows)
            return names;
    }
    return {};
}

std::size_t widestResultLine(const FilterRun &run)
{
    std::size_t widest = 0;
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (!run.resultRow(i))
            continue;
        std::size_t cells = 1;
        for (const char16_t c : run.result(i))
            cells += c == u'\t' ? 1 : 0;
        widest = std::max(widest, cells);
    }
    return widest;
}

} // namespace lanshan
