#include "matcher.h"

#include "celllistmatcher.h"
#include "keygroups.h"
#include "keyrule.h"
#include "prefetch.h"
#include "rowcells.h"

#include <algorithm>
#include <bitset>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <utility>

namespace lanshan {

// A row that belongs to a key, with the cells that hold the key: none (the row's number piece),
// one, or several (`cell` is then their entry in m_cellPool).
struct Matcher::Match
{
    std::uint32_t row;
    std::uint32_t group;
    std::uint32_t cell;
    std::uint16_t cells; // how many, up to 2 where there are more (their count is in the pool)
    bool inner;          // a cell that is not the row's last holds the key: surely a candidate

    bool operator<(const Match &o) const { return group < o.group || (group == o.group && cell < o.cell); }
};

namespace {

// A column to look up, carried through the stages of a batch.
struct Probe
{
    std::u16string_view column;
    std::uint64_t hash;
    std::size_t row;
    std::size_t slot;
    std::uint32_t group;
    std::uint32_t cell;
    bool inner;
};

constexpr std::size_t batchRows = 64;
constexpr std::uint32_t noCell = UINT32_MAX;
constexpr std::uint32_t pooled = 0x80000000; // marks an entry of m_cellPool, whose first value is the count

// Keys like "7." that name a row of the table, by row: the row and the key.
std::vector<std::pair<std::size_t, std::uint32_t>> numberedRows(const KeyGroups &groups, std::size_t rowCount)
{
    std::vector<std::pair<std::size_t, std::uint32_t>> numbered;
    for (std::uint32_t g = 0; g < groups.size(); ++g) {
        const std::optional<std::size_t> row = rowOfNumberPiece(groups.key(g));
        if (row && *row < rowCount)
            numbered.emplace_back(*row, g);
    }
    std::sort(numbered.begin(), numbered.end());
    return numbered;
}

// The columns of a batch of rows that may be keys, looked up in stages: split and hashed, each
// slot fetched; then the slots probed and the keys' texts fetched; then the texts compared.
// Misses overlap instead of queueing. In the key column (oneColumn) the cell is taken whatever
// follows it, the row's last too.
void probeBatch(const KeyGroups &groups, const LineTable &rows, std::size_t firstRow, std::size_t endRow,
                bool oneColumn, std::uint32_t onlyCell, std::vector<Probe> &probes)
{
    probes.clear();
    for (std::size_t j = firstRow; j < endRow; ++j) {
        if (rows[j].size() >= pooled)
            throw std::length_error("a row of too many cells");
        forEachCell(rows[j], [&](std::u16string_view text, std::size_t, std::uint32_t cell, bool last) {
            if (oneColumn && cell != onlyCell)
                return cell > onlyCell;
            if (!text.empty() && groups.mayHold(text)) {
                const std::uint64_t h = hashText(text);
                groups.prefetchSlot(h);
                probes.push_back({text, h, j, groups.firstSlot(h), KeyGroups::none, cell, !last || oneColumn});
            }
            return false;
        });
    }
    for (Probe &p : probes) {
        std::tie(p.group, p.slot) = groups.probe(p.hash, p.slot);
        if (p.group != KeyGroups::none)
            prefetch(groups.key(p.group).data());
    }
    for (Probe &p : probes) {
        if (p.group != KeyGroups::none && groups.key(p.group) != p.column)
            p.group = groups.find(p.column, p.hash); // another key with the same tag
    }
}

} // namespace

Matcher::Matcher(const LineTable &keys, const LineTable &rows, std::optional<std::size_t> column,
                 std::span<const std::size_t> keyCells, std::span<const std::uint32_t> cellColumns)
    : m_groupOfKey(keys.size(), noGroup)
{
    std::vector<std::size_t> lists;
    std::unique_ptr<KeyGroups> groups = groupSingleKeys(keys, lists);
    // Lines of several cells are matched apart, after the others, in groups of their own.
    CellListMatcher cellLists(keys, lists, keyCells, cellColumns);
    m_firstCellList = static_cast<std::uint32_t>(groups->size());
    const std::size_t groupCount = m_firstCellList + cellLists.assignGroups(m_firstCellList, m_groupOfKey);

    if (rows.size() >= UINT32_MAX)
        throw std::length_error("too many rows");
    std::vector<Match> matches;
    matches.reserve(rows.size() + rows.size() / 8);
    matchSingleKeys(*groups, rows, column, matches);
    groups.reset();
    std::deque<LaterRow> later;
    matchCellLists(cellLists, rows, lists.size(), matches, later);
    groupMatches(matches, later, groupCount);
    if (m_cellPool.size() >= pooled)
        throw std::length_error("too many cells that hold keys");
}

std::unique_ptr<KeyGroups> Matcher::groupSingleKeys(const LineTable &keys, std::vector<std::size_t> &lists)
{
    // Empty keys never match; keys holding a TAB are lists of cells (CellListMatcher).
    std::vector<char> single(keys.size(), false);
    std::size_t singles = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::u16string_view key = keys[i];
        if (key.find(u'\t') != std::u16string_view::npos)
            lists.push_back(i);
        else if (!isEmptyKey(key))
            singles += single[i] = true;
    }
    auto groups = std::make_unique<KeyGroups>(singles);
    // The slots of a batch are fetched before they are probed.
    constexpr std::size_t batch = 32;
    std::size_t wanted[batch];
    std::uint64_t hashes[batch];
    for (std::size_t first = 0; first < keys.size();) {
        std::size_t count = 0;
        for (; first < keys.size() && count < batch; ++first) {
            if (single[first]) {
                wanted[count] = first;
                hashes[count] = hashText(keys[first]);
                groups->prefetchSlot(hashes[count++]);
            }
        }
        for (std::size_t b = 0; b < count; ++b)
            m_groupOfKey[wanted[b]] = groups->insert(keys[wanted[b]], hashes[b]);
    }
    return groups;
}

