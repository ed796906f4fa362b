#pragma once

#include "prefetch.h"

#include <cassert>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lanshan {

// The lines of one pasted text: the spaces at the two ends of the whole text are dropped,
// the rest is cut at every CR LF pair. Lines are views into one shared copy of the text,
// so a table is cheap to keep around and never changes under its owner.
class LineTable
{
public:
    LineTable() = default;
    explicit LineTable(std::u16string text);

    std::size_t size() const { return m_starts.size(); }
    bool empty() const { return m_starts.empty(); }
    // Position of the last line, -1 for an empty table.
    std::ptrdiff_t lastPosition() const { return static_cast<std::ptrdiff_t>(m_starts.size()) - 1; }

    std::u16string_view operator[](std::size_t pos) const
    {
        assert(pos < m_starts.size());
        const std::size_t begin = m_starts[pos];
        const std::size_t end = pos + 1 < m_starts.size() ? m_starts[pos + 1] - 2 : m_end;
        return std::u16string_view(m_data + begin, end - begin);
    }

    // Starts loading where line pos lies, for tables read in scattered order: a look at the line
    // itself then waits for one load, not two.
    void fetchAhead(std::size_t pos) const
    {
        if (pos < m_starts.size())
            prefetch(m_starts.data() + pos);
    }

    // The whole text the table was made from, untrimmed.
    const std::u16string &text() const;

private:
    std::shared_ptr<const std::u16string> m_text;
    const char16_t *m_data = nullptr;  // m_text's characters, read on every line access
    std::vector<std::size_t> m_starts; // offset of each line in m_text
    std::size_t m_end = 0;             // end of the trimmed text
};

} // namespace lanshan
