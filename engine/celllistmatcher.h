#pragma once

#include "linetable.h"
#include "repeatedcells.h"
#include "rowcellcounts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace lanshan {

class KeyGroups;

// Finds the rows of the key lines of several cells (a class list of 学号 and 姓名). A row belongs
// to such a line when each of the line's cells that are looked for equals a cell of the row, each
// a cell of its own, wherever it stands, or in the column given for its list column.
//
// Each line is looked up by one of its cells, its anchor: the cell of the list column whose cells
// differ the most (the 学号 rather than the class), so that the rows are read once and each row is
// compared with the few lines that share an anchor it holds. Where many different lines share an
// anchor (a list of classes and genders), those lines are looked up instead by the cell that the
// fewest rows hold, which takes a second reading of the rows.
class CellListMatcher
{
public:
    static constexpr std::uint32_t anyColumn = UINT32_MAX;
    // A row of a line, with the row's cells (from 0, ascending) that hold the line's cells.
    using Found = std::function<void(std::uint32_t row, std::uint32_t group, std::span<const std::uint32_t> cells)>;

    // lists: the positions of the key lines that hold a TAB, ascending; chosen: the list columns
    // (from 1, ascending) looked for, all where empty; cellColumns: per list column (from 0), the
    // row's column (from 0) that must hold its cell, anyColumn (or none given) for any.
    CellListMatcher(const LineTable &keys, std::span<const std::size_t> lists, std::span<const std::size_t> chosen,
                    std::span<const std::uint32_t> cellColumns);
    ~CellListMatcher();

    // Gives each line that has cells to look for its group, from firstGroup on, in the order of
    // the lines; equal lines share one. Returns how many there are.
    std::uint32_t assignGroups(std::uint32_t firstGroup, std::vector<std::uint32_t> &groupOfKey);
    // Calls found for every row of every line; the rows of a group in data order. The cells are
    // given with a group's first row only, empty with the others (cellsHoldingLine reads them):
    // a row of many cells holds many lines, and the cells of every pair would take room of the
    // rows times the lines' lengths.
    void match(const LineTable &rows, const Found &found);

private:
    // A line to compare rows with, where it stands in the key text.
    struct Entry
    {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
        std::uint32_t group = 0;
    };
    // The first line under an anchor, and where the anchor stands in it: sixteen bytes, so that
    // the lines of a long list take little room to fetch from.
    struct Anchor
    {
        std::uint32_t offset = 0;
        std::uint32_t length = 0; // none where no line is kept here; with moreLines where others are
        std::uint32_t group = 0;
        std::uint16_t anchorAt = 0; // farAnchor where the two do not fit: in m_farAnchors
        std::uint16_t anchorLength = 0;
        bool hasLine() const { return length != 0; }
        Entry entry() const { return {offset, length & ~moreLines, group}; }
    };
    static constexpr std::uint32_t moreLines = 0x80000000;
    static constexpr std::uint16_t farAnchor = 0xFFFF;
    struct More
    {
        std::uint32_t anchor;
        std::uint32_t begin;
        std::uint32_t end;
    };
    struct RowCell
    {
        std::u16string_view text;
        std::uint32_t cell;
    };

