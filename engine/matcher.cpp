#include "matcher.h"

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

namespace {

std::uint64_t hashText(std::u16string_view text)
{
    std::uint64_t h = 0x9e3779b97f4a7c15ULL ^ text.size();
    for (char16_t c : text)
        h = (h ^ c) * 0x100000001b3ULL;
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 32;
    return h;
}

// Open-addressing set of the distinct matchable key lines; each gets a dense group number.
// A slot keeps a tag of the hash, so a probe touches the key text only when the tags agree.
// With a million keys the table is far larger than the caches; callers prefetch the slot
// of a batch of lookups before they make them.
class KeyGroups
{
public:
    static constexpr std::uint32_t none = UINT32_MAX;

    explicit KeyGroups(std::size_t expected)
    {
        std::size_t capacity = 16;
        while (capacity < expected * 2)
            capacity *= 2;
        m_slots.assign(capacity, Slot{});
        m_mask = capacity - 1;
        m_keys.reserve(expected);
    }

    void prefetchSlot(std::uint64_t hash) const { prefetch(&m_slots[static_cast<std::size_t>(hash) & m_mask]); }

    // Group of the key, adding it when new.
    std::uint32_t insert(std::u16string_view key, std::uint64_t hash)
    {
        const std::uint32_t tag = tagOf(hash);
        std::size_t slot = static_cast<std::size_t>(hash) & m_mask;
        for (; m_slots[slot].tag != 0; slot = (slot + 1) & m_mask) {
            if (m_slots[slot].tag == tag && m_keys[m_slots[slot].group] == key)
                return m_slots[slot].group;
        }
        if (m_keys.size() >= none)
            throw std::length_error("too many distinct keys");
        const auto g = static_cast<std::uint32_t>(m_keys.size());
        m_slots[slot] = Slot{tag, g};
        m_keys.push_back(key);
        m_firstUnits.set(key.front());
        m_minLength = std::min(m_minLength, key.size());
        m_maxLength = std::max(m_maxLength, key.size());
        return g;
    }

    // Whether a column can be a key at all: most columns (scores, grades) are turned away
    // here, before any hashing.
    bool mayHold(std::u16string_view text) const
    {
        return text.size() >= m_minLength && text.size() <= m_maxLength && m_firstUnits.test(text.front());
    }

    // First group from the hash's slot on whose tag agrees; none at an empty slot.
    // Returns the slot too, so that a mismatch of the text can go on probing after it.
    std::pair<std::uint32_t, std::size_t> probe(std::uint64_t hash, std::size_t slot) const
    {
        const std::uint32_t tag = tagOf(hash);
        for (; m_slots[slot].tag != 0; slot = (slot + 1) & m_mask) {
            if (m_slots[slot].tag == tag)
                return {m_slots[slot].group, slot};
        }
        return {none, slot};
    }

    std::size_t firstSlot(std::uint64_t hash) const { return static_cast<std::size_t>(hash) & m_mask; }
    std::size_t nextSlot(std::size_t slot) const { return (slot + 1) & m_mask; }

    std::uint32_t find(std::u16string_view text, std::uint64_t hash) const
    {
        std::size_t slot = firstSlot(hash);
        for (;;) {
            const auto [g, at] = probe(hash, slot);
            if (g == none || m_keys[g] == text)
                return g;
            slot = nextSlot(at);
        }
    }

    std::size_t size() const { return m_keys.size(); }
    std::u16string_view key(std::uint32_t g) const { return m_keys[g]; }

private:
    struct Slot
    {
        std::uint32_t tag = 0; // 0: empty
        std::uint32_t group = 0;
    };

    static std::uint32_t tagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32) | 1u; }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::vector<std::u16string_view> m_keys;
    std::bitset<65536> m_firstUnits;
    std::size_t m_minLength = SIZE_MAX;
    std::size_t m_maxLength = 0;
};

