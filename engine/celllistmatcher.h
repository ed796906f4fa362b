#pragma once

#include "linetable.h"

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
    // Calls found for every row of every line; the rows of a group in data order.
    void match(const LineTable &rows, const Found &found);

private:
    struct Entry // a line under its anchor
    {
        std::uint32_t group = 0;
        std::uint32_t firstCell = 0; // its cells in m_cells
        std::uint32_t cells = 0;
        std::uint32_t length = 0; // of the key line
        const char16_t *text = nullptr;
        std::u16string_view line() const { return {text, length}; }
    };
    struct RowCell
    {
        std::u16string_view text;
        std::uint32_t cell;
    };

    std::span<const std::u16string_view> cellsOf(std::uint32_t line) const;
    std::span<const std::uint32_t> columnsOf(std::uint32_t line) const;
    // The list column whose cells anchor the lines; position: per cell, its list column (from 0).
    std::uint32_t anchorColumn(std::span<const std::uint32_t> position) const;
    void groupByAnchor(const LineTable &keys, std::span<const std::u16string_view> anchorText);
    void matchByAnchor(const LineTable &rows, const Found &found);
    void matchByRarestCell(const LineTable &rows, const Found &found);
    // Whether the row holds the cells, each in a cell of its own and in its column where one is
    // given; the row's cells taken in m_taken, ascending.
    bool holds(std::span<const std::u16string_view> cells, std::span<const std::uint32_t> columns,
               std::span<const RowCell> byText, std::span<const std::u16string_view> byColumn);
    // As holds, for a short line against a narrow row: read from the key line itself.
    bool holdsFew(std::u16string_view line, std::span<const std::u16string_view> byColumn);
    // Calls found where the row holds the line; byText: the row's cells sorted by text, made
    // here where it is empty and needed.
    void check(const Entry &entry, std::uint32_t row, std::vector<RowCell> &byText,
               std::span<const std::u16string_view> byColumn, const Found &found);

    std::vector<std::size_t> m_keyOfLine;     // per line with cells to look for: its key position
    std::vector<std::uint32_t> m_cellStart;   // cells of line l: [m_cellStart[l], m_cellStart[l + 1])
    std::vector<std::u16string_view> m_cells; // by line, each line's sorted by text, then column
    bool m_constrained = false;
    std::vector<std::uint32_t> m_required; // per cell where some must stand in given columns, else empty
    std::vector<std::uint32_t> m_groupOfLine;
    std::uint32_t m_groupCount = 0;
    std::uint32_t m_firstGroup = 0;

    // The anchors' texts, and per anchor the different lines under it.
    std::unique_ptr<KeyGroups> m_anchors;
    struct Anchor
    {
        Entry line;                     // the first line under it; none where it has no cells
        std::uint32_t anchorAt = 0;     // the anchor's place in that line
        std::uint32_t anchorLength = 0; // with moreLines where other lines are under it too
        std::u16string_view anchor() const { return line.line().substr(anchorAt, anchorLength & ~moreLines); }
    };
    static constexpr std::uint32_t moreLines = 0x80000000;
    std::vector<Anchor> m_anchorLines;
    std::vector<Entry> m_more; // the other lines of anchors with several, by anchor
    struct More
    {
        std::uint32_t anchor;
        std::uint32_t begin;
        std::uint32_t end;
    };
    std::vector<More> m_moreOf;
    std::span<const Entry> moreLinesOf(std::uint32_t anchor) const;
    // What a key line's cell at a list column asks for.
    std::vector<std::size_t> m_chosen;
    std::vector<std::uint32_t> m_cellColumns;
    bool lookedFor(std::u16string_view cell, std::uint32_t at) const;
    // Lines of crowded anchors, one of each set of equal lines.
    std::vector<std::uint32_t> m_crowded;

    std::vector<std::uint32_t> m_usedStamp; // per row cell: the check that took it
    std::uint32_t m_stamp = 0;
    std::vector<std::uint32_t> m_taken;
};

} // namespace lanshan