void Matcher::matchSingleKeys(const KeyGroups &groups, const LineTable &rows, std::optional<std::size_t> column,
                              std::vector<Match> &matches)
{
    // In one column, only its cell counts: no row by its number.
    const std::vector<std::pair<std::size_t, std::uint32_t>> numbered =
        column ? std::vector<std::pair<std::size_t, std::uint32_t>>() : numberedRows(groups, rows.size());
    auto nextNumbered = numbered.cbegin();
    const std::uint32_t onlyCell =
        column ? static_cast<std::uint32_t>(std::min<std::size_t>(*column - 1, noCell)) : noCell;
    std::vector<Probe> probes;
    // A class list of several columns alone has no single keys: the rows are read for its cells only.
    for (std::size_t firstRow = 0; firstRow < rows.size() && groups.size() > 0; firstRow += batchRows) {
        const std::size_t endRow = std::min(rows.size(), firstRow + batchRows);
        probeBatch(groups, rows, firstRow, endRow, column.has_value(), onlyCell, probes);
        // Matches of each row, one per key with the cells that hold it, then the candidate
        // test where no inner cell vouches for the row.
        auto probe = probes.cbegin();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            const std::size_t firstOfRow = matches.size();
            const auto row32 = static_cast<std::uint32_t>(j);
            for (; probe != probes.cend() && probe->row == j; ++probe) {
                if (probe->group != KeyGroups::none)
                    matches.push_back({row32, probe->group, probe->cell, 1, probe->inner});
            }
            if (nextNumbered != numbered.cend() && nextNumbered->first == j) {
                matches.push_back({row32, nextNumbered->second, noCell, 0, false});
                ++nextNumbered;
            }
            mergeRowMatches(matches, firstOfRow);
            keepCandidates(groups, rows[j], matches, firstOfRow);
        }
    }
}