// A row that belongs to a key, with the cells that hold the key: none (the row's number piece),
// one, or several (`cell` is then their entry in m_cellPool).
struct Match
{
    std::uint32_t row;
    std::uint32_t group;
    std::uint32_t cell;
    std::uint16_t cells; // how many, up to 2 where there are more (their count is in the pool)
    bool inner;          // a cell that is not the row's last holds the key: surely a candidate

    bool operator<(const Match &o) const { return group < o.group || (group == o.group && cell < o.cell); }
};

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

// The key lines of several cells (a class list of 学号 and 姓名): a row belongs to one when each
// of its non-empty cells equals a cell of the row, each a cell of its own, wherever they stand.
// Each distinct line is looked up by the one of its cells that the fewest rows hold, so that a
// common cell (a class, a gender) costs no more than the rare one beside it.
class CellListMatcher
{
public:
    // Reads the lines of several cells (lists: their key positions, ascending) and numbers every
    // cell's text. chosen: the cells (from 1) looked for, all where empty; cellColumns: per cell
    // of a line (from 0), the row's column (from 0) that must hold it, noCell for any.
    void addKeys(const LineTable &keys, std::span<const std::size_t> lists, std::span<const std::size_t> chosen,
                 std::span<const std::uint32_t> cellColumns)
    {
        std::vector<std::u16string_view> cells; // of each line, in order
        std::vector<std::uint32_t> required;    // the column each must stand in, or noCell
        cells.reserve(2 * lists.size());
        required.reserve(2 * lists.size());
        m_keyOfLine.reserve(lists.size());
        m_cellStart.reserve(lists.size() + 1);
        m_cellStart.push_back(0);
        for (const std::size_t pos : lists) {
            const std::size_t before = cells.size();
            forEachCell(keys[pos], [&](std::u16string_view cell, std::size_t, std::uint32_t at, bool) {
                if (!isEmptyKey(cell) && (chosen.empty() || std::binary_search(chosen.begin(), chosen.end(), at + 1))) {
                    cells.push_back(cell);
                    required.push_back(at < cellColumns.size() ? cellColumns[at] : noCell);
                }
            });
            if (cells.size() == before)
                continue; // TABs and spaces alone, or none of the columns chosen: nothing to look for
            if (cells.size() >= KeyGroups::none)
                throw std::length_error("too many cells in the key lines");
            m_keyOfLine.push_back(pos);
            m_cellStart.push_back(static_cast<std::uint32_t>(cells.size()));
        }
        if (m_keyOfLine.empty())
            return;
        // Every cell's text numbered; the slots of a batch are fetched before they are probed.
        m_cellTexts = std::make_unique<KeyGroups>(cells.size());
        m_cells.resize(cells.size());
        constexpr std::size_t batch = 32;
        std::uint64_t hashes[batch];
        for (std::size_t first = 0; first < cells.size(); first += batch) {
            const std::size_t end = std::min(cells.size(), first + batch);
            for (std::size_t c = first; c < end; ++c) {
                hashes[c - first] = hashText(cells[c]);
                m_cellTexts->prefetchSlot(hashes[c - first]);
            }
            for (std::size_t c = first; c < end; ++c)
                m_cells[c] = m_cellTexts->insert(cells[c], hashes[c - first]);
        }
        // Each line's cells sorted, so that equal lines compare equal whatever the cells' order.
        m_constrained = std::ranges::any_of(required, [](std::uint32_t c) { return c != noCell; });
        std::vector<std::pair<std::uint32_t, std::uint32_t>> line;
        for (std::size_t l = 0; l < m_keyOfLine.size(); ++l) {
            if (m_cellStart[l + 1] - m_cellStart[l] < 2)
                continue;
            if (!m_constrained) {
                std::sort(m_cells.begin() + m_cellStart[l], m_cells.begin() + m_cellStart[l + 1]);
                continue;
            }
            line.clear();
            for (std::uint32_t c = m_cellStart[l]; c < m_cellStart[l + 1]; ++c)
                line.emplace_back(m_cells[c], required[c]);
            std::sort(line.begin(), line.end());
            for (std::uint32_t c = m_cellStart[l]; c < m_cellStart[l + 1]; ++c)
                std::tie(m_cells[c], required[c]) = line[c - m_cellStart[l]];
        }
        if (m_constrained)
            m_required = std::move(required);
    }

