#include "linetable.h"

#include <cstring>

namespace lanshan {

namespace {
const std::u16string emptyText;
}

LineTable::LineTable(std::u16string text)
    : m_text(std::make_shared<const std::u16string>(std::move(text)))
{
    const std::u16string &t = *m_text;
    m_data = t.data();
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
    // Look for LF through memchr over the bytes, which is vectorised; a hit is a byte of some
    // unit, so check that the unit is an LF with a CR before it.
    const char16_t *data = t.data();
    const char *bytes = reinterpret_cast<const char *>(data + begin);
    const std::size_t byteCount = (end - begin) * sizeof(char16_t);
    std::size_t offset = 0;
    while (offset < byteCount) {
        const void *hit = std::memchr(bytes + offset, '\n', byteCount - offset);
        if (!hit)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const char *>(hit) - bytes);
        const std::size_t unit = begin + at / sizeof(char16_t);
        if (data[unit] == u'\n' && unit > begin && data[unit - 1] == u'\r')
            m_starts.push_back(unit + 1);
        offset = at + 1;
    }
}

const std::u16string &LineTable::text() const
{
    return m_text ? *m_text : emptyText;
}

} // namespace lanshan
