#include "keycolumnspare.h"

#include "filterrun.h"
#include "keyrule.h"
#include "rowcells.h"

#include <string_view>
#include <unordered_map>

namespace lanshan {

bool keyColumnSettlesAQuestion(const FilterRun &run, std::size_t column)
{
    if (column == 0)
        return false;
    // In one column a row belongs to a key when its cell there is the key, the last cell too:
    // every row is looked at once, for the keys of the questionable lines only.
    std::unordered_map<std::u16string_view, std::size_t> rowsInColumn;
    const LineTable &keys = run.fixlines();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (run.confirmedRows(i).size() > 1 && keys[i].find(u'\t') == std::u16string_view::npos)
            rowsInColumn.emplace(keys[i], 0);
    }
    if (rowsInColumn.empty())
        return false;
    const LineTable &rows = run.datalines();
    const auto wanted = static_cast<std::uint32_t>(column - 1);
    for (std::size_t j = 0; j < rows.size(); ++j) {
        forEachCell(rows[j], [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            if (at < wanted)
                return false;
            if (const auto found = rowsInColumn.find(cell); found != rowsInColumn.end())
                ++found->second;
            return true;
        });
    }
    for (const auto &[key, count] : rowsInColumn) {
        if (count == 1)
            return true;
    }
    return false;
}

namespace {

// Whether the row holds the list line's cells each in its column where one is given, and the
// others in any cell left: the rule of a run with those columns, for a row the rule found.
bool holdsInColumns(std::u16string_view line, std::u16string_view row, const std::vector<std::uint32_t> &columns)
{
    std::vector<std::u16string_view> cells;
    forEachCell(row, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { cells.push_back(cell); });
    std::vector<char> taken(cells.size(), false);
    std::vector<std::u16string_view> free;
    bool held = true;
    forEachCell(line, [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
        if (isEmptyKey(cell))
            return false;
        const std::uint32_t column = at < columns.size() ? columns[at] : UINT32_MAX;
        if (column == UINT32_MAX) {
            free.push_back(cell);
            return false;
        }
        held = column < cells.size() && !taken[column] && cells[column] == cell;
        if (held)
            taken[column] = true;
        return !held;
    });
    for (std::size_t f = 0; held && f < free.size(); ++f) {
        std::size_t c = 0;
        while (c < cells.size() && (taken[c] || cells[c] != free[f]))
            ++c;
        held = c < cells.size();
        if (held)
            taken[c] = true;
    }
    return held;
}

} // namespace

bool listColumnsSettleAQuestion(const FilterRun &run, const std::vector<std::uint32_t> &listColumns)
{
    // Looked for in their columns, a line's cells can only lose rows: its rows that hold them
    // there are the rows it would have.
    const LineTable &keys = run.fixlines();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::span<const std::size_t> rows = run.confirmedRows(i);
        if (rows.size() < 2 || keys[i].find(u'\t') == std::u16string_view::npos)
            continue;
        std::size_t held = 0;
        for (std::size_t r = 0; r < rows.size() && held < 2; ++r)
            held += holdsInColumns(keys[i], run.datalines()[rows[r]], listColumns);
        if (held == 1)
            return true;
    }
    return false;
}

} // namespace lanshan
