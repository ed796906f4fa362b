#include "celllistmatcher.h"

#include "cellpairindex.h"
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
// Rows of no more cells than this are searched cell by cell for each cell of a line: a check
// takes at most this many cells times this many.
constexpr std::size_t narrowRow = 8;
// Lines longer than this keep their cells apart.
constexpr std::size_t longLine = 256;

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
    , m_constrained(std::ranges::any_of(cellColumns, [](std::uint32_t c) { return c != anyColumn; }))
{
    if (keys.text().size() >= moreLines)
        throw std::length_error("key text too long");
    m_keyText = keys.text().data();
    const std::uint32_t column = anchorColumn(keys, lists);
    // Each line's anchor: its cell in that column, else its longest (the first of the longest).
    std::vector<std::u16string_view> anchorText;
    anchorText.reserve(lists.size());
    m_lines.reserve(lists.size());
    for (const std::size_t pos : lists) {
        const std::u16string_view line = keys[pos];
        std::uint32_t cells = 0;
        std::u16string_view anchor;
        bool inColumn = false;
        forEachCell(line, [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            if (!lookedFor(cell, at))
                return;
            ++cells;
            if (at == column) {
                anchor = cell;
                inColumn = true;
            } else if (!inColumn && cell.size() > anchor.size()) {
                anchor = cell;
            }
        });
        if (cells == 0)
            continue; // TABs and spaces alone, or none of the columns chosen: nothing to look for
        m_lines.push_back({pos});
        anchorText.push_back(anchor);
    }
    if (!m_lines.empty())
        groupByAnchor(keys, anchorText);
}

CellListMatcher::~CellListMatcher() = default;

bool CellListMatcher::lookedFor(std::u16string_view cell, std::uint32_t at) const
{
    // Most cells start with something other than a space: no need to look further.
    const bool empty = cell.empty() || (cell.front() == u' ' && isEmptyKey(cell));
    return !empty && (m_chosen.empty() || std::binary_search(m_chosen.begin(), m_chosen.end(), at + 1));
}

std::uint32_t CellListMatcher::columnOf(std::uint32_t at) const
{
    return at < m_cellColumns.size() ? m_cellColumns[at] : anyColumn;
}

