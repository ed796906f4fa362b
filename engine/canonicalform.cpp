#include "canonicalform.h"

#include "unicodetables.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <vector>

namespace lanshan {

namespace {

constexpr char32_t removed = 0x110000; // past every code point

char32_t mapped(std::span<const unicode::CodeMapping> table, char32_t c)
{
    const auto it = std::lower_bound(table.begin(), table.end(), c,
                                     [](const unicode::CodeMapping &m, char32_t value) { return m.from < value; });
    return it != table.end() && it->from == c ? it->to : c;
}

char32_t foldCharacter(char32_t c, unsigned classes)
{
    if ((classes & Spaces) && isSpaceCharacter(c))
        return removed;
    if ((classes & Invisible) && isInvisibleCharacter(c))
        return removed;
    if ((classes & Width) && c >= 0xFF01 && c <= 0xFF5E)
        c -= 0xFEE0;
    if (classes & Case)
        c = mapped(unicode::caseFoldings(), c);
    if (classes & Variant)
        c = mapped(unicode::simplifiedVariants(), c);
    return c;
}

// Every class at once for the Basic Multilingual Plane, where nearly all text lies: one load
// per character instead of several searches. Made on first use, in well under a millisecond.
class BmpFolding
{
public:
    BmpFolding()
    {
        for (char32_t c = 0; c < 0x10000; ++c)
            m_folded[c] = c;
        for (const unicode::CodeMapping &m : unicode::caseFoldings()) {
            if (m.from < 0x10000)
                m_folded[m.from] = m.to;
        }
        for (char32_t c = 0xFF01; c <= 0xFF5E; ++c)
            m_folded[c] = m_folded[c - 0xFEE0]; // the ASCII form, then its case
        std::vector<char32_t> simplified(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            simplified[c] = c;
        for (const unicode::CodeMapping &m : unicode::simplifiedVariants()) {
            if (m.from < 0x10000)
                simplified[m.from] = m.to;
        }
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (m_folded[c] < 0x10000)
                m_folded[c] = simplified[m_folded[c]];
        }
        for (char32_t c : unicode::formatCharacters()) {
            if (c < 0x10000)
                m_folded[c] = removed;
        }
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (isSpaceCharacter(c))
                m_folded[c] = removed;
        }
    }

    char32_t operator[](char32_t c) const { return m_folded[c]; }

private:
    std::array<char32_t, 0x10000> m_folded;
};

const BmpFolding &bmpFolding()
{
    static const auto table = std::make_unique<const BmpFolding>();
    return *table;
}

} // namespace

bool isSpaceCharacter(char32_t c)
{
    return c == 0x20 || c == 0x3000 || c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F;
}

bool isInvisibleCharacter(char32_t c)
{
    const std::span<const char32_t> formats = unicode::formatCharacters();
    return std::binary_search(formats.begin(), formats.end(), c);
}

void appendCanonicalForm(std::u16string_view text, unsigned classes, std::u32string &out)
{
    const bool all = (classes & textCauses) == textCauses;
    const BmpFolding *bmp = all ? &bmpFolding() : nullptr;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        c = bmp && c < 0x10000 ? (*bmp)[c] : foldCharacter(c, classes);
        if (c != removed)
            out += c;
    }
}

std::u32string canonicalForm(std::u16string_view text, unsigned classes)
{
    std::u32string out;
    appendCanonicalForm(text, classes, out);
    return out;
}

unsigned differingClasses(std::u16string_view a, std::u16string_view b)
{
    unsigned classes = 0;
    for (unsigned c : {Spaces, Invisible, Width, Case, Variant}) {
        if (canonicalForm(a, textCauses & ~c) != canonicalForm(b, textCauses & ~c))
            classes |= c;
    }
    return classes;
}

} // namespace lanshan
