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

// A key met in a row: the cell (none for the row's own number piece), and whether that cell is
// not the row's last, which makes the row surely a candidate.
struct Hit
{
    std::uint32_t group;
    std::uint32_t cell;
    bool inner;

    bool operator<(const Hit &o) const { return group < o.group || (group == o.group && cell < o.cell); }
};

// A row that belongs to a key, with the cells that hold the key: m_cellPool[cells, cells + count).
struct Match
{
    std::size_t row;
    std::uint32_t group;
    std::uint32_t cells;
    std::uint32_t count;
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

} // namespace

Matcher::Matcher(const LineTable &keys, const LineTable &rows, std::optional<std::size_t> column)
    : m_groupOfKey(keys.size(), noGroup)
{
    // Empty keys and keys holding a TAB (no piece of an entry holds one) never match.
    auto groups = std::make_unique<KeyGroups>(keys.size());
    {
        constexpr std::size_t batch = 32;
        std::uint64_t hashes[batch];
        for (std::size_t first = 0; first < keys.size(); first += batch) {
            const std::size_t count = std::min(batch, keys.size() - first);
            for (std::size_t b = 0; b < count; ++b) {
                hashes[b] = hashText(keys[first + b]);
                groups->prefetchSlot(hashes[b]);
            }
            for (std::size_t b = 0; b < count; ++b) {
                const std::u16string_view key = keys[first + b];
                if (!isEmptyKey(key) && key.find(u'\t') == std::u16string_view::npos)
                    m_groupOfKey[first + b] = groups->insert(key, hashes[b]);
            }
        }
    }
    const std::size_t groupCount = groups->size();

    // Keys like "7." that name a row of the table, by row; in one column, only its cell counts.
    std::vector<std::pair<std::size_t, std::uint32_t>> numbered;
    for (std::uint32_t g = 0; g < groupCount && !column; ++g) {
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
    std::vector<Hit> hits;
    const std::uint32_t onlyCell =
        column ? static_cast<std::uint32_t>(std::min<std::size_t>(*column - 1, noCell)) : noCell;
    for (std::size_t firstRow = 0; firstRow < rows.size(); firstRow += batchRows) {
        const std::size_t endRow = std::min(rows.size(), firstRow + batchRows);
        probes.clear();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            forEachCell(rows[j], [&](std::u16string_view text, std::size_t, std::uint32_t cell, bool last) {
                if (column && cell != onlyCell)
                    return;
                if (!text.empty() && groups->mayHold(text)) {
                    const std::uint64_t h = hashText(text);
                    groups->prefetchSlot(h);
                    // In the key column every cell is taken, the row's last too.
                    probes.push_back({text, h, j, groups->firstSlot(h), KeyGroups::none, cell, !last || column});
                }
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

        // The keys of each row, one match per key with the cells that hold it, then the
        // candidate test where no inner cell vouches for the row.
        auto probe = probes.cbegin();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            hits.clear();
            for (; probe != probes.cend() && probe->row == j; ++probe) {
                if (probe->group != KeyGroups::none)
                    hits.push_back({probe->group, probe->cell, probe->inner});
            }
            if (nextNumbered != numbered.cend() && nextNumbered->first == j) {
                hits.push_back({nextNumbered->second, noCell, false});
                ++nextNumbered;
            }
            if (hits.empty())
                continue;
            if (hits.size() > 1)
                std::sort(hits.begin(), hits.end());
            const std::u16string_view row = rows[j];
            for (auto first = hits.cbegin(); first != hits.cend();) {
                auto end = first;
                bool inner = false;
                for (; end != hits.cend() && end->group == first->group; ++end)
                    inner |= end->inner;
                if (inner || isCandidate(groups->key(first->group), row)) {
                    const auto cells = static_cast<std::uint32_t>(m_cellPool.size());
                    for (auto h = first; h != end; ++h) {
                        if (h->cell != noCell)
                            m_cellPool.push_back(h->cell);
                    }
                    matches.push_back({j, first->group, cells, static_cast<std::uint32_t>(m_cellPool.size()) - cells});
                }
                first = end;
            }
        }
    }
    groups.reset();

    // Group the matches by key, keeping data order within each group.
    m_groupStart.assign(groupCount + 1, 0);
    for (const Match &m : matches)
        ++m_groupStart[m.group + 1];
    for (std::size_t g = 0; g < groupCount; ++g)
        m_groupStart[g + 1] += m_groupStart[g];
    m_rows.resize(matches.size());
    m_cells.resize(matches.size());
    std::vector<std::size_t> fill(m_groupStart.begin(), m_groupStart.end() - 1);
    for (const Match &m : matches) {
        const std::size_t at = fill[m.group]++;
        m_rows[at] = m.row;
        m_cells[at] = {m.cells, m.count};
    }
}

std::span<const std::uint32_t> Matcher::keyCells(std::size_t keyPos, std::size_t nth) const
{
    const std::uint32_t g = m_groupOfKey.at(keyPos);
    if (g == noGroup || nth >= m_groupStart[g + 1] - m_groupStart[g])
        throw std::out_of_range("no such confirmed row");
    const CellList cells = m_cells[m_groupStart[g] + nth];
    return std::span<const std::uint32_t>(m_cellPool).subspan(cells.start, cells.count);
}

std::optional<std::size_t> Matcher::majorityColumn() const
{
    // Per distinct key, how many key lines it stands for; the key lines with rows count.
    std::vector<std::size_t> lines(m_groupStart.size() - 1, 0);
    for (const std::uint32_t g : m_groupOfKey) {
        if (g != noGroup)
            ++lines[g];
    }
    std::size_t withRows = 0;
    std::vector<std::size_t> perColumn;
    std::vector<std::uint32_t> columns;
    for (std::size_t g = 0; g + 1 < m_groupStart.size(); ++g) {
        if (m_groupStart[g] == m_groupStart[g + 1])
            continue;
        withRows += lines[g];
        // The key counts once for each column that holds it in some of its rows.
        columns.clear();
        for (std::size_t m = m_groupStart[g]; m < m_groupStart[g + 1]; ++m)
            columns.insert(columns.end(), m_cellPool.begin() + m_cells[m].start,
                           m_cellPool.begin() + m_cells[m].start + m_cells[m].count);
        if (m_groupStart[g + 1] - m_groupStart[g] > 1) {
            std::sort(columns.begin(), columns.end());
            columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
        }
        for (const std::uint32_t c : columns) {
            if (perColumn.size() <= c)
                perColumn.resize(c + 1, 0);
            perColumn[c] += lines[g];
        }
    }
    for (std::size_t c = 0; c < perColumn.size(); ++c) {
        if (2 * perColumn[c] > withRows)
            return c + 1;
    }
    return std::nullopt;
}

std::span<const std::size_t> Matcher::confirmedRows(std::size_t keyPos) const
{
    const std::uint32_t g = m_groupOfKey.at(keyPos);
    if (g == noGroup)
        return {};
    return std::span<const std::size_t>(m_rows).subspan(m_groupStart[g], m_groupStart[g + 1] - m_groupStart[g]);
}

} // namespace lanshan