std::uint32_t CellListMatcher::anchorColumn(const LineTable &keys, std::span<const std::size_t> lists) const
{
    // The list column with the most different cells among the first lines: the 学号 or the name,
    // not the class or the gender.
    constexpr std::size_t sampleLines = 4096;
    constexpr std::uint32_t widest = 64;
    std::vector<std::pair<std::uint32_t, std::uint64_t>> seen;
    for (const std::size_t pos : lists.first(std::min(sampleLines, lists.size()))) {
        forEachCell(keys[pos], [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            if (at < widest && lookedFor(cell, at))
                seen.emplace_back(at, hashText(cell));
            return at >= widest;
        });
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
    const std::vector<std::uint32_t> anchor = numberAnchors(anchorText);
    // Most anchors have one line. Lines that share one and are equal (the same cells in the same
    // columns) stand for each other: the first of them for the others.
    std::vector<std::uint32_t> firstOf(m_lines.size());
    std::iota(firstOf.begin(), firstOf.end(), 0u);
    const std::vector<char> crowded = findEqualLines(keys, anchor, firstOf);
    // Groups in the order of the lines, so that the rows of lines that follow each other lie
    // together; then each line that stands for others under its anchor.
    m_groupOfLine.resize(m_lines.size());
    for (std::uint32_t l = 0; l < m_lines.size(); ++l)
        m_groupOfLine[l] = firstOf[l] == l ? m_groupCount++ : m_groupOfLine[firstOf[l]];
    keepLines(keys, anchorText, anchor, firstOf, crowded);
}

std::vector<std::uint32_t> CellListMatcher::numberAnchors(std::span<const std::u16string_view> anchorText)
{
    const auto lineCount = static_cast<std::uint32_t>(m_lines.size());
    // The slots of a batch are fetched before they are probed.
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
    return anchor;
}

std::vector<char> CellListMatcher::findEqualLines(const LineTable &keys, std::span<const std::uint32_t> anchor,
                                                  std::vector<std::uint32_t> &firstOf) const
{
    const auto lineCount = static_cast<std::uint32_t>(m_lines.size());
    const std::size_t anchors = m_anchors->size();
    std::vector<std::uint32_t> firstUnder(anchors, none);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> shared; // anchor and line, after the first
    for (std::uint32_t l = 0; l < lineCount; ++l) {
        if (firstUnder[anchor[l]] == none)
            firstUnder[anchor[l]] = l;
        else
            shared.emplace_back(anchor[l], l);
    }
    std::sort(shared.begin(), shared.end());
    std::vector<char> crowded(shared.empty() ? 0 : anchors, false);
    using Cells = std::vector<std::pair<std::u16string_view, std::uint32_t>>;
    const auto cellsOf = [&](std::uint32_t l) {
        Cells cells;
        forEachCell(keys[m_lines[l].key], [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
            if (lookedFor(cell, at))
                cells.emplace_back(cell, columnOf(at));
        });
        std::sort(cells.begin(), cells.end());
        return cells;
    };
    std::vector<std::pair<Cells, std::uint32_t>> bucket;
    for (std::size_t i = 0; i < shared.size();) {
        const std::uint32_t t = shared[i].first;
        bucket.clear();
        bucket.emplace_back(cellsOf(firstUnder[t]), firstUnder[t]);
        for (; i < shared.size() && shared[i].first == t; ++i)
            bucket.emplace_back(cellsOf(shared[i].second), shared[i].second);
        std::sort(bucket.begin(), bucket.end());
        std::size_t different = 1;
        for (std::size_t b = 1; b < bucket.size(); ++b) {
            if (bucket[b].first == bucket[b - 1].first)
                firstOf[bucket[b].second] = firstOf[bucket[b - 1].second];
            else
                ++different;
        }
        crowded[t] = different > crowdedAnchor;
    }
    return crowded;
}

void CellListMatcher::keepLines(const LineTable &keys, std::span<const std::u16string_view> anchorText,
                                std::span<const std::uint32_t> anchor, std::span<const std::uint32_t> firstOf,
                                std::span<const char> crowded)
{
    const auto entryOf = [&](std::uint32_t l) {
        const std::u16string_view line = keys[m_lines[l].key];
        return Entry{static_cast<std::uint32_t>(line.data() - m_keyText), static_cast<std::uint32_t>(line.size()),
                     m_groupOfLine[l]};
    };
    // Each anchor is written once: by its first line, or empty where its lines are crowded.
    m_anchorLines.resize(m_anchors->size());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> others; // anchor and line
    std::vector<std::u16string_view> cells;
    for (std::uint32_t l = 0; l < m_lines.size(); ++l) {
        const std::uint32_t t = anchor[l];
        if (firstOf[l] != l)
            continue;
        const Entry entry = entryOf(l);
        if (entry.length > longLine)
            keepLongLine(entry);
        if (!m_constrained) {
            cells.clear();
            forEachLookedFor(entry, [&](std::u16string_view cell, std::uint32_t) {
                cells.push_back(cell);
                return false;
            });
            m_repeated.add(entry.group, cells);
        }
        if (!crowded.empty() && crowded[t]) {
            m_crowded.push_back(entry);
            continue;
        }
        if (m_anchorLines[t].hasLine())
            others.emplace_back(t, l);
        else
            keepAnchorLine(t, entry, anchorText[l]);
    }
    std::sort(m_farAnchors.begin(), m_farAnchors.end(),
              [](const FarAnchor &x, const FarAnchor &y) { return x.anchor < y.anchor; });
    std::sort(others.begin(), others.end());
    for (std::size_t i = 0; i < others.size();) {
        const std::uint32_t t = others[i].first;
        const auto begin = static_cast<std::uint32_t>(m_more.size());
        for (; i < others.size() && others[i].first == t; ++i)
            m_more.push_back(entryOf(others[i].second));
        m_anchorLines[t].length |= moreLines;
        m_moreOf.push_back({t, begin, static_cast<std::uint32_t>(m_more.size())});
    }
}

void CellListMatcher::keepLongLine(const Entry &entry)
{
    const auto begin = static_cast<std::uint32_t>(m_longCells.size());
    forEachCell(lineOf(entry), [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
        if (lookedFor(cell, at))
            m_longCells.push_back({cell, columnOf(at)});
    });
    m_longLines.push_back({entry.group, begin, static_cast<std::uint32_t>(m_longCells.size())});
}

void CellListMatcher::keepAnchorLine(std::uint32_t anchor, const Entry &entry, std::u16string_view anchorText)
{
    Anchor &a = m_anchorLines[anchor];
    a = Anchor{entry.offset, entry.length, entry.group};
    const std::size_t at = anchorText.data() - lineOf(entry).data();
    if (at < farAnchor && anchorText.size() < farAnchor) {
        a.anchorAt = static_cast<std::uint16_t>(at);
        a.anchorLength = static_cast<std::uint16_t>(anchorText.size());
    } else {
        a.anchorAt = farAnchor;
        m_farAnchors.push_back({anchor, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(anchorText.size())});
    }
}

std::u16string_view CellListMatcher::anchorOf(std::uint32_t anchor) const
{
    const Anchor &a = m_anchorLines[anchor];
    const std::u16string_view line = lineOf(a.entry());
    if (a.anchorAt != farAnchor)
        return line.substr(a.anchorAt, a.anchorLength);
    const auto far = std::ranges::lower_bound(m_farAnchors, anchor, {}, &FarAnchor::anchor);
    return line.substr(far->at, far->length);
}

template<class Visit>
bool CellListMatcher::forEachLookedFor(const Entry &entry, Visit visit) const
{
    if (entry.length > longLine) {
        const auto kept = std::ranges::lower_bound(m_longLines, entry.group, {}, &LongLine::group);
        for (std::uint32_t c = kept->begin; c < kept->end; ++c) {
            if (visit(m_longCells[c].text, m_longCells[c].column))
                return true;
        }
        return false;
    }
    return forEachCell(lineOf(entry), [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
        return lookedFor(cell, at) && visit(cell, columnOf(at));
    });
}

std::uint32_t CellListMatcher::assignGroups(std::uint32_t firstGroup, std::vector<std::uint32_t> &groupOfKey)
{
    m_firstGroup = firstGroup;
    for (std::size_t l = 0; l < m_lines.size(); ++l)
        groupOfKey[m_lines[l].key] = firstGroup + m_groupOfLine[l];
    return m_groupCount;
}

std::span<const CellListMatcher::Entry> CellListMatcher::moreLinesOf(std::uint32_t anchor) const
{
    if (!(m_anchorLines[anchor].length & moreLines))
        return {};
    const auto more = std::ranges::lower_bound(m_moreOf, anchor, {}, &More::anchor);
    return std::span<const Entry>(m_more).subspan(more->begin, more->end - more->begin);
}

void CellListMatcher::match(const LineTable &rows, const Found &found)
{
    if (m_lines.empty())
        return;
    if (rows.size() >= none)
        throw std::length_error("too many rows");
    m_reported.assign(m_groupCount, false);
    if (!m_anchorLines.empty())
        matchByAnchor(rows, found);
    if (!m_crowded.empty())
        matchByRarestCell(rows, found);
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
            if (p.id != none && m_anchorLines[p.id].hasLine())
                prefetch(m_keyText + m_anchorLines[p.id].offset + m_anchorLines[p.id].anchorAt % farAnchor);
        }
        auto probe = probes.begin();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            held.clear();
            for (; probe != probes.end() && probe->row == j; ++probe) {
                std::uint32_t id = probe->id;
                // The tag agreed; then the texts must.
                if (id != none && (!m_anchorLines[id].hasLine() || anchorOf(id) != probe->text))
                    id = anchors.find(probe->text, probe->hash);
                if (id != none && m_anchorLines[id].hasLine())
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
                check(m_anchorLines[a].entry(), row, byText, byColumn, found);
                for (const Entry &more : moreLinesOf(a))
                    check(more, row, byText, byColumn, found);
            }
        }
    }
}

