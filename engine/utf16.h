#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The engine's texts are UTF-16 as the boxes hold them. These are the one place where a
// surrogate pair is read as one character, where UTF-16 becomes UTF-8, and where a long text
// is cut for display without splitting a pair. A lone surrogate stays a character of its own.
namespace lanshan {

constexpr bool isHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

constexpr bool isLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

struct CodePoint
{
    char32_t value;
    std::size_t units; // 2 for a pair, else 1
};

// The character that starts at text[i] (i < text.size()).
inline CodePoint codePointAt(std::u16string_view text, std::size_t i)
{
    const char32_t c = text[i];
    if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
        return {0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00), 2};
    return {c, 1};
}

// The character that ends at text[end - 1] (end > 0).
inline CodePoint codePointBefore(std::u16string_view text, std::size_t end)
{
    const char32_t c = text[end - 1];
    if (isLowSurrogate(c) && end >= 2 && isHighSurrogate(text[end - 2]))
        return {0x10000 + ((text[end - 2] - 0xD800) << 10) + (c - 0xDC00), 2};
    return {c, 1};
}

template<class Visit>
void forEachCodePoint(std::u16string_view text, Visit visit)
{
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint c = codePointAt(text, i);
        visit(c.value);
        i += c.units;
    }
}

// The UTF-8 of one character written at out, which has room for four bytes; the end returned.
// A lone surrogate is written as U+FFFD.
char *encodeUtf8(char32_t c, char *out);

// UTF-8 appended to out; a lone surrogate is written as U+FFFD.
void appendUtf8(std::string &out, std::u16string_view text);
void appendUtf8(std::string &out, char32_t c);

// The first maxUnits units of text, one fewer where the cut would split a pair.
std::u16string_view cutForDisplay(std::u16string_view text, std::size_t maxUnits);

} // namespace lanshan
