#include "linetable.h"

#include <cassert>

namespace lanshan {

namespace {
const std::u16string emptyText;
}

LineTable::LineTable(std::u16string text)
    : m_text(std::make_shared<const std::u16string>(std::move(text)))
{
    const std::u16string &t = *m_text;
    std::size_t begin = 0;
    std::size_t end = t.size();
    while (begin < end && t[begin] == u' ')
        ++begin;
    while (end > begin && t[end - 1] == u' ')
        --end;
    m_end = end;
    if (begin == end)
        return;

    m_starts.push_back(begin);
    const char16_t *data = t.data();
    for (std::size_t i = begin; i + 1 < end; ++i) {
        if (data[i] == u'\r' && data[i + 1] == u'\n') {
            m_starts.push_back(i + 2);
            ++i;
        }
    }
}

std::u16string_view LineTable::operator[](std::size_t pos) const
{
    assert(pos < m_starts.size());
    const std::size_t begin = m_starts[pos];
    const std::size_t end = pos + 1 < m_starts.size() ? m_starts[pos + 1] - 2 : m_end;
    return std::u16string_view(*m_text).substr(begin, end - begin);
}

const std::u16string &LineTable::text() const
{
    return m_text ? *m_text : emptyText;
}

} // namespace lanshan
