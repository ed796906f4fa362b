#include "keyrule.h"

#include "rowcells.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string>

namespace lanshan {

namespace {

std::u16string withoutSpaces(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c != u' ')
            out += c;
    }
    return out;
}

// True when some column but the last, spaces removed, ends with the key (spaces already
// removed, no TAB in it). That is the same as finding key + TAB in the row without spaces:
// the TAB found must be a column's end, and the key cannot reach past that column's start.
bool innerColumnEndsWith(std::u16string_view row, std::u16string_view bareKey)
{
    for (std::size_t tab = row.find(u'\t'); tab != std::u16string_view::npos; tab = row.find(u'\t', tab + 1)) {
        std::size_t r = tab;
        std::size_t k = bareKey.size();
        while (k > 0 && r > 0) {
            const char16_t c = row[r - 1];
            if (c == u' ') {
                --r;
                continue;
            }
            if (c != bareKey[k - 1])
                break;
            --r;
            --k;
        }
        if (k == 0)
            return true;
    }
    return false;
}

} // namespace

std::u16string_view trimSpaces(std::u16string_view text)
{
    const std::size_t begin = text.find_first_not_of(u' ');
    if (begin == std::u16string_view::npos)
        return {};
    const std::size_t end = text.find_last_not_of(u' ');
    return text.substr(begin, end - begin + 1);
}

bool isEmptyKey(std::u16string_view key)
{
    return trimSpaces(key).empty();
}

bool isCandidate(std::u16string_view key, std::u16string_view row)
{
    std::u16string bareKey = withoutSpaces(key);
    if (bareKey.find(u'\t') == std::u16string::npos)
        return innerColumnEndsWith(row, bareKey);
    // A key that holds a TAB spans columns; search the row without spaces as it stands.
    bareKey += u'\t';
    const std::u16string bareRow = withoutSpaces(row);
    return std::search(bareRow.begin(), bareRow.end(),
                       std::boyer_moore_horspool_searcher(bareKey.begin(), bareKey.end()))
           != bareRow.end();
}

bool isConfirmed(std::u16string_view key, std::u16string_view candidateEntry)
{
    return forEachCell(candidateEntry,
                       [&](std::u16string_view piece, std::size_t, std::uint32_t, bool) { return piece == key; });
}

std::optional<std::size_t> rowOfNumberPiece(std::u16string_view key)
{
    if (key.size() < 2 || key.back() != u'.' || key.front() == u'0')
        return std::nullopt;
    std::size_t number = 0;
    for (char16_t c : key.substr(0, key.size() - 1)) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const std::size_t digit = static_cast<std::size_t>(c - u'0');
        if (number > (std::numeric_limits<std::size_t>::max() - digit) / 10)
            return std::nullopt; // no table has that many rows
        number = number * 10 + digit;
    }
    return number - 1;
}

bool belongsTo(std::u16string_view key, std::u16string_view row, std::size_t rowPos)
{
    if (!isCandidate(key, row))
        return false;
    if (rowOfNumberPiece(key) == rowPos)
        return true;
    return isConfirmed(key, row);
}

} // namespace lanshan
