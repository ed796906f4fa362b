#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lanshan {

// The lines of several cells that hold a text more than once ("x⇥x⇥x"), each kept as its
// different texts with their counts: whether a row holds such a line is then a count of each
// text in the row, so that a line of many equal cells costs one lookup and not one per cell.
class RepeatedCells
{
public:
    struct Counted
    {
        std::u16string_view text;
        std::uint64_t hash; // hashText
        std::uint32_t count;
    };

    // Keeps the line of the group where a text repeats among its cells; groups added ascending.
    // cells: the line's cells to look for, reordered here.
    void add(std::uint32_t group, std::span<std::u16string_view> cells);
    // The group's texts, ascending, with their counts; empty where no text of it repeats.
    std::span<const Counted> of(std::uint32_t group) const;
    bool empty() const { return m_lines.empty(); }

private:
    struct Line
    {
        std::uint32_t begin;
        std::uint32_t end;
    };
    std::vector<Counted> m_counted;
    std::vector<Line> m_lines;
    // Per group up to the last kept: its line, from 1, 0 where none is kept.
    std::vector<std::uint32_t> m_lineOf;
};

} // namespace lanshan
