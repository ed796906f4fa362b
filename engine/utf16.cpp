#include "utf16.h"

namespace lanshan {

char *encodeUtf8(char32_t c, char *o)
{
    if (c < 0x80) {
        *o++ = static_cast<char>(c);
        return o;
    }
    if (c >= 0xD800 && c <= 0xDFFF)
        c = 0xFFFD;
    if (c < 0x800) {
        *o++ = static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        *o++ = static_cast<char>(0xE0 | (c >> 12));
        *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (c >> 18));
        *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    *o++ = static_cast<char>(0x80 | (c & 0x3F));
    return o;
}

void appendUtf8(std::string &out, std::u16string_view text)
{
    // Room for the worst case, three bytes a unit; trimmed at the end.
    const std::size_t oldSize = out.size();
    out.resize(oldSize + 3 * text.size());
    char *o = out.data() + oldSize;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] < 0x80) {
            *o++ = static_cast<char>(text[i++]);
            continue;
        }
        const CodePoint c = codePointAt(text, i);
        o = encodeUtf8(c.value, o);
        i += c.units;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

void appendUtf8(std::string &out, char32_t c)
{
    char bytes[4];
    out.append(bytes, static_cast<std::size_t>(encodeUtf8(c, bytes) - bytes));
}

std::u16string_view cutForDisplay(std::u16string_view text, std::size_t maxUnits)
{
    if (text.size() <= maxUnits)
        return text;
    std::size_t cut = maxUnits;
    if (cut > 0 && isHighSurrogate(text[cut - 1]) && isLowSurrogate(text[cut]))
        --cut;
    return text.substr(0, cut);
}

} // namespace lanshan
