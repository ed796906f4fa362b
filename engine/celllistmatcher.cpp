#include "celllistmatcher.h"

#include "keygroups.h"
#include "keyrule.h"
#include "prefetch.h"
#include "rowcells.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <tuple>

namespace lanshan {

namespace {

constexpr std::size_t batchRows = 64;
constexpr std::uint32_t none = KeyGroups::none;
// More different lines than this under one anchor are looked up by their rarest cell instead, so
// that no row is compared with more lines than this for each of its cells.
constexpr std::size_t crowdedAnchor = 16;

// A row's cell to look up, carried through the stages of a batch.
struct Probe
{
    std::u16string_view text;
    std::uint64_t hash;
    std::uint32_t row;
    std::uint32_t cell;
    std::size_t slot;
    std::uint32_t id;
};

// Hashes the batch's cells and fetches their slots, then probes the slots and fetches the texts,
// then compares them: the misses of a batch overlap instead of queueing.
void lookUp(const KeyGroups &table, std::vector<Probe> &probes)
{
    for (Probe &p : probes) {
        std::tie(p.id, p.slot) = table.probe(p.hash, p.slot);
        if (p.id != none)
            prefetch(table.key(p.id).data());
    }
    for (Probe &p : probes) {
        if (p.id != none && table.key(p.id) != p.text)
            p.id = table.find(p.text, p.hash); // another text with the same tag
    }
}

void addProbes(const KeyGroups &table, std::u16string_view row, std::uint32_t j, std::vector<Probe> &probes)
{
    forEachCell(row, [&](std::u16string_view text, std::size_t, std::uint32_t cell, bool) {
        if (!text.empty() && table.mayHold(text)) {
            const std::uint64_t h = hashText(text);
            table.prefetchSlot(h);
            probes.push_back({text, h, j, cell, table.firstSlot(h), none});
        }
    });
}

} // namespace

CellListMatcher::CellListMatcher(const LineTable &keys, std::span<const std::size_t> lists,
                                 std::span<const std::size_t> chosen, std::span<const std::uint32_t> cellColumns)
    : m_chosen(chosen.begin(), chosen.end())
    , m_cellColumns(cellColumns.begin(), cellColumns.end())
{
    std::vector<std::uint32_t> position; // per cell: its list column (from 0)
    std::vector<std::uint32_t> required; // per cell: the column it must stand in, or anyColumn
    m_cells.reserve(2 * lists.size());
    position.reserve(2 * lists.size());
    required.reserve(2 * lists.size());
    m_keyOfLine.reserve(lists.size());
    m_cellStart.reserve(lists.size() + 1);
    m_cellStart.push_back(0);
    for (const std::size_t pos : lists) {
        const std::size_t before = m_cells.size();
        forEachCell(keys[pos], [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            if (lookedFor(cell, at)) {
                m_cells.push_back(cell);
                position.push_back(at);
                required.push_back(at < cellColumns.size() ? cellColumns[at] : anyColumn);
            }
        });
        if (m_cells.size() == before)
            continue; // TABs and spaces alone, or none of the columns chosen: nothing to look for
        if (m_cells.size() >= moreLines || keys[pos].size() >= moreLines)
            throw std::length_error("too many cells in the key lines");
        m_keyOfLine.push_back(pos);
        m_cellStart.push_back(static_cast<std::uint32_t>(m_cells.size()));
    }
    if (m_keyOfLine.empty())
        return;
    const std::uint32_t column = anchorColumn(position);

    // Each line's anchor: its cell in that column, else its longest; then its cells sorted, so
    // that equal lines compare equal whatever the order of their cells.
    m_constrained = std::ranges::any_of(required, [](std::uint32_t c) { return c != anyColumn; });
    std::vector<std::u16string_view> anchorText(m_keyOfLine.size());
    std::vector<std::pair<std::u16string_view, std::uint32_t>> line;
    for (std::uint32_t l = 0; l < m_keyOfLine.size(); ++l) {
        const std::uint32_t begin = m_cellStart[l];
        const std::uint32_t end = m_cellStart[l + 1];
        std::uint32_t anchor = begin;
        for (std::uint32_t c = begin; c < end; ++c) {
            if (position[c] == column) {
                anchor = c;
                break;
            }
            if (m_cells[c].size() > m_cells[anchor].size())
                anchor = c;
        }
        anchorText[l] = m_cells[anchor];
        if (end - begin < 2)
            continue;
        if (!m_constrained) {
            std::sort(m_cells.begin() + begin, m_cells.begin() + end);
            continue;
        }
        line.clear();
        for (std::uint32_t c = begin; c < end; ++c)
            line.emplace_back(m_cells[c], required[c]);
        std::sort(line.begin(), line.end());
        for (std::uint32_t c = begin; c < end; ++c)
            std::tie(m_cells[c], required[c]) = line[c - begin];
    }
    if (m_constrained)
        m_required = std::move(required);
    groupByAnchor(keys, anchorText);
}

CellListMatcher::~CellListMatcher() = default;

bool CellListMatcher::lookedFor(std::u16string_view cell, std::uint32_t at) const
{
    return !isEmptyKey(cell) && (m_chosen.empty() || std::binary_search(m_chosen.begin(), m_chosen.end(), at + 1));
}

std::span<const std::u16string_view> CellListMatcher::cellsOf(std::uint32_t line) const
{
    return std::span<const std::u16string_view>(m_cells).subspan(m_cellStart[line],
                                                                 m_cellStart[line + 1] - m_cellStart[line]);
}

std::span<const std::uint32_t> CellListMatcher::columnsOf(std::uint32_t line) const
{
    if (!m_constrained)
        return {};
    return std::span<const std::uint32_t>(m_required)
        .subspan(m_cellStart[line], m_cellStart[line + 1] - m_cellStart[line]);
}

std::uint32_t CellListMatcher::anchorColumn(std::span<const std::uint32_t> position) const
{
    // The list column with the most different cells among the first lines: the 学号 or the name,
    // not the class or the gender.
    constexpr std::uint32_t sampleLines = 4096;
    constexpr std::uint32_t widest = 64;
    std::vector<std::pair<std::uint32_t, std::uint64_t>> seen;
    const std::uint32_t lines = std::min<std::uint32_t>(sampleLines, static_cast<std::uint32_t>(m_keyOfLine.size()));
    for (std::uint32_t c = 0; c < m_cellStart[lines]; ++c) {
        if (position[c] < widest)
            seen.emplace_back(position[c], hashText(m_cells[c]));
    }
    std::sort(seen.begin(), seen.end());
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    std::uint32_t best = anyColumn;
    std::size_t bestCount = 0;
    for (std::size_t i = 0; i < seen.size();) {
        std::size_t j = i;
        while (j < seen.size() && seen[j].first == seen[i].first)
            ++j;
        if (j - i > bestCount) {
            best = seen[i].first;
            bestCount = j - i;
        }
        i = j;
    }
    return best;
}

void CellListMatcher::groupByAnchor(const LineTable &keys, std::span<const std::u16string_view> anchorText)
{
    const auto lineCount = static_cast<std::uint32_t>(m_keyOfLine.size());
    // The anchors numbered; the slots of a batch are fetched before they are probed.
    m_anchors = std::make_unique<KeyGroups>(lineCount);
    std::vector<std::uint32_t> anchor(lineCount);
    constexpr std::uint32_t batch = 32;
    std::uint64_t hashes[batch];
    for (std::uint32_t first = 0; first < lineCount; first += batch) {
        const std::uint32_t end = std::min(lineCount, first + batch);
        for (std::uint32_t l = first; l < end; ++l) {
            hashes[l - first] = hashText(anchorText[l]);
            m_anchors->prefetchSlot(hashes[l - first]);
        }
        for (std::uint32_t l = first; l < end; ++l)
            anchor[l] = m_anchors->insert(anchorText[l], hashes[l - first]);
    }
    const std::size_t anchors = m_anchors->size();
    std::vector<std::uint32_t> bucketStart(anchors + 1, 0);
    for (const std::uint32_t a : anchor)
        ++bucketStart[a + 1];
    std::partial_sum(bucketStart.begin(), bucketStart.end(), bucketStart.begin());
    std::vector<std::uint32_t> order(lineCount);
    {
        std::vector<std::uint32_t> next(bucketStart.begin(), bucketStart.end() - 1);
        for (std::uint32_t l = 0; l < lineCount; ++l)
            order[next[anchor[l]]++] = l;
    }
    // Equal lines (the same cells in the same columns) share their anchor; the first of them
    // stands for the others.
    std::vector<std::uint32_t> first(lineCount);
    std::iota(first.begin(), first.end(), 0u);
    const auto before = [&](std::uint32_t a, std::uint32_t b) {
        return std::tuple(cellsOf(a).size(), a) < std::tuple(cellsOf(b).size(), b);
    };
    std::vector<char> crowded(anchors, false);
    for (std::size_t t = 0; t < anchors; ++t) {
        const auto begin = order.begin() + bucketStart[t];
        const auto end = order.begin() + bucketStart[t + 1];
        if (end - begin < 2)
            continue;
        std::sort(begin, end, [&](std::uint32_t a, std::uint32_t b) {
            if (cellsOf(a).size() != cellsOf(b).size() || !std::ranges::equal(cellsOf(a), cellsOf(b))) {
                if (cellsOf(a).size() != cellsOf(b).size())
                    return before(a, b);
                return std::ranges::lexicographical_compare(cellsOf(a), cellsOf(b));
            }
            if (!std::ranges::equal(columnsOf(a), columnsOf(b)))
                return std::ranges::lexicographical_compare(columnsOf(a), columnsOf(b));
            return a < b;
        });
        std::size_t different = 1;
        for (auto at = begin + 1; at != end; ++at) {
            if (std::ranges::equal(cellsOf(*at), cellsOf(*(at - 1)))
                && std::ranges::equal(columnsOf(*at), columnsOf(*(at - 1))))
                first[*at] = first[*(at - 1)];
            else
                ++different;
        }
        crowded[t] = different > crowdedAnchor;
    }
    // Groups in the order of the lines, so that the rows of lines that follow each other lie
    // together.
    m_groupOfLine.resize(lineCount);
    for (std::uint32_t l = 0; l < lineCount; ++l)
        m_groupOfLine[l] = first[l] == l ? m_groupCount++ : m_groupOfLine[first[l]];
    // Under each anchor: its first line kept with it, the others apart.
    m_anchorLines.assign(anchors, Anchor{});
    for (std::size_t t = 0; t < anchors; ++t) {
        Anchor &a = m_anchorLines[t];
        const auto moreBegin = static_cast<std::uint32_t>(m_more.size());
        for (std::uint32_t i = bucketStart[t]; i < bucketStart[t + 1]; ++i) {
            const std::uint32_t l = order[i];
            if (first[l] != l)
                continue;
            if (crowded[t]) {
                m_crowded.push_back(l);
                continue;
            }
            const std::u16string_view line = keys[m_keyOfLine[l]];
            const Entry entry{m_groupOfLine[l], m_cellStart[l], m_cellStart[l + 1] - m_cellStart[l],
                              static_cast<std::uint32_t>(line.size()), line.data()};
            if (a.line.cells == 0) {
                a.line = entry;
                a.anchorAt = static_cast<std::uint32_t>(anchorText[l].data() - line.data());
                a.anchorLength = static_cast<std::uint32_t>(anchorText[l].size());
            } else {
                m_more.push_back(entry);
            }
        }
        if (m_more.size() > moreBegin) {
            a.anchorLength |= moreLines;
            m_moreOf.push_back({static_cast<std::uint32_t>(t), moreBegin, static_cast<std::uint32_t>(m_more.size())});
        }
    }
    std::sort(m_crowded.begin(), m_crowded.end());
}

std::uint32_t CellListMatcher::assignGroups(std::uint32_t firstGroup, std::vector<std::uint32_t> &groupOfKey)
{
    m_firstGroup = firstGroup;
    for (std::size_t l = 0; l < m_keyOfLine.size(); ++l)
        groupOfKey[m_keyOfLine[l]] = firstGroup + m_groupOfLine[l];
    return m_groupCount;
}

std::span<const CellListMatcher::Entry> CellListMatcher::moreLinesOf(std::uint32_t anchor) const
{
    if (!(m_anchorLines[anchor].anchorLength & moreLines))
        return {};
    const auto more = std::ranges::lower_bound(m_moreOf, anchor, {}, &More::anchor);
    return std::span<const Entry>(m_more).subspan(more->begin, more->end - more->begin);
}

void CellListMatcher::match(const LineTable &rows, const Found &found)
{
    if (m_keyOfLine.empty())
        return;
    if (rows.size() >= none)
        throw std::length_error("too many rows");
    if (m_crowded.size() < m_groupCount)
        matchByAnchor(rows, found);
    if (!m_crowded.empty())
        matchByRarestCell(rows, found);
}

bool CellListMatcher::holds(std::span<const std::u16string_view> cells, std::span<const std::uint32_t> columns,
                            std::span<const RowCell> byText, std::span<const std::u16string_view> byColumn)
{
    // Each check marks the row cells it takes with a stamp of its own, so that nothing is cleared.
    if (++m_stamp == 0) {
        std::ranges::fill(m_usedStamp, 0);
        m_stamp = 1;
    }
    if (m_usedStamp.size() < byColumn.size())
        m_usedStamp.resize(byColumn.size(), 0);
    m_taken.clear();
    // Cells that must stand in a given column first, each in its own.
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const std::uint32_t column = columns[c];
        if (column == anyColumn)
            continue;
        if (column >= byColumn.size() || byColumn[column] != cells[c] || m_usedStamp[column] == m_stamp)
            return false;
        m_usedStamp[column] = m_stamp;
        m_taken.push_back(column);
    }
    // Then the others, in any cell not taken; equal cells of the line take equal cells of the row
    // one after the other.
    auto at = byText.begin();
    bool looked = false;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (!columns.empty() && columns[c] != anyColumn)
            continue;
        if (!looked || cells[c] != at[-1].text)
            at = std::lower_bound(byText.begin(), byText.end(), cells[c],
                                  [](const RowCell &r, std::u16string_view t) { return r.text < t; });
        looked = true;
        while (at != byText.end() && at->text == cells[c] && m_usedStamp[at->cell] == m_stamp)
            ++at;
        if (at == byText.end() || at->text != cells[c])
            return false;
        m_usedStamp[at->cell] = m_stamp;
        m_taken.push_back(at->cell);
        ++at;
    }
    std::sort(m_taken.begin(), m_taken.end());
    return true;
}