// One match a key of the row: its cells in the pool where there are several.
void Matcher::mergeRowMatches(std::vector<Match> &matches, std::size_t firstOfRow)
{
    const auto begin = matches.begin() + static_cast<std::ptrdiff_t>(firstOfRow);
    if (matches.end() - begin <= 1)
        return;
    std::sort(begin, matches.end());
    auto out = begin;
    for (auto first = begin; first != matches.end();) {
        auto end = first;
        Match merged = *first;
        std::uint32_t cells = merged.cells;
        for (++end; end != matches.end() && end->group == first->group; ++end) {
            merged.inner |= end->inner;
            cells += end->cells;
        }
        if (cells > 1) {
            merged.cell = pooled | static_cast<std::uint32_t>(m_cellPool.size());
            merged.cells = 2;
            m_cellPool.push_back(cells);
            for (auto m = first; m != end; ++m) {
                if (m->cells)
                    m_cellPool.push_back(m->cell);
            }
        }
        *out++ = merged;
        first = end;
    }
    matches.erase(out, matches.end());
}

// The row's matches whose key an inner cell holds, or that the row is a candidate for.
void Matcher::keepCandidates(const KeyGroups &groups, std::u16string_view row, std::vector<Match> &matches,
                             std::size_t firstOfRow)
{
    auto kept = matches.begin() + static_cast<std::ptrdiff_t>(firstOfRow);
    for (auto m = kept; m != matches.end(); ++m) {
        if (m->inner || isCandidate(groups.key(m->group), row))
            *kept++ = *m;
    }
    matches.erase(kept, matches.end());
}

void Matcher::matchCellLists(CellListMatcher &cellLists, const LineTable &rows, std::size_t lists,
                             std::vector<Match> &matches, std::deque<LaterRow> &later)
{
    // Each row of a list line holds it in several cells: room for a row a line, taken only as used.
    if (lists > 0)
        m_cellPool.reserve(3 * std::min(rows.size(), lists));
    cellLists.match(rows, [&](std::uint32_t row, std::uint32_t group, std::span<const std::uint32_t> cells) {
        if (cells.empty()) { // not the line's first row: its cells are read when asked for
            later.push_back({row, group});
            return;
        }
        if (cells.size() == 1) {
            matches.push_back({row, group, cells.front(), 1, true});
            return;
        }
        matches.push_back({row, group, pooled | static_cast<std::uint32_t>(m_cellPool.size()), 2, true});
        m_cellPool.push_back(static_cast<std::uint32_t>(cells.size()));
        m_cellPool.insert(m_cellPool.end(), cells.begin(), cells.end());
    });
}

// The matches by key, in data order within each key. Most keys stand in one cell, the same in
// each of their rows: that cell is kept once for the key, and only the rows that differ are kept
// on their own, so that no more than the rows is written in scattered order.
void Matcher::groupMatches(const std::vector<Match> &matches, const std::deque<LaterRow> &later, std::size_t groupCount)
{
    m_groupStart.assign(groupCount + 1, 0);
    for (const Match &m : matches)
        ++m_groupStart[m.group + 1];
    for (const LaterRow &l : later)
        ++m_groupStart[l.group + 1];
    for (std::size_t g = 0; g < groupCount; ++g)
        m_groupStart[g + 1] += m_groupStart[g];
    m_rows.resize(matches.size() + later.size());
    struct Filling
    {
        std::size_t next; // the group's next place in m_rows
        std::uint32_t cell = noCell;
    };
    std::vector<Filling> fill(groupCount);
    for (std::size_t g = 0; g < groupCount; ++g)
        fill[g].next = m_groupStart[g];
    for (const Match &m : matches) {
        Filling &f = fill[m.group];
        m_rows[f.next++] = m.row;
        // A line of several cells keeps the cells of its first row only; most have one row.
        if (m.group >= m_firstCellList) {
            if (f.cell == noCell)
                f.cell = m.cell;
            continue;
        }
        if (m.cells == 1) {
            if (f.cell == noCell)
                f.cell = m.cell;
            if (f.cell == m.cell)
                continue;
        }
        m_otherCells.push_back({m.group, m.row, m.cells == 0 ? noCell : m.cell});
    }
    // A line's later rows follow its first, which stands among the matches; all in data order.
    for (const LaterRow &l : later)
        m_rows[fill[l.group].next++] = l.row;
    m_groupCell.resize(groupCount);
    for (std::size_t g = 0; g < groupCount; ++g)
        m_groupCell[g] = fill[g].cell;
    std::sort(m_otherCells.begin(), m_otherCells.end());
}

