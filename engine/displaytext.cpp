#include "displaytext.h"

#include "utf16.h"

#include <algorithm>

namespace lanshan {

Excerpt excerpt(std::u16string_view text, std::size_t maxUnits)
{
    const std::u16string_view head = cutForDisplay(text, maxUnits);
    return {head, head.size() < text.size() ? ellipsis : std::u16string_view()};
}

std::u16string excerptText(std::u16string_view text, std::size_t maxUnits)
{
    const Excerpt cut = excerpt(text, maxUnits);
    std::u16string out;
    out.reserve(cut.head.size() + cut.mark.size());
    out.append(cut.head);
    out.append(cut.mark);
    return out;
}

void markLineBreaks(std::u16string &text, LineBreaks breaks)
{
    const bool unicode = breaks == LineBreaks::Unicode;
    std::replace_if(
        text.begin(), text.end(),
        [unicode](char16_t c) {
            return c == u'\r' || c == u'\n' || (unicode && (c == u'\u0085' || c == u'\u2028' || c == u'\u2029'));
        },
        lineBreakMark);
}

void markCells(std::u16string &text)
{
    std::replace(text.begin(), text.end(), u'\t', cellMark);
}

} // namespace lanshan
