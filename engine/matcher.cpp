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

struct Match
{
    std::size_t row;
    std::uint32_t group;
    bool inner; // the key equals a column that is not the row's last: surely a candidate
};

// A column to look up, carried through the stages of a batch.
struct Probe
{
    std::u16string_view column;
    std::uint64_t hash;
    std::size_t row;
    std::size_t slot;
    std::uint32_t group;
    bool inner;
};

constexpr std::size_t batchRows = 64;

} // namespace

Matcher::Matcher(const LineTable &keys, const LineTable &rows)
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

    // Keys like "7." that name a row of the table, by row.
    std::vector<std::pair<std::size_t, std::uint32_t>> numbered;
    for (std::uint32_t g = 0; g < groupCount; ++g) {
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
    std::vector<std::size_t> rowMatchStart(batchRows + 1);
    for (std::size_t firstRow = 0; firstRow < rows.size(); firstRow += batchRows) {
        const std::size_t endRow = std::min(rows.size(), firstRow + batchRows);
        probes.clear();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            forEachCell(rows[j], [&](std::u16string_view column, std::size_t, std::uint32_t, bool last) {
                if (!column.empty() && groups->mayHold(column)) {
                    const std::uint64_t h = hashText(column);
                    groups->prefetchSlot(h);
                    probes.push_back({column, h, j, groups->firstSlot(h), KeyGroups::none, !last});
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

        // Matches of each row, one per key, then the candidate test where no inner
        // column vouches for the row.
        auto probe = probes.cbegin();
        for (std::size_t j = firstRow; j < endRow; ++j) {
            const std::size_t firstOfRow = matches.size();
            for (; probe != probes.cend() && probe->row == j; ++probe) {
                if (probe->group != KeyGroups::none)
                    matches.push_back({j, probe->group, probe->inner});
            }
            if (nextNumbered != numbered.cend() && nextNumbered->first == j) {
                matches.push_back({j, nextNumbered->second, false});
                ++nextNumbered;
            }
            const auto begin = matches.begin() + static_cast<std::ptrdiff_t>(firstOfRow);
            if (matches.end() - begin > 1) {
                std::sort(begin, matches.end(), [](const Match &a, const Match &b) {
                    return a.group < b.group || (a.group == b.group && a.inner > b.inner);
                });
                matches.erase(std::unique(begin, matches.end(),
                                          [](const Match &a, const Match &b) { return a.group == b.group; }),
                              matches.end());
            }
            const std::u16string_view row = rows[j];
            auto kept = begin;
            for (auto m = begin; m != matches.end(); ++m) {
                if (m->inner || isCandidate(groups->key(m->group), row))
                    *kept++ = *m;
            }
            matches.erase(kept, matches.end());
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
    std::vector<std::size_t> fill(m_groupStart.begin(), m_groupStart.end() - 1);
    for (const Match &m : matches)
        m_rows[fill[m.group]++] = m.row;
}

std::span<const std::size_t> Matcher::confirmedRows(std::size_t keyPos) const
{
    const std::uint32_t g = m_groupOfKey.at(keyPos);
    if (g == noGroup)
        return {};
    return std::span<const std::size_t>(m_rows).subspan(m_groupStart[g], m_groupStart[g + 1] - m_groupStart[g]);
}

} // namespace lanshan
