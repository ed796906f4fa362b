#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lanshan {

class FilterRun;
struct ParsedColumns;

// Why a list of columns was refused.
enum class ColumnsFault { None, NotANumber, Zero, TooLarge, Reversed, TooMany, UnknownName, SameName };

// The result columns that a records system takes: column numbers from 1, in the order listed,
// as "3", "1,3", "2-4" or "4,1", or where the columns have names, by them ("数学", "1,数学").
// A selection of no column stands for whole rows.
class ColumnSelection
{
public:
    // The widest sheet a spreadsheet holds: no column beyond it, and no more listed in all, so
    // that a slip such as "1-1000000" cannot make a line of a million cells.
    static constexpr std::size_t maxColumns = 16384;

    // Items separated by commas (also "，" and "、") or spaces, each a number or a range "a-b"
    // ("－", "~" and "～" too); full-width digits count as digits. Only separators, or nothing,
    // is whole rows.
    // names: the header's cells, column 1 first. An item not written as numbers is then the
    // column whose cell it equals exactly, and so is everything between two commas where that
    // holds a space ("期中 成绩"). Items written as numbers stay numbers, whatever the header.
    static ParsedColumns parse(std::u16string_view text, std::span<const std::u16string> names = {});

    struct Range
    {
        std::size_t first; // from 1
        std::size_t last;  // first <= last
    };
    const std::vector<Range> &ranges() const { return m_ranges; }
    bool wholeRows() const { return m_ranges.empty(); }
    std::size_t columnCount() const;

    // The listed cells of a row, TAB between them; a cell the row lacks is empty. A line break
    // inside a cell stays in it.
    void appendCells(std::u16string_view row, std::u16string &out) const;
    // The selection in its plain form: "3", "1,3", "2-4".
    std::u16string text() const;

private:
    std::vector<Range> m_ranges;
};

struct ParsedColumns
{
    std::optional<ColumnSelection> selection; // none when there is a fault
    ColumnsFault fault = ColumnsFault::None;
    std::u16string item; // the item at fault, as written
    // UnknownName: the names that can be typed, each once, in the order of their columns.
    std::vector<std::u16string> names;
    // SameName: every column of that name.
    std::vector<std::size_t> columns;
};

// The run's result as the clipboard takes it: its lines joined by CR LF, each cut to the
// selection; a line without a row stays empty, so the lines stay beside their keys.
std::u16string selectedResultText(const FilterRun &run, const ColumnSelection &selection);

// The names of the data's columns where its first row is a header: no key line took it, and
// some column holds a word there above numbers in most of the rows below. Empty otherwise.
std::vector<std::u16string> headerNames(const FilterRun &run);

// The most cells any result line has.
std::size_t widestResultLine(const FilterRun &run);

} // namespace lanshan