    // Gives every line a group from firstGroup on (groupOfKey; equal lines share one, lines no
    // row holds share one too) and appends one match for every row of every line, row by row,
    // with the cells that hold it. Returns how many groups there are.
    std::uint32_t addMatches(const LineTable &rows, std::uint32_t firstGroup, std::vector<std::uint32_t> &groupOfKey,
                             std::vector<Match> &matches, std::vector<std::uint32_t> &cellPool)
    {
        const std::size_t lineCount = m_keyOfLine.size();
        if (lineCount == 0)
            return 0;
        // The cells of each row that are some line's cell, and how many rows hold each.
        struct Present
        {
            std::uint32_t text;
            std::uint32_t cell;
            bool operator<(const Present &o) const { return text < o.text || (text == o.text && cell < o.cell); }
        };
        std::vector<Present> present;
        present.reserve(rows.size() * 2);
        std::vector<std::size_t> rowStart(rows.size() + 1, 0);
        std::vector<std::uint32_t> rowsHolding(m_cellTexts->size(), 0);
        // Rows go in batches, as for single keys: every cell hashed and its slot fetched, then
        // the slots probed and the texts fetched, then compared.
        std::vector<Probe> probes;
        for (std::size_t firstRow = 0; firstRow < rows.size(); firstRow += batchRows) {
            const std::size_t endRow = std::min(rows.size(), firstRow + batchRows);
            probes.clear();
            for (std::size_t j = firstRow; j < endRow; ++j) {
                if (rows[j].size() >= pooled)
                    throw std::length_error("a row of too many cells");
                forEachCell(rows[j], [&](std::u16string_view text, std::size_t, std::uint32_t cell, bool) {
                    if (!text.empty() && m_cellTexts->mayHold(text)) {
                        const std::uint64_t h = hashText(text);
                        m_cellTexts->prefetchSlot(h);
                        probes.push_back({text, h, j, m_cellTexts->firstSlot(h), KeyGroups::none, cell, false});
                    }
                });
            }
            for (Probe &p : probes) {
                std::tie(p.group, p.slot) = m_cellTexts->probe(p.hash, p.slot);
                if (p.group != KeyGroups::none) {
                    prefetch(m_cellTexts->key(p.group).data());
                    prefetch(&rowsHolding[p.group]);
                }
            }
            auto probe = probes.cbegin();
            for (std::size_t j = firstRow; j < endRow; ++j) {
                const std::size_t first = present.size();
                for (; probe != probes.cend() && probe->row == j; ++probe) {
                    std::uint32_t t = probe->group;
                    if (t != KeyGroups::none && m_cellTexts->key(t) != probe->column)
                        t = m_cellTexts->find(probe->column, probe->hash);
                    if (t != KeyGroups::none)
                        present.push_back({t, probe->cell});
                }
                // Most rows hold few such cells: sorted in place.
                if (present.size() - first > 16)
                    std::sort(present.begin() + static_cast<std::ptrdiff_t>(first), present.end());
                for (std::size_t p = first + 1; p < present.size() && present.size() - first <= 16; ++p) {
                    for (std::size_t q = p; q > first && present[q] < present[q - 1]; --q)
                        std::swap(present[q], present[q - 1]);
                }
                for (std::size_t p = first; p < present.size(); ++p) {
                    if (p == first || present[p].text != present[p - 1].text)
                        ++rowsHolding[present[p].text];
                }
                rowStart[j + 1] = present.size();
            }
        }
        std::vector<std::uint32_t> byAnchorStart;
        std::vector<std::uint32_t> byAnchor;
        const std::uint32_t groupCount = groupLines(rowsHolding, firstGroup, groupOfKey, byAnchorStart, byAnchor);

        std::vector<std::uint32_t> taken;
        // The lines under a row's cells lie anywhere: fetched some rows ahead, in two steps.
        constexpr std::size_t far = 48;
        constexpr std::size_t near = 24;
        const auto fetchAhead = [&](std::size_t j) {
            if (j + far < rows.size()) {
                for (std::size_t p = rowStart[j + far]; p < rowStart[j + far + 1]; ++p)
                    prefetch(&byAnchorStart[present[p].text]);
            }
            if (j + near < rows.size()) {
                for (std::size_t p = rowStart[j + near]; p < rowStart[j + near + 1]; ++p) {
                    const std::uint32_t a = byAnchorStart[present[p].text];
                    if (a < byAnchor.size())
                        prefetch(&byAnchor[a]);
                }
            }
        };
        for (std::size_t j = 0; j < rows.size(); ++j) {
            fetchAhead(j);
            const auto begin = present.begin() + static_cast<std::ptrdiff_t>(rowStart[j]);
            const auto end = present.begin() + static_cast<std::ptrdiff_t>(rowStart[j + 1]);
            for (auto p = begin; p != end; ++p) {
                if (p != begin && p->text == (p - 1)->text)
                    continue;
                for (std::uint32_t a = byAnchorStart[p->text]; a < byAnchorStart[p->text + 1];) {
                    const std::uint32_t g = byAnchor[a];
                    const std::uint32_t count = byAnchor[a + 1];
                    const std::span<const std::uint32_t> cells(byAnchor.data() + a + 2, count);
                    const bool held = m_constrained ? holdsInColumns(cells, {byAnchor.data() + a + 2 + count, count},
                                                                     begin, end, taken)
                                                    : holdsEveryCell(cells, begin, end, taken);
                    a += entrySize(count);
                    if (held)
                        addMatch(static_cast<std::uint32_t>(j), firstGroup + g, taken, matches, cellPool);
                }
            }
        }
        return groupCount;
    }

private:
    // A line as its anchor keeps it: its group, its cell count, its cells, and their columns where
    // some must stand in given ones; so that one fetch brings it all.
    std::uint32_t entrySize(std::uint32_t count) const { return 2 + (m_constrained ? 2 : 1) * count; }