void CellListMatcher::matchByRarestCell(const LineTable &rows, const Found &found)
{
    // Every different cell of these lines numbered.
    KeyGroups texts(m_crowded.size() * 2);
    std::vector<std::uint32_t> textOf; // per line, its cells' in turn
    std::vector<std::uint32_t> textStart{0};
    for (const Entry &entry : m_crowded) {
        forEachLookedFor(entry, [&](std::u16string_view cell, std::uint32_t) {
            textOf.push_back(texts.insert(cell, hashText(cell)));
            return false;
        });
        textStart.push_back(static_cast<std::uint32_t>(textOf.size()));
    }
    // Which of them each row holds, each once, and how many rows hold each.
    std::vector<std::uint32_t> present;
    std::vector<std::size_t> rowStart(rows.size() + 1, 0);
    std::vector<std::uint32_t> rowsHolding(texts.size(), 0);
    std::vector<std::uint32_t> lastRowOf(texts.size(), none);
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
            // Each text once: a row of many equal cells adds one.
            for (; probe != probes.cend() && probe->row == j; ++probe) {
                if (probe->id != none && lastRowOf[probe->id] != j) {
                    lastRowOf[probe->id] = static_cast<std::uint32_t>(j);
                    present.push_back(probe->id);
                }
            }
            std::sort(present.begin() + static_cast<std::ptrdiff_t>(first), present.end());
            for (std::size_t p = first; p < present.size(); ++p)
                ++rowsHolding[present[p]];
            rowStart[j + 1] = present.size();
        }
    }
    // Each line under the text that the fewest rows hold and, within it, under the next fewest; a
    // line with a cell that no row holds has no row.
    std::vector<std::uint32_t> rarest(m_crowded.size(), none);
    std::vector<std::uint32_t> second(m_crowded.size(), none);
    const auto rarer = [&](std::uint32_t a, std::uint32_t b) {
        return rowsHolding[a] < rowsHolding[b] || (rowsHolding[a] == rowsHolding[b] && a < b);
    };
    for (std::size_t k = 0; k < m_crowded.size(); ++k) {
        std::uint32_t best = none;
        std::uint32_t next = none;
        for (std::uint32_t c = textStart[k]; c < textStart[k + 1]; ++c) {
            const std::uint32_t t = textOf[c];
            if (t == best || t == next)
                continue;
            if (best == none || rarer(t, best)) {
                next = best;
                best = t;
            } else if (next == none || rarer(t, next)) {
                next = t;
            }
        }
        if (rowsHolding[best] > 0) {
            rarest[k] = best;
            second[k] = next == none ? best : next;
        }
    }
    const CellPairIndex index(rarest, second, texts.size());
    // Then each row compared with the lines both of whose texts it holds.
    std::vector<RowCell> byText;
    std::vector<std::u16string_view> byColumn;
    for (std::size_t j = 0; j < rows.size(); ++j) {
        bool read = false;
        const std::span<const std::uint32_t> held(present.data() + rowStart[j], present.data() + rowStart[j + 1]);
        index.forEachLine(held, [&](std::uint32_t line) {
            if (!read) {
                byColumn.clear();
                forEachCell(rows[j], [&](std::u16string_view text, std::size_t, std::uint32_t, bool) {
                    byColumn.push_back(text);
                });
                byText.clear();
                read = true;
            }
            check(m_crowded[line], static_cast<std::uint32_t>(j), byText, byColumn, found);
        });
    }
}