void CellListMatcher::matchByAnchor(const LineTable &rows, const Found &found)
{
    const KeyGroups &anchors = *m_anchors;
    std::vector<Probe> probes;
    std::vector<std::u16string_view> rowCells; // of the batch's rows
    std::size_t rowCellStart[batchRows + 1];
    std::vector<std::uint32_t> held; // the anchors with lines that a row holds
    std::vector<RowCell> byText;
    // The lines under an anchor a row holds are fetched while the other rows of the batch are
    // split and looked up: the anchor's slot, its first line, that line's cells, their text.
    for (std::size_t firstRow = 0; firstRow < rows.size(); firstRow += batchRows) {
        const std::size_t endRow = std::min(rows.size(), firstRow + batchRows);
        probes.clear();
        rowCells.clear();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            rowCellStart[j - firstRow] = rowCells.size();
            forEachCell(rows[j], [&](std::u16string_view text, std::size_t, std::uint32_t cell, bool) {
                rowCells.push_back(text);
                if (!text.empty() && anchors.mayHold(text)) {
                    const std::uint64_t h = hashText(text);
                    anchors.prefetchSlot(h);
                    probes.push_back({text, h, static_cast<std::uint32_t>(j), cell, anchors.firstSlot(h), none});
                }
            });
        }
        rowCellStart[endRow - firstRow] = rowCells.size();
        for (Probe &p : probes) {
            std::tie(p.id, p.slot) = anchors.probe(p.hash, p.slot);
            if (p.id != none)
                prefetch(&m_anchorLines[p.id]);
        }
        for (const Probe &p : probes) {
            if (p.id != none && m_anchorLines[p.id].line.cells > 0)
                prefetch(m_anchorLines[p.id].line.text + m_anchorLines[p.id].anchorAt);
        }
        auto probe = probes.begin();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            held.clear();
            for (; probe != probes.end() && probe->row == j; ++probe) {
                std::uint32_t id = probe->id;
                // The tag agreed; then the texts must.
                if (id != none && (m_anchorLines[id].line.cells == 0 || m_anchorLines[id].anchor() != probe->text))
                    id = anchors.find(probe->text, probe->hash);
                if (id != none && m_anchorLines[id].line.cells > 0)
                    held.push_back(id);
            }
            if (held.empty())
                continue;
            if (held.size() > 1) {
                std::sort(held.begin(), held.end());
                held.erase(std::unique(held.begin(), held.end()), held.end());
            }
            const std::span<const std::u16string_view> byColumn(rowCells.data() + rowCellStart[j - firstRow],
                                                                rowCells.data() + rowCellStart[j - firstRow + 1]);
            byText.clear();
            const auto row = static_cast<std::uint32_t>(j);
            for (const std::uint32_t a : held) {
                check(m_anchorLines[a].line, row, byText, byColumn, found);
                for (const Entry &more : moreLinesOf(a))
                    check(more, row, byText, byColumn, found);
            }
        }
    }
}

