#include "itemtext.h"

#include "displaytext.h"

namespace lanshan {

std::u16string numberedItem(std::size_t pos, std::u16string_view text)
{
    std::u16string item = decimal(pos + 1);
    item.reserve(item.size() + 1 + text.size());
    item += u'.';
    item += text;
    return item;
}

std::u16string markedItem(std::size_t pos, std::u16string_view line, bool awaited)
{
    std::u16string item = awaited ? u"[*]" : u"   ";
    item += numberedItem(pos, line);
    return item;
}

std::u16string candidateEntry(std::size_t rowPos, std::u16string_view row)
{
    std::u16string item = decimal(rowPos + 1);
    item.reserve(item.size() + 2 + row.size());
    item += u".\t";
    item += row;
    return item;
}

std::u16string entryNumberApart(std::u16string_view item)
{
    const auto isDigit = [](char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'\uFF10' && c <= u'\uFF19'); };
    // The mark of the awaited line, or the three spaces of the others, then the number.
    std::size_t at = item.starts_with(u"[*]") || item.starts_with(u"   ") ? 3 : 0;
    const std::size_t number = at;
    while (at < item.size() && item[at] >= u'0' && item[at] <= u'9')
        ++at;
    if (at == number || at + 1 >= item.size() || item[at] != u'.' || !isDigit(item[at + 1]))
        return std::u16string(item);
    std::u16string shown(item.substr(0, at + 1));
    shown += u' ';
    shown += item.substr(at + 1);
    return shown;
}

std::u16string positionItem(std::size_t rowPos)
{
    return decimal(rowPos);
}

} // namespace lanshan