void CellListMatcher::check(const Entry &entry, std::uint32_t row, std::vector<RowCell> &byText,
                            std::span<const std::u16string_view> byColumn, const Found &found)
{
    const bool narrow = byColumn.size() <= narrowRow;
    char &reported = m_reported[entry.group];
    if (reported) {
        // Only the first row's cells are given: a line of many equal cells is counted.
        const std::span<const RepeatedCells::Counted> counted = m_repeated.of(entry.group);
        if (!counted.empty()) {
            if (holdsCounted(counted, row, byColumn))
                found(row, m_firstGroup + entry.group, {});
            return;
        }
    }
    if (!narrow && byText.empty())
        sortCells(byColumn, byText);
    if (narrow ? holdsFew(entry, byColumn) : holdsMany(entry, byText, byColumn)) {
        found(row, m_firstGroup + entry.group, reported ? std::span<const std::uint32_t>() : m_taken);
        reported = true;
    }
}

void CellListMatcher::sortCells(std::span<const std::u16string_view> byColumn, std::vector<RowCell> &byText)
{
    for (std::uint32_t c = 0; c < byColumn.size(); ++c) {
        if (!byColumn[c].empty())
            byText.push_back({byColumn[c], c});
    }
    std::sort(byText.begin(), byText.end(), [](const RowCell &a, const RowCell &b) {
        return a.text < b.text || (a.text == b.text && a.cell < b.cell);
    });
}

