#pragma once

#include "prefetch.h"

#include <algorithm>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

// The hash table of distinct texts that the matcher looks row cells up in: keys, and the cells of
// key lines of several columns.
namespace lanshan {

inline std::uint64_t hashText(std::u16string_view text)
{
    std::uint64_t h = 0x9e3779b97f4a7c15ULL ^ text.size();
    for (char16_t c : text)
        h = (h ^ c) * 0x100000001b3ULL;
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 32;
    return h;
}

// Open-addressing set of distinct texts (the matchable keys, or the cells of key lines); each gets
// a dense number, its group. A slot keeps a tag of the hash, so a probe touches the text only when
// the tags agree.
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

} // namespace lanshan