void CellListMatcher::matchByRarestCell(const LineTable &rows, const Found &found)
{
    // Every different cell of these lines numbered.
    std::size_t total = 0;
    for (const std::uint32_t l : m_crowded)
        total += cellsOf(l).size();
    KeyGroups texts(total);
    std::vector<std::uint32_t> textOf; // per cell of these lines, in order
    textOf.reserve(total);
    for (const std::uint32_t l : m_crowded) {
        for (const std::u16string_view cell : cellsOf(l))
            textOf.push_back(texts.insert(cell, hashText(cell)));
    }
    // Which of them each row holds, each once, and how many rows hold each.
    std::vector<std::uint32_t> present;
    std::vector<std::size_t> rowStart(rows.size() + 1, 0);
    std::vector<std::uint32_t> rowsHolding(texts.size(), 0);
    std::vector<Probe> probes;
    for (std::size_t firstRow = 0; firstRow < rows.size(); firstRow += batchRows) {
        const std::size_t endRow = std::min(rows.size(), firstRow + batchRows);
        probes.clear();
        for (std::size_t j = firstRow; j < endRow; ++j)
            addProbes(texts, rows[j], static_cast<std::uint32_t>(j), probes);
        lookUp(texts, probes);
        auto probe = probes.cbegin();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            const std::size_t first = present.size();
            for (; probe != probes.cend() && probe->row == j; ++probe) {
                if (probe->id != none)
                    present.push_back(probe->id);
            }
            std::sort(present.begin() + static_cast<std::ptrdiff_t>(first), present.end());
            present.erase(std::unique(present.begin() + static_cast<std::ptrdiff_t>(first), present.end()),
                          present.end());
            for (std::size_t p = first; p < present.size(); ++p)
                ++rowsHolding[present[p]];
            rowStart[j + 1] = present.size();
        }
    }
    // Each line under the cell that the fewest rows hold; a line with a cell that no row holds
    // has no row.
    std::vector<std::uint32_t> start(texts.size() + 1, 0);
    std::vector<std::uint32_t> rarest(m_crowded.size(), none);
    for (std::size_t k = 0, cell = 0; k < m_crowded.size(); ++k) {
        std::uint32_t best = none;
        for (std::size_t c = 0; c < cellsOf(m_crowded[k]).size(); ++c, ++cell) {
            if (best == none || rowsHolding[textOf[cell]] < rowsHolding[best])
                best = textOf[cell];
        }
        if (rowsHolding[best] > 0) {
            rarest[k] = best;
            ++start[best + 1];
        }
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<Entry> entries(start.back());
    {
        std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
        for (std::size_t k = 0; k < m_crowded.size(); ++k) {
            const std::uint32_t l = m_crowded[k];
            if (rarest[k] != none)
                entries[next[rarest[k]]++] = {m_groupOfLine[l], m_cellStart[l], m_cellStart[l + 1] - m_cellStart[l]};
        }
    }
    // Then each row compared with the lines under the cells it holds.
    std::vector<RowCell> byText;
    std::vector<std::u16string_view> byColumn;
    for (std::size_t j = 0; j < rows.size(); ++j) {
        bool read = false;
        for (std::size_t p = rowStart[j]; p < rowStart[j + 1]; ++p) {
            for (std::uint32_t e = start[present[p]]; e < start[present[p] + 1]; ++e) {
                if (!read) {
                    byColumn.clear();
                    forEachCell(rows[j], [&](std::u16string_view text, std::size_t, std::uint32_t, bool) {
                        byColumn.push_back(text);
                    });
                    byText.clear();
                    read = true;
                }
                check(entries[e], static_cast<std::uint32_t>(j), byText, byColumn, found);
            }
        }
    }
}