std::span<const std::uint32_t> Matcher::cellsOf(std::uint32_t group, std::size_t row) const
{
    if (group >= m_firstCellList && row != m_rows[m_groupStart[group]])
        return {};
    const auto other = std::lower_bound(m_otherCells.begin(), m_otherCells.end(), OtherCells{group, row, 0});
    const std::uint32_t &cells =
        other == m_otherCells.end() || other->group != group || other->row != row ? m_groupCell[group] : other->cells;
    if (cells == noCell)
        return {};
    if (!(cells & pooled))
        return std::span<const std::uint32_t>(&cells, 1);
    const std::size_t at = cells & ~pooled;
    return std::span<const std::uint32_t>(m_cellPool).subspan(at + 1, m_cellPool[at]);
}

std::span<const std::uint32_t> Matcher::keyCells(std::size_t keyPos, std::size_t nth) const
{
    const std::uint32_t g = m_groupOfKey.at(keyPos);
    if (g == noGroup || nth >= m_groupStart[g + 1] - m_groupStart[g])
        throw std::out_of_range("no such confirmed row");
    return cellsOf(g, m_rows[m_groupStart[g] + nth]);
}

template<class Visit>
void Matcher::forEachGroupCells(Visit visit) const
{
    auto other = m_otherCells.cbegin();
    std::vector<std::uint32_t> cells;
    // Lines of several cells stand in several columns at once: they count for none.
    for (std::uint32_t g = 0; g + 1 < m_groupStart.size() && g < m_firstCellList; ++g) {
        if (m_groupStart[g] == m_groupStart[g + 1])
            continue;
        const auto begin = other;
        while (other != m_otherCells.cend() && other->group == g)
            ++other;
        // Every row of the key holds it in its one cell.
        if (begin == other) {
            visit(g, std::span<const std::uint32_t>(&m_groupCell[g], 1));
            continue;
        }
        cells.clear();
        if (m_groupCell[g] != noCell)
            cells.push_back(m_groupCell[g]);
        for (auto o = begin; o != other; ++o) {
            const std::span<const std::uint32_t> more = cellsOf(g, o->row);
            cells.insert(cells.end(), more.begin(), more.end());
        }
        std::sort(cells.begin(), cells.end());
        cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
        visit(g, std::span<const std::uint32_t>(cells));
    }
}

std::optional<std::size_t> Matcher::majorityColumn() const
{
    // Per distinct key, how many key lines it stands for; the key lines with rows count, once
    // for each column that holds the key in some of its rows.
    const std::size_t groupCount = m_groupStart.size() - 1;
    std::vector<std::uint32_t> lines(groupCount, 0);
    for (const std::uint32_t g : m_groupOfKey) {
        if (g != noGroup)
            ++lines[g];
    }
    std::size_t withRows = 0;
    std::vector<std::size_t> perColumn;
    forEachGroupCells([&](std::uint32_t g, std::span<const std::uint32_t> columns) {
        withRows += lines[g];
        for (const std::uint32_t c : columns) {
            if (perColumn.size() <= c)
                perColumn.resize(c + 1, 0);
            perColumn[c] += lines[g];
        }
    });
    for (std::size_t c = 0; c < perColumn.size(); ++c) {
        if (2 * perColumn[c] > withRows)
            return c + 1;
    }
    return std::nullopt;
}