    // Puts each line under its rarest cell (byAnchor, from byAnchorStart[text]), once for lines
    // that are equal, and gives the lines their groups; returns how many.
    std::uint32_t groupLines(const std::vector<std::uint32_t> &rowsHolding, std::uint32_t firstGroup,
                             std::vector<std::uint32_t> &groupOfKey, std::vector<std::uint32_t> &byAnchorStart,
                             std::vector<std::uint32_t> &byAnchor) const
    {
        const std::size_t lineCount = m_keyOfLine.size();
        const std::size_t textCount = m_cellTexts->size();
        const auto cellsOf = [&](std::uint32_t l) {
            return std::span<const std::uint32_t>(m_cells).subspan(m_cellStart[l], m_cellStart[l + 1] - m_cellStart[l]);
        };
        const auto columnsOf = [&](std::uint32_t l) {
            return m_constrained ? std::span<const std::uint32_t>(m_required)
                                       .subspan(m_cellStart[l], m_cellStart[l + 1] - m_cellStart[l])
                                 : std::span<const std::uint32_t>();
        };
        // A line with a cell that no row holds has no row.
        std::vector<std::uint32_t> anchor(lineCount, KeyGroups::none);
        std::vector<std::uint32_t> bucketStart(textCount + 1, 0);
        for (std::uint32_t l = 0; l < lineCount; ++l) {
            std::uint32_t best = KeyGroups::none;
            for (const std::uint32_t text : cellsOf(l)) {
                if (best == KeyGroups::none || rowsHolding[text] < rowsHolding[best])
                    best = text;
            }
            if (rowsHolding[best] > 0) {
                anchor[l] = best;
                ++bucketStart[best + 1];
            }
        }
        for (std::size_t t = 0; t < textCount; ++t)
            bucketStart[t + 1] += bucketStart[t];
        std::vector<std::uint32_t> order(bucketStart.back());
        {
            std::vector<std::uint32_t> next(bucketStart.begin(), bucketStart.end() - 1);
            for (std::uint32_t l = 0; l < lineCount; ++l) {
                if (anchor[l] != KeyGroups::none)
                    order[next[anchor[l]]++] = l;
            }
        }
        // Equal lines (the same cells in the same columns) share the anchor; the first of them
        // stands for the others.
        std::vector<std::uint32_t> first(lineCount);
        for (std::uint32_t l = 0; l < lineCount; ++l)
            first[l] = l;
        const auto same = [&](std::uint32_t a, std::uint32_t b) {
            return std::ranges::equal(cellsOf(a), cellsOf(b)) && std::ranges::equal(columnsOf(a), columnsOf(b));
        };
        for (std::size_t t = 0; t < textCount; ++t) {
            const auto begin = order.begin() + bucketStart[t];
            const auto end = order.begin() + bucketStart[t + 1];
            if (end - begin < 2)
                continue;
            std::sort(begin, end, [&](std::uint32_t a, std::uint32_t b) {
                const auto ca = cellsOf(a), cb = cellsOf(b);
                if (!std::ranges::equal(ca, cb))
                    return std::ranges::lexicographical_compare(ca, cb);
                const auto ra = columnsOf(a), rb = columnsOf(b);
                if (!std::ranges::equal(ra, rb))
                    return std::ranges::lexicographical_compare(ra, rb);
                return a < b;
            });
            for (auto at = begin + 1; at != end; ++at) {
                if (same(*at, *(at - 1)))
                    first[*at] = first[*(at - 1)];
            }
        }
        // Groups in the order of the lines, so that the rows of lines that follow each other
        // lie together.
        std::vector<std::uint32_t> groupOfLine(lineCount);
        std::uint32_t groups = 0;
        std::uint32_t rowless = KeyGroups::none;
        for (std::uint32_t l = 0; l < lineCount; ++l) {
            if (anchor[l] == KeyGroups::none) {
                if (rowless == KeyGroups::none)
                    rowless = groups++;
                groupOfLine[l] = rowless;
            } else {
                groupOfLine[l] = first[l] == l ? groups++ : groupOfLine[first[l]];
            }
            groupOfKey[m_keyOfLine[l]] = firstGroup + groupOfLine[l];
        }
        byAnchorStart.assign(textCount + 1, 0);
        for (std::size_t t = 0; t < textCount; ++t) {
            byAnchorStart[t + 1] = byAnchorStart[t];
            for (std::uint32_t i = bucketStart[t]; i < bucketStart[t + 1]; ++i) {
                if (first[order[i]] == order[i])
                    byAnchorStart[t + 1] += entrySize(static_cast<std::uint32_t>(cellsOf(order[i]).size()));
            }
        }
        byAnchor.resize(byAnchorStart.back());
        auto out = byAnchor.begin();
        for (const std::uint32_t l : order) {
            if (first[l] != l)
                continue;
            *out++ = groupOfLine[l];
            *out++ = static_cast<std::uint32_t>(cellsOf(l).size());
            out = std::ranges::copy(cellsOf(l), out).out;
            out = std::ranges::copy(columnsOf(l), out).out;
        }
        return groups;
    }