void CellListMatcher::check(const Entry &entry, std::uint32_t row, std::vector<RowCell> &byText,
                            std::span<const std::u16string_view> byColumn, const Found &found)
{
    const auto cells = std::span<const std::u16string_view>(m_cells).subspan(entry.firstCell, entry.cells);
    if (entry.text && cells.size() * byColumn.size() <= 64) {
        if (holdsFew(entry.line(), byColumn))
            found(row, m_firstGroup + entry.group, m_taken);
        return;
    }
    if (byText.empty()) {
        for (std::uint32_t c = 0; c < byColumn.size(); ++c) {
            if (!byColumn[c].empty())
                byText.push_back({byColumn[c], c});
        }
        std::sort(byText.begin(), byText.end(), [](const RowCell &a, const RowCell &b) {
            return a.text < b.text || (a.text == b.text && a.cell < b.cell);
        });
    }
    const auto columns = m_constrained
                             ? std::span<const std::uint32_t>(m_required).subspan(entry.firstCell, entry.cells)
                             : std::span<const std::uint32_t>();
    if (holds(cells, columns, byText, byColumn))
        found(row, m_firstGroup + entry.group, m_taken);
}

bool CellListMatcher::holdsFew(std::u16string_view line, std::span<const std::u16string_view> byColumn)
{
    m_taken.clear();
    const auto taken = [&](std::uint32_t c) { return std::ranges::find(m_taken, c) != m_taken.end(); };
    const auto columnOf = [&](std::uint32_t at) { return at < m_cellColumns.size() ? m_cellColumns[at] : anyColumn; };
    // The cells that must stand in a given column first, then the others along the row.
    bool held = true;
    if (m_constrained) {
        forEachCell(line, [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            const std::uint32_t column = columnOf(at);
            if (column == anyColumn || !lookedFor(cell, at))
                return false;
            held = column < byColumn.size() && byColumn[column] == cell && !taken(column);
            m_taken.push_back(column);
            return !held;
        });
    }
    if (held) {
        forEachCell(line, [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            if ((m_constrained && columnOf(at) != anyColumn) || !lookedFor(cell, at))
                return false;
            std::uint32_t c = 0;
            while (c < byColumn.size() && (byColumn[c] != cell || taken(c)))
                ++c;
            held = c < byColumn.size();
            m_taken.push_back(c);
            return !held;
        });
    }
    std::sort(m_taken.begin(), m_taken.end());
    return held;
}

} // namespace lanshan
