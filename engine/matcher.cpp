#include "matcher.h"

#include "keyrule.h"

#include <algorithm>
#include <bitset>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
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
class KeyGroups
{
public:
    explicit KeyGroups(std::size_t expected)
    {
        std::size_t capacity = 16;
        while (capacity < expected * 2)
            capacity *= 2;
        m_slots.assign(capacity, noSlot);
        m_mask = capacity - 1;
    }

    // Group of the key, adding it when new.
    std::uint32_t insert(std::u16string_view key)
    {
        const std::uint64_t h = hashText(key);
        std::size_t slot = static_cast<std::size_t>(h) & m_mask;
        while (m_slots[slot] != noSlot) {
            const std::uint32_t g = m_slots[slot];
            if (m_hashes[g] == h && m_keys[g] == key)
                return g;
            slot = (slot + 1) & m_mask;
        }
        if (m_keys.size() >= noSlot)
            throw std::length_error("too many distinct keys");
        const auto g = static_cast<std::uint32_t>(m_keys.size());
        m_slots[slot] = g;
        m_keys.push_back(key);
        m_hashes.push_back(h);
        m_firstUnits.set(key.front());
        m_minLength = std::min(m_minLength, key.size());
        m_maxLength = std::max(m_maxLength, key.size());
        return g;
    }

    std::optional<std::uint32_t> find(std::u16string_view text) const
    {
        // Most columns (scores, grades) cannot be keys; reject them before hashing.
        if (text.size() < m_minLength || text.size() > m_maxLength || !m_firstUnits.test(text.front()))
            return std::nullopt;
        const std::uint64_t h = hashText(text);
        std::size_t slot = static_cast<std::size_t>(h) & m_mask;
        while (m_slots[slot] != noSlot) {
            const std::uint32_t g = m_slots[slot];
            if (m_hashes[g] == h && m_keys[g] == text)
                return g;
            slot = (slot + 1) & m_mask;
        }
        return std::nullopt;
    }

    std::size_t size() const { return m_keys.size(); }
    std::u16string_view key(std::uint32_t g) const { return m_keys[g]; }

private:
    static constexpr std::uint32_t noSlot = UINT32_MAX;

    std::vector<std::uint32_t> m_slots;
    std::size_t m_mask = 0;
    std::vector<std::u16string_view> m_keys;
    std::vector<std::uint64_t> m_hashes;
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

} // namespace

Matcher::Matcher(const LineTable &keys, const LineTable &rows)
    : m_groupOfKey(keys.size(), noGroup)
{
    // Empty keys and keys holding a TAB (no piece of an entry holds one) never match.
    auto groups = std::make_unique<KeyGroups>(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::u16string_view key = keys[i];
        if (!isEmptyKey(key) && key.find(u'\t') == std::u16string_view::npos)
            m_groupOfKey[i] = groups->insert(key);
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

    // One pass over the rows in data order; each group's matches come out ascending.
    std::vector<Match> matches;
    std::vector<std::size_t> lastMatch(groupCount, SIZE_MAX);
    auto add = [&](std::uint32_t g, std::size_t row, bool inner) {
        const std::size_t last = lastMatch[g];
        if (last < matches.size() && matches[last].row == row && matches[last].group == g) {
            matches[last].inner = matches[last].inner || inner;
            return;
        }
        lastMatch[g] = matches.size();
        matches.push_back({row, g, inner});
    };

    for (std::size_t j = 0; j < rows.size(); ++j) {
        const std::u16string_view row = rows[j];
        const std::size_t firstOfRow = matches.size();
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = row.find(u'\t', start);
            const bool last = tab == std::u16string_view::npos;
            const std::size_t end = last ? row.size() : tab;
            if (end > start) {
                if (const auto g = groups->find(row.substr(start, end - start)))
                    add(*g, j, !last);
            }
            if (last)
                break;
            start = tab + 1;
        }
        if (nextNumbered != numbered.cend() && nextNumbered->first == j) {
            add(nextNumbered->second, j, false);
            ++nextNumbered;
        }
        // Matches through the last column or the row number still need the candidate test.
        auto kept = matches.begin() + static_cast<std::ptrdiff_t>(firstOfRow);
        for (auto m = kept; m != matches.end(); ++m) {
            if (m->inner || isCandidate(groups->key(m->group), row))
                *kept++ = *m;
        }
        matches.erase(kept, matches.end());
    }
    lastMatch = {};
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