    // Whether the row's cells (sorted by text) hold each cell of the line, a cell apiece; the
    // cells taken, ascending.
    template<class Iterator>
    static bool holdsEveryCell(std::span<const std::uint32_t> cells, Iterator begin, Iterator end,
                               std::vector<std::uint32_t> &taken)
    {
        taken.clear();
        for (std::size_t c = 0; c < cells.size();) {
            const std::uint32_t text = cells[c];
            std::uint32_t wanted = 0;
            for (; c < cells.size() && cells[c] == text; ++c)
                ++wanted;
            auto at = std::lower_bound(begin, end, text, [](const auto &p, std::uint32_t t) { return p.text < t; });
            for (; wanted > 0 && at != end && at->text == text; --wanted, ++at)
                taken.push_back(at->cell);
            if (wanted > 0)
                return false;
        }
        std::sort(taken.begin(), taken.end());
        return true;
    }

    // As holdsEveryCell, where cells may have to stand in given columns: those first, each in its
    // own; then the others in any cell not taken.
    template<class Iterator>
    bool holdsInColumns(std::span<const std::uint32_t> cells, std::span<const std::uint32_t> columns, Iterator begin,
                        Iterator end, std::vector<std::uint32_t> &taken)
    {
        taken.clear();
        m_used.assign(static_cast<std::size_t>(end - begin), false);
        const auto less = [](const auto &p, std::pair<std::uint32_t, std::uint32_t> v) {
            return p.text < v.first || (p.text == v.first && p.cell < v.second);
        };
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (columns[c] == noCell)
                continue;
            const auto at = std::lower_bound(begin, end, std::pair{cells[c], columns[c]}, less);
            if (at == end || at->text != cells[c] || at->cell != columns[c] || m_used[at - begin])
                return false;
            m_used[at - begin] = true;
            taken.push_back(at->cell);
        }
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (columns[c] != noCell)
                continue;
            auto at = std::lower_bound(begin, end, std::pair{cells[c], std::uint32_t(0)}, less);
            while (at != end && at->text == cells[c] && m_used[at - begin])
                ++at;
            if (at == end || at->text != cells[c])
                return false;
            m_used[at - begin] = true;
            taken.push_back(at->cell);
        }
        std::sort(taken.begin(), taken.end());
        return true;
    }

    static void addMatch(std::uint32_t row, std::uint32_t group, const std::vector<std::uint32_t> &taken,
                         std::vector<Match> &matches, std::vector<std::uint32_t> &cellPool)
    {
        if (taken.size() == 1) {
            matches.push_back({row, group, taken.front(), 1, true});
            return;
        }
        matches.push_back({row, group, pooled | static_cast<std::uint32_t>(cellPool.size()), 2, true});
        cellPool.push_back(static_cast<std::uint32_t>(taken.size()));
        cellPool.insert(cellPool.end(), taken.begin(), taken.end());
    }

    std::unique_ptr<KeyGroups> m_cellTexts; // every distinct cell of the lines
    std::vector<std::size_t> m_keyOfLine;   // per line with cells to look for: its key position
    std::vector<std::uint32_t> m_cellStart; // cells of line l: m_cells[m_cellStart[l] .. m_cellStart[l + 1])
    std::vector<std::uint32_t> m_cells;     // by line, sorted
    // Where some cells must stand in given columns: per cell of m_cells, its column or noCell.
    bool m_constrained = false;
    std::vector<std::uint32_t> m_required;
    std::vector<char> m_used;
};

} // namespace