    bool lookedFor(std::u16string_view cell, std::uint32_t at) const;
    std::u16string_view lineOf(const Entry &entry) const { return {m_keyText + entry.offset, entry.length}; }
    std::u16string_view anchorOf(std::uint32_t anchor) const;
    // Calls visit(cell, column) for each cell of the line that is looked for, with the column it
    // must stand in, until visit returns true; says whether it did.
    template<class Visit>
    bool forEachLookedFor(const Entry &entry, Visit visit) const;
    std::uint32_t columnOf(std::uint32_t at) const;
    // The list column whose cells anchor the lines.
    std::uint32_t anchorColumn(const LineTable &keys, std::span<const std::size_t> lists) const;
    // The lines grouped by their anchors (anchorText, per line), equal lines as one group; the
    // steps: the anchors numbered (per line, its anchor), the equal lines found (per line, the
    // first line equal to it; per anchor, whether it is crowded, empty where none is), the lines
    // kept under their anchors.
    void groupByAnchor(const LineTable &keys, std::span<const std::u16string_view> anchorText);
    std::vector<std::uint32_t> numberAnchors(std::span<const std::u16string_view> anchorText);
    std::vector<char> findEqualLines(const LineTable &keys, std::span<const std::uint32_t> anchor,
                                     std::vector<std::uint32_t> &firstOf) const;
    void keepLines(const LineTable &keys, std::span<const std::u16string_view> anchorText,
                   std::span<const std::uint32_t> anchor, std::span<const std::uint32_t> firstOf,
                   std::span<const char> crowded);
    void keepLongLine(const Entry &entry);
    void keepAnchorLine(std::uint32_t anchor, const Entry &entry, std::u16string_view anchorText);
    std::span<const Entry> moreLinesOf(std::uint32_t anchor) const;
    void matchByAnchor(const LineTable &rows, const Found &found);
    void matchByRarestCell(const LineTable &rows, const Found &found);
    // Calls found where the row holds the line. byText: the row's cells sorted by text, made here
    // where it is empty and needed.
    void check(const Entry &entry, std::uint32_t row, std::vector<RowCell> &byText,
               std::span<const std::u16string_view> byColumn, const Found &found);
    // Whether the row holds the line's cells, each in a cell of its own and in its column where
    // one is given; the row's cells taken in m_taken, ascending. holdsFew looks for each along
    // the row, for a short line against a narrow row; holdsMany in the cells sorted by text.
    bool holdsFew(const Entry &entry, std::span<const std::u16string_view> byColumn);
    bool holdsMany(const Entry &entry, std::span<const RowCell> byText, std::span<const std::u16string_view> byColumn);
    // Whether the row holds a line kept with its counts (no cell in a given column).
    bool holdsCounted(std::span<const RepeatedCells::Counted> counted, std::uint32_t row,
                      std::span<const std::u16string_view> byColumn);
    static void sortCells(std::span<const std::u16string_view> byColumn, std::vector<RowCell> &byText);
    bool takeInGivenColumns(const Entry &entry, std::span<const std::u16string_view> byColumn);
    // A new check of a line against a row (sortedCells: the row's cells in byText): a fresh
    // stamp, room for the row, and the cells that must stand in given columns taken first.
    bool startCheck(const Entry &entry, std::span<const std::u16string_view> byColumn, std::size_t sortedCells);

    // What a key line's cell at a list column asks for.
    std::vector<std::size_t> m_chosen;
    std::vector<std::uint32_t> m_cellColumns;
    bool m_constrained = false; // some cells must stand in given columns

    struct Line
    {
        std::size_t key; // its position among the key lines
    };
    std::vector<Line> m_lines; // the lines with cells to look for
    std::vector<std::uint32_t> m_groupOfLine;
    std::uint32_t m_groupCount = 0;
    std::uint32_t m_firstGroup = 0;

    const char16_t *m_keyText = nullptr;
    // The anchors' texts; per anchor its first line, and the others apart, by anchor.
    std::unique_ptr<KeyGroups> m_anchors;
    std::vector<Anchor> m_anchorLines;
    struct FarAnchor
    {
        std::uint32_t anchor;
        std::uint32_t at;
        std::uint32_t length;
    };
    std::vector<FarAnchor> m_farAnchors;
    // Long lines keep their cells that are looked for, so that a check need not walk past the
    // others: by group.
    struct LongCell
    {
        std::u16string_view text;
        std::uint32_t column;
    };
    struct LongLine
    {
        std::uint32_t group;
        std::uint32_t begin;
        std::uint32_t end;
    };
    std::vector<LongCell> m_longCells;
    std::vector<LongLine> m_longLines;
    std::vector<Entry> m_more;
    std::vector<More> m_moreOf;
    // The lines of crowded anchors, one of each set of equal lines.
    std::vector<Entry> m_crowded;
    // The lines that hold a text twice or more, by their counts; per group, whether a row of it
    // has been found (its cells given).
    RepeatedCells m_repeated;
    std::vector<char> m_reported;
    // The texts of the row last counted.
    RowCellCounts m_rowCounts;
    std::uint32_t m_countedRow = UINT32_MAX;

    // Per row cell: the check that took it; per run of equal cells in byText: where the check
    // goes on in it.
    std::vector<std::uint32_t> m_usedStamp;
    std::vector<std::uint32_t> m_runStamp;
    std::vector<std::uint32_t> m_runNext;
    std::uint32_t m_stamp = 0;
    std::vector<std::uint32_t> m_taken;
};

} // namespace lanshan
