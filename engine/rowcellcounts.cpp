#include "rowcellcounts.h"

#include "keygroups.h"

#include <algorithm>

namespace lanshan {

void RowCellCounts::read(std::span<const std::u16string_view> cells)
{
    std::size_t capacity = 16;
    while (capacity < cells.size() * 2)
        capacity *= 2;
    // Each row marks its slots with a stamp of its own, so that nothing is cleared between rows.
    if (capacity > m_slots.size() || ++m_stamp == 0) {
        m_slots.assign(std::max(capacity, m_slots.size()), Slot{});
        m_stamp = 1;
    }
    m_mask = std::min(capacity, m_slots.size()) - 1;
    for (const std::u16string_view text : cells) {
        if (text.empty())
            continue;
        const std::uint64_t hash = hashText(text);
        std::size_t s = static_cast<std::size_t>(hash) & m_mask;
        while (m_slots[s].stamp == m_stamp && (m_slots[s].hash != hash || m_slots[s].text != text))
            s = (s + 1) & m_mask;
        if (m_slots[s].stamp != m_stamp)
            m_slots[s] = Slot{text, hash, 0, m_stamp};
        ++m_slots[s].count;
    }
}

std::size_t RowCellCounts::count(std::u16string_view text, std::uint64_t hash) const
{
    for (std::size_t s = static_cast<std::size_t>(hash) & m_mask; m_slots[s].stamp == m_stamp; s = (s + 1) & m_mask) {
        if (m_slots[s].hash == hash && m_slots[s].text == text)
            return m_slots[s].count;
    }
    return 0;
}

} // namespace lanshan