std::vector<char> Matcher::linesHeldIn(std::size_t column) const
{
    const auto cell = static_cast<std::uint32_t>(column - 1);
    // Most often every key stands in that one cell of each of its rows.
    bool all = m_otherCells.empty();
    for (std::uint32_t g = 0; all && g < m_groupCell.size(); ++g)
        all = m_groupCell[g] == cell || m_groupStart[g] == m_groupStart[g + 1] || g >= m_firstCellList;
    if (all)
        return {};
    std::vector<char> everyRow(m_groupStart.size() - 1, false);
    for (std::uint32_t g = 0; g < everyRow.size(); ++g)
        everyRow[g] = m_groupCell[g] == cell || g >= m_firstCellList;
    // A key with rows of their own cells: each row looked at.
    for (auto other = m_otherCells.cbegin(); other != m_otherCells.cend(); ++other) {
        const std::span<const std::uint32_t> cells = cellsOf(other->group, other->row);
        const bool held = std::find(cells.begin(), cells.end(), cell) != cells.end();
        const bool first = other == m_otherCells.cbegin() || (other - 1)->group != other->group;
        if (other->group >= m_firstCellList)
            continue;
        if (first && m_groupCell[other->group] == noCell)
            everyRow[other->group] = held;
        else
            everyRow[other->group] = everyRow[other->group] && held;
    }
    std::vector<char> held(m_groupOfKey.size(), false);
    for (std::size_t i = 0; i < m_groupOfKey.size(); ++i)
        held[i] = m_groupOfKey[i] != noGroup && everyRow[m_groupOfKey[i]];
    return held;
}

std::span<const std::size_t> Matcher::confirmedRows(std::size_t keyPos) const
{
    const std::uint32_t g = m_groupOfKey.at(keyPos);
    if (g == noGroup)
        return {};
    return std::span<const std::size_t>(m_rows).subspan(m_groupStart[g], m_groupStart[g + 1] - m_groupStart[g]);
}

} // namespace lanshan

namespace lanshan {

std::vector<std::uint32_t> Matcher::listCellColumns(const LineTable &keys, const LineTable &rows, const Matcher &byRule)
{
    // Votes per cell of a line, per column; only rows of a sane width are looked at cell by cell.
    constexpr std::size_t widest = 256;
    std::vector<std::vector<std::uint32_t>> votes;
    std::vector<std::uint32_t> lines; // per cell: the lines that have it and one row
    std::vector<std::u16string_view> rowCells;
    std::vector<char> taken;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::u16string_view key = keys[i];
        const std::span<const std::size_t> found = byRule.confirmedRows(i);
        if (key.find(u'\t') == std::u16string_view::npos || found.size() != 1)
            continue;
        rowCells.clear();
        forEachCell(rows[found[0]], [&](std::u16string_view cell, std::size_t, std::uint32_t index, bool) {
            rowCells.push_back(cell);
            return index + 1 >= widest;
        });
        taken.assign(rowCells.size(), false);
        forEachCell(key, [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            if (isEmptyKey(cell) || at >= widest)
                return;
            if (votes.size() <= at) {
                votes.resize(at + 1);
                lines.resize(at + 1, 0);
            }
            ++lines[at];
            for (std::size_t c = 0; c < rowCells.size(); ++c) {
                if (!taken[c] && rowCells[c] == cell) {
                    taken[c] = true;
                    if (votes[at].size() <= c)
                        votes[at].resize(c + 1, 0);
                    ++votes[at][c];
                    return;
                }
            }
        });
    }
    std::vector<std::uint32_t> columns(votes.size(), UINT32_MAX);
    for (std::size_t at = 0; at < votes.size(); ++at) {
        for (std::size_t c = 0; c < votes[at].size(); ++c) {
            if (2 * votes[at][c] > lines[at])
                columns[at] = static_cast<std::uint32_t>(c);
        }
    }
    return columns;
}

} // namespace lanshan
