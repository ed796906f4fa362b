#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lanshan {

// How many times each text stands in one row, read once per row: a row of many cells is asked
// for the counts of many lines' texts, and a lookup here costs no sort of the row.
class RowCellCounts
{
public:
    // Counts the row's cells; empty cells are not counted.
    void read(std::span<const std::u16string_view> cells);
    // How many of the row's cells are the text (of that hash, hashText).
    std::size_t count(std::u16string_view text, std::uint64_t hash) const;

private:
    struct Slot
    {
        std::u16string_view text;
        std::uint64_t hash = 0;
        std::uint32_t count = 0;
        std::uint32_t stamp = 0; // the row it was filled for; free in any other
    };
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::uint32_t m_stamp = 0;
};

} // namespace lanshan
