#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lanshan {

// The lines of several cells whose cells many rows hold (a class, a gender), each under its
// rarest text and, within that, under its second rarest (the rarest again where the line has no
// other). A row that holds a text many lines share is compared only with the lines whose second
// text it holds too: K classes and K names make K² lines, and a row of one class and one name
// finds the one line of that pair with a lookup instead of walking the K lines of its class.
//
// A row of p texts costs, for each text it holds, the smaller of the lines under it and p lookups:
// at most p² lookups, however many lines share its texts.
class CellPairIndex
{
public:
    static constexpr std::uint32_t none = UINT32_MAX;

    // Per line: its rarest text and its second (the rarest again where it has no other), none
    // where no row holds the rarest; texts: how many texts are numbered.
    CellPairIndex(std::span<const std::uint32_t> rarest, std::span<const std::uint32_t> second, std::size_t texts);

    // Calls visit(line) once for each line whose two texts the row holds; present: the row's
    // texts, each once, ascending.
    template<class Visit>
    void forEachLine(std::span<const std::uint32_t> present, Visit visit) const
    {
        for (const std::uint32_t r : present) {
            const std::uint32_t begin = m_start[r];
            const std::uint32_t end = m_start[r + 1];
            if (end - begin <= present.size()) {
                for (std::uint32_t i = begin; i < end; ++i) {
                    if (holds(present, m_second[i]))
                        visit(m_line[i]);
                }
                continue;
            }
            for (const std::uint32_t s : present) {
                for (std::uint32_t i = firstWith(begin, end, s); i < end && m_second[i] == s; ++i)
                    visit(m_line[i]);
            }
        }
    }

private:
    static bool holds(std::span<const std::uint32_t> present, std::uint32_t text);
    std::uint32_t firstWith(std::uint32_t begin, std::uint32_t end, std::uint32_t second) const;

    // The lines by rarest text, then second: text t's run is [m_start[t], m_start[t + 1]).
    std::vector<std::uint32_t> m_start;
    std::vector<std::uint32_t> m_second;
    std::vector<std::uint32_t> m_line;
};

} // namespace lanshan
