#include "cellpairindex.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace lanshan {

CellPairIndex::CellPairIndex(std::span<const std::uint32_t> rarest, std::span<const std::uint32_t> second,
                             std::size_t texts)
    : m_start(texts + 1, 0)
{
    for (const std::uint32_t r : rarest) {
        if (r != none)
            ++m_start[r + 1];
    }
    std::partial_sum(m_start.begin(), m_start.end(), m_start.begin());
    m_second.resize(m_start.back());
    m_line.resize(m_start.back());
    std::vector<std::uint32_t> next(m_start.begin(), m_start.end() - 1);
    for (std::uint32_t line = 0; line < rarest.size(); ++line) {
        if (rarest[line] == none)
            continue;
        const std::uint32_t at = next[rarest[line]]++;
        m_second[at] = second[line];
        m_line[at] = line;
    }
    // Within each text by second text, the lines in their order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> run;
    for (std::size_t t = 0; t < texts; ++t) {
        const std::uint32_t begin = m_start[t];
        const std::uint32_t end = m_start[t + 1];
        if (end - begin < 2)
            continue;
        run.clear();
        for (std::uint32_t i = begin; i < end; ++i)
            run.emplace_back(m_second[i], m_line[i]);
        std::sort(run.begin(), run.end());
        for (std::uint32_t i = begin; i < end; ++i)
            std::tie(m_second[i], m_line[i]) = run[i - begin];
    }
}

bool CellPairIndex::holds(std::span<const std::uint32_t> present, std::uint32_t text)
{
    return std::binary_search(present.begin(), present.end(), text);
}

std::uint32_t CellPairIndex::firstWith(std::uint32_t begin, std::uint32_t end, std::uint32_t second) const
{
    const auto first = m_second.begin();
    return static_cast<std::uint32_t>(std::lower_bound(first + begin, first + end, second) - first);
}

} // namespace lanshan
