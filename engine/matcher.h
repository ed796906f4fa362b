#pragma once

#include "linetable.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace lanshan {

class CellListMatcher;
class KeyGroups;

// Finds, for every key line, the data rows that belong to it (candidate and confirmed), in
// data order, in time about linear in the size of the two tables.
//
// A row belongs to a key exactly when it is a candidate and either one of its columns equals
// the key or the key is the row's own number piece ("7." for the seventh row). So only rows
// that hold the key as a whole column, or whose number the key is, can belong to it; and a
// column equal to the key that is not the row's last already makes the row a candidate.
// Rows are found through a hash index of the distinct keys; equal key lines share one list.
class Matcher
{
public:
    // column (from 1): a row belongs to a key exactly when its cell in that column equals the key,
    // the row's last cell too; nothing: by the rule above.
    // column applies to key lines of one cell. Of a key line holding TABs (a list of cells, which
    // a row holds when each cell equals a cell of its own): keyCells, the cells (from 1, ascending)
    // looked for, all where empty; cellColumns, per cell (from 0) the row's column (from 0) that
    // must hold it, UINT32_MAX (or none given) for any.
    Matcher(const LineTable &keys, const LineTable &rows, std::optional<std::size_t> column = std::nullopt,
            std::span<const std::size_t> keyCells = {}, std::span<const std::uint32_t> cellColumns = {});
    // Of a list of cells: per cell (from 0), the row's column (from 0) where the lines with one
    // row hold it, in more than half of them; UINT32_MAX where no column does. Empty where no
    // line of several cells has one row.
    static std::vector<std::uint32_t> listCellColumns(const LineTable &keys, const LineTable &rows,
                                                      const Matcher &byRule);

    // The rows confirmed for the key line at keyPos, ascending.
    std::span<const std::size_t> confirmedRows(std::size_t keyPos) const;
    // The cells (from 0) of the nth of those rows that hold the key, ascending; none where the
    // row belongs to the key by its number piece alone. Of a line of several cells, only its
    // first row's are kept: none for the others (cellsHoldingLine reads them).
    std::span<const std::uint32_t> keyCells(std::size_t keyPos, std::size_t nth) const;
    // The column (from 1) that holds the keys of more than half of the key lines with rows, in
    // some of their rows; nothing where no column holds so many.
    std::optional<std::size_t> majorityColumn() const;
    // Per key line: whether every row confirmed for it holds the key in the column (from 1), so
    // that only the other lines need their cells looked at; empty where every line's rows do.
    std::vector<char> linesHeldIn(std::size_t column) const;
    // The rows of every key, key by key.
    std::span<const std::size_t> everyConfirmedRow() const { return m_rows; }

private:
    static constexpr std::uint32_t noGroup = UINT32_MAX;
    struct Match;

    // The steps of the constructor. The distinct keys of one cell numbered, the lines of several
    // cells noted in lists; the rows of those keys found, then those of the lists; the rows
    // grouped by key.
    std::unique_ptr<KeyGroups> groupSingleKeys(const LineTable &keys, std::vector<std::size_t> &lists);
    void matchSingleKeys(const KeyGroups &groups, const LineTable &rows, std::optional<std::size_t> column,
                         std::vector<Match> &matches);
    void mergeRowMatches(std::vector<Match> &matches, std::size_t firstOfRow);
    static void keepCandidates(const KeyGroups &groups, std::u16string_view row, std::vector<Match> &matches,
                               std::size_t firstOfRow);
    // The rows of a line of several cells after its first, which keep no cells: eight bytes each,
    // in blocks, as every row of many lines may be one (rows of equal cells).
    struct LaterRow
    {
        std::uint32_t row;
        std::uint32_t group;
    };
    void matchCellLists(CellListMatcher &cellLists, const LineTable &rows, std::size_t lists,
                        std::vector<Match> &matches, std::deque<LaterRow> &later);
    void groupMatches(const std::vector<Match> &matches, const std::deque<LaterRow> &later, std::size_t groupCount);

    std::vector<std::uint32_t> m_groupOfKey; // per key line: its distinct key, or noGroup
    // Groups from here on are lines of several cells, which no one column holds.
    std::uint32_t m_firstCellList = 0;
    std::vector<std::size_t> m_groupStart; // rows of group g: m_rows[m_groupStart[g] .. m_groupStart[g + 1])
    std::vector<std::size_t> m_rows;
    // The cells of a row of a key that hold it.
    std::span<const std::uint32_t> cellsOf(std::uint32_t group, std::size_t row) const;
    // Calls visit(group, columns) for every key with rows: the cells (from 0) that hold it in
    // some of its rows, each once.
    template<class Visit>
    void forEachGroupCells(Visit visit) const;

    // Per key: the cell that holds it in its rows, UINT32_MAX where none does in all of them.
    std::vector<std::uint32_t> m_groupCell;
    // The rows of a key that hold it in other cells, in several, or in none (its number
    // piece): the one cell, UINT32_MAX for none, or with the high bit set where the count and
    // the cells stand in m_cellPool. By key, then row.
    struct OtherCells
    {
        std::uint32_t group;
        std::size_t row;
        std::uint32_t cells;
        bool operator<(const OtherCells &o) const { return group < o.group || (group == o.group && row < o.row); }
    };
    std::vector<OtherCells> m_otherCells;
    std::vector<std::uint32_t> m_cellPool;
};

} // namespace lanshan
