#include "repeatedcells.h"

#include "keygroups.h"

#include <algorithm>

namespace lanshan {

void RepeatedCells::add(std::uint32_t group, std::span<std::u16string_view> cells)
{
    std::sort(cells.begin(), cells.end());
    if (std::adjacent_find(cells.begin(), cells.end()) == cells.end())
        return;
    const auto begin = static_cast<std::uint32_t>(m_counted.size());
    for (std::size_t i = 0; i < cells.size();) {
        std::size_t j = i + 1;
        while (j < cells.size() && cells[j] == cells[i])
            ++j;
        m_counted.push_back({cells[i], hashText(cells[i]), static_cast<std::uint32_t>(j - i)});
        i = j;
    }
    m_lines.push_back({begin, static_cast<std::uint32_t>(m_counted.size())});
    m_lineOf.resize(group + 1, 0);
    m_lineOf[group] = static_cast<std::uint32_t>(m_lines.size());
}

std::span<const RepeatedCells::Counted> RepeatedCells::of(std::uint32_t group) const
{
    if (group >= m_lineOf.size() || m_lineOf[group] == 0)
        return {};
    const Line &line = m_lines[m_lineOf[group] - 1];
    return std::span<const Counted>(m_counted).subspan(line.begin, line.end - line.begin);
}

} // namespace lanshan