bool CellListMatcher::holdsCounted(std::span<const RepeatedCells::Counted> counted, std::uint32_t row,
                                   std::span<const std::u16string_view> byColumn)
{
    if (byColumn.size() <= narrowRow) {
        return std::ranges::all_of(counted, [&](const RepeatedCells::Counted &c) {
            return static_cast<std::size_t>(std::ranges::count(byColumn, c.text)) >= c.count;
        });
    }
    if (row != m_countedRow) {
        m_rowCounts.read(byColumn);
        m_countedRow = row;
    }
    return std::ranges::all_of(
        counted, [&](const RepeatedCells::Counted &c) { return m_rowCounts.count(c.text, c.hash) >= c.count; });
}

bool CellListMatcher::takeInGivenColumns(const Entry &entry, std::span<const std::u16string_view> byColumn)
{
    // Cells that must stand in a given column, each in its own, before the others take any.
    bool held = true;
    forEachLookedFor(entry, [&](std::u16string_view cell, std::uint32_t column) {
        if (column == anyColumn)
            return false;
        held = column < byColumn.size() && byColumn[column] == cell && m_usedStamp[column] != m_stamp;
        if (held) {
            m_usedStamp[column] = m_stamp;
            m_taken.push_back(column);
        }
        return !held;
    });
    return held;
}

bool CellListMatcher::startCheck(const Entry &entry, std::span<const std::u16string_view> byColumn,
                                 std::size_t sortedCells)
{
    // Each check marks the row cells it takes with a stamp of its own, so that nothing is cleared.
    if (++m_stamp == 0) {
        std::ranges::fill(m_usedStamp, 0);
        std::ranges::fill(m_runStamp, 0);
        m_stamp = 1;
    }
    if (m_usedStamp.size() < byColumn.size())
        m_usedStamp.resize(byColumn.size(), 0);
    if (m_runStamp.size() < sortedCells) {
        m_runStamp.resize(sortedCells, 0);
        m_runNext.resize(sortedCells, 0);
    }
    m_taken.clear();
    return !m_constrained || takeInGivenColumns(entry, byColumn);
}

bool CellListMatcher::holdsFew(const Entry &entry, std::span<const std::u16string_view> byColumn)
{
    bool held = startCheck(entry, byColumn, 0);
    if (held) {
        forEachLookedFor(entry, [&](std::u16string_view cell, std::uint32_t column) {
            if (column != anyColumn)
                return false;
            std::uint32_t c = 0;
            while (c < byColumn.size() && (m_usedStamp[c] == m_stamp || byColumn[c] != cell))
                ++c;
            held = c < byColumn.size();
            if (held) {
                m_usedStamp[c] = m_stamp;
                m_taken.push_back(c);
            }
            return !held;
        });
    }
    std::sort(m_taken.begin(), m_taken.end());
    return held;
}

bool CellListMatcher::holdsMany(const Entry &entry, std::span<const RowCell> byText,
                                std::span<const std::u16string_view> byColumn)
{
    bool held = startCheck(entry, byColumn, byText.size());
    if (held) {
        // Each cell takes the next free one of the row's equal cells: the run of them in byText
        // remembers where this check goes on, so that a cell twice costs no more than once.
        forEachLookedFor(entry, [&](std::u16string_view cell, std::uint32_t column) {
            if (column != anyColumn)
                return false;
            const auto run = static_cast<std::size_t>(
                std::lower_bound(byText.begin(), byText.end(), cell,
                                 [](const RowCell &r, std::u16string_view t) { return r.text < t; })
                - byText.begin());
            std::size_t i = run < byText.size() && m_runStamp[run] == m_stamp ? m_runNext[run] : run;
            while (i < byText.size() && byText[i].text == cell && m_usedStamp[byText[i].cell] == m_stamp)
                ++i;
            held = i < byText.size() && byText[i].text == cell;
            if (held) {
                m_usedStamp[byText[i].cell] = m_stamp;
                m_taken.push_back(byText[i].cell);
                m_runStamp[run] = m_stamp;
                m_runNext[run] = static_cast<std::uint32_t>(i + 1);
            }
            return !held;
        });
    }
    std::sort(m_taken.begin(), m_taken.end());
    return held;
}

} // namespace lanshan