Matcher::Matcher(const LineTable &keys, const LineTable &rows, std::optional<std::size_t> column,
                 std::span<const std::size_t> keyCells, std::span<const std::uint32_t> cellColumns)
    : m_groupOfKey(keys.size(), noGroup)
{
    // Empty keys never match; keys holding a TAB are lists of cells (CellListMatcher).
    std::vector<std::size_t> lists;
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
    {
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
    }
    // Lines of several cells are matched apart, after the others, in groups of their own.
    CellListMatcher cellLists;
    m_firstCellList = static_cast<std::uint32_t>(groups->size());
    cellLists.addKeys(keys, lists, keyCells, cellColumns);

    // Keys like "7." that name a row of the table, by row; in one column, only its cell counts.
    std::vector<std::pair<std::size_t, std::uint32_t>> numbered;
    for (std::uint32_t g = 0; g < m_firstCellList && !column; ++g) {
        const std::optional<std::size_t> row = rowOfNumberPiece(groups->key(g));
        if (row && *row < rows.size())
            numbered.emplace_back(*row, g);
    }
    std::sort(numbered.begin(), numbered.end());
    auto nextNumbered = numbered.cbegin();

    // Rows go in batches: split and hash every column that may be a key, prefetching its
    // slot; then probe the slots; then compare the texts. Misses overlap instead of queueing.
    std::vector<Match> matches;
    matches.reserve(rows.size() + rows.size() / 8);
    std::vector<Probe> probes;
    if (rows.size() >= UINT32_MAX)
        throw std::length_error("too many rows");
    const bool oneColumn = column.has_value();
    const std::uint32_t onlyCell =
        column ? static_cast<std::uint32_t>(std::min<std::size_t>(*column - 1, noCell)) : noCell;
    // A class list of several columns alone has no single keys: the rows are read for its cells only.
    for (std::size_t firstRow = 0; firstRow < rows.size() && groups->size() > 0; firstRow += batchRows) {
        const std::size_t endRow = std::min(rows.size(), firstRow + batchRows);
        probes.clear();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            if (rows[j].size() >= pooled)
                throw std::length_error("a row of too many cells");
            // In the key column the cell is taken whatever follows it, the row's last too.
            forEachCell(rows[j], [&](std::u16string_view text, std::size_t, std::uint32_t cell, bool last) {
                if (oneColumn && cell != onlyCell)
                    return cell > onlyCell;
                if (!text.empty() && groups->mayHold(text)) {
                    const std::uint64_t h = hashText(text);
                    groups->prefetchSlot(h);
                    probes.push_back({text, h, j, groups->firstSlot(h), KeyGroups::none, cell, !last || oneColumn});
                }
                return false;
            });
        }
        for (Probe &p : probes) {
            std::tie(p.group, p.slot) = groups->probe(p.hash, p.slot);
            if (p.group != KeyGroups::none)
                prefetch(groups->key(p.group).data());
        }
        for (Probe &p : probes) {
            if (p.group != KeyGroups::none && groups->key(p.group) != p.column)
                p.group = groups->find(p.column, p.hash); // another key with the same tag
        }

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
            const auto begin = matches.begin() + static_cast<std::ptrdiff_t>(firstOfRow);
            if (matches.end() - begin > 1) {
                // One match a key: its cells in the pool where there are several.
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
            const std::u16string_view row = rows[j];
            auto kept = matches.begin() + static_cast<std::ptrdiff_t>(firstOfRow);
            for (auto m = kept; m != matches.end(); ++m) {
                if (m->inner || isCandidate(groups->key(m->group), row))
                    *kept++ = *m;
            }
            matches.erase(kept, matches.end());
        }
    }
    groups.reset();
    const std::size_t groupCount =
        m_firstCellList + cellLists.addMatches(rows, m_firstCellList, m_groupOfKey, matches, m_cellPool);

    // Group the matches by key, keeping data order within each group. Most keys stand in one
    // cell, the same in each of their rows: that cell is kept once for the key, and only the
    // rows that differ are kept on their own, so that no more than the rows is written in
    // scattered order.
    m_groupStart.assign(groupCount + 1, 0);
    for (const Match &m : matches)
        ++m_groupStart[m.group + 1];
    for (std::size_t g = 0; g < groupCount; ++g)
        m_groupStart[g + 1] += m_groupStart[g];
    m_rows.resize(matches.size());
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
        // A line of several cells keeps the cells of its first row likewise, most have one row.
        if (m.cells == 1 || (m.group >= m_firstCellList && f.cell == noCell)) {
            if (f.cell == noCell)
                f.cell = m.cell;
            if (f.cell == m.cell)
                continue;
        }
        m_otherCells.push_back({m.group, m.row, m.cells == 0 ? noCell : m.cell});
    }
    m_groupCell.resize(groupCount);
    for (std::size_t g = 0; g < groupCount; ++g)
        m_groupCell[g] = fill[g].cell;
    std::sort(m_otherCells.begin(), m_otherCells.end());
    if (m_cellPool.size() >= pooled)
        throw std::length_error("too many cells that hold keys");
}

std::span<const std::uint32_t> Matcher::cellsOf(std::uint32_t group, std::size_t row) const
{
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
