#include "columnselection.h"

#include "displaytext.h"
#include "filterrun.h"
#include "linetable.h"
#include "rowcells.h"

#include <algorithm>
#include <unordered_map>

namespace lanshan {

namespace {

// Between items; a comma ends a name, a space only where the words are no name together.
bool isListSeparator(char16_t c)
{
    return c == u',' || c == u'，' || c == u'、';
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
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

struct Numbers
{
    std::size_t first;
    std::size_t last;
};

// The columns of an item written as a number or a range, or nothing where it is written
// otherwise: then it may be a name.
std::optional<Numbers> numbersOf(std::u16string_view item)
{
    std::size_t mark = 1;
    while (mark < item.size() && !isRangeMark(item[mark]))
        ++mark;
    const auto first = columnNumber(item.substr(0, mark));
    const auto last = mark < item.size() ? columnNumber(item.substr(mark + 1)) : first;
    if (!first || !last)
        return std::nullopt;
    return Numbers{*first, *last};
}

std::u16string_view withoutOuterSpaces(std::u16string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Calls take(word) for each word of text between spaces, until it returns false; false then.
template<typename Take>
bool forEachWord(std::u16string_view text, Take take)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (isSpace(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !isSpace(text[end]))
            ++end;
        if (!take(text.substr(at, end - at)))
            return false;
        at = end;
    }
    return true;
}

// Numbers, however many words: "3", "1 2", "2-4".
bool writtenAsNumbers(std::u16string_view text)
{
    return !withoutOuterSpaces(text).empty()
           && forEachWord(text, [](std::u16string_view word) { return numbersOf(word).has_value(); });
}

// The header's columns by name. A name that cannot be typed as one item is left out: empty, with
// a comma or outer spaces, or written as numbers, which mean the numbers.
class NameIndex
{
public:
    explicit NameIndex(std::span<const std::u16string> names)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::u16string_view name = names[i];
            if (name.empty() || withoutOuterSpaces(name).size() != name.size() || writtenAsNumbers(name)
                || std::ranges::any_of(name, isListSeparator))
                continue;
            auto [at, fresh] = m_columns.try_emplace(name);
            if (fresh)
                m_order.push_back(name);
            at->second.push_back(i + 1);
        }
    }

    bool empty() const { return m_order.empty(); }
    // The columns of that name, from 1; nothing where no column has it.
    const std::vector<std::size_t> *find(std::u16string_view name) const
    {
        const auto at = m_columns.find(name);
        return at == m_columns.end() ? nullptr : &at->second;
    }
    std::vector<std::u16string> names() const { return {m_order.begin(), m_order.end()}; }

private:
    std::unordered_map<std::u16string_view, std::vector<std::size_t>> m_columns;
    std::vector<std::u16string_view> m_order;
};

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

ParsedColumns ColumnSelection::parse(std::u16string_view text, std::span<const std::u16string> names)
{
    ParsedColumns parsed;
    ColumnSelection selection;
    std::size_t listed = 0;
    // Made at the first item that is no number: a list of numbers never reads the header.
    std::optional<NameIndex> index;
    const auto nameIndex = [&]() -> const NameIndex & {
        if (!index)
            index.emplace(names);
        return *index;
    };
    const auto fail = [&](ColumnsFault fault, std::u16string_view item) {
        parsed.fault = fault;
        parsed.item = std::u16string(item);
        return false;
    };
    const auto add = [&](std::size_t first, std::size_t last, std::u16string_view item) {
        listed += last - first + 1;
        if (listed > maxColumns)
            return fail(ColumnsFault::TooMany, item);
        selection.m_ranges.push_back({first, last});
        return true;
    };
    const auto addNumbers = [&](const Numbers &numbers, std::u16string_view item) {
        if (numbers.first == 0 || numbers.last == 0)
            return fail(ColumnsFault::Zero, item);
        if (numbers.first > maxColumns || numbers.last > maxColumns)
            return fail(ColumnsFault::TooLarge, item);
        if (numbers.first > numbers.last)
            return fail(ColumnsFault::Reversed, item);
        return add(numbers.first, numbers.last, item);
    };
    // A name of two columns is refused: which one was meant cannot be told.
    const auto addNamed = [&](const std::vector<std::size_t> &columns, std::u16string_view item) {
        if (columns.size() > 1) {
            parsed.columns = columns;
            return fail(ColumnsFault::SameName, item);
        }
        return add(columns.front(), columns.front(), item);
    };
    const auto addWord = [&](std::u16string_view word) {
        if (const auto numbers = numbersOf(word))
            return addNumbers(*numbers, word);
        if (nameIndex().empty())
            return fail(ColumnsFault::NotANumber, word);
        if (const std::vector<std::size_t> *columns = nameIndex().find(word))
            return addNamed(*columns, word);
        parsed.names = nameIndex().names();
        return fail(ColumnsFault::UnknownName, word);
    };

    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && !isListSeparator(text[end]))
            ++end;
        const std::u16string_view between = withoutOuterSpaces(text.substr(at, end - at));
        at = end + 1;
        // A name with spaces inside, alone between its commas.
        if (!names.empty() && std::ranges::any_of(between, isSpace) && !writtenAsNumbers(between)) {
            if (const std::vector<std::size_t> *columns = nameIndex().find(between)) {
                if (!addNamed(*columns, between))
                    return parsed;
                continue;
            }
        }
        if (!forEachWord(between, addWord))
            return parsed;
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
        appendDecimal(text, range.first);
        if (range.last != range.first) {
            text += u'-';
            appendDecimal(text, range.last);
        }
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
