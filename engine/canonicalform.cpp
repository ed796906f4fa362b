#include "canonicalform.h"

#include "unicodetables.h"
#include "utf16.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace lanshan {

namespace {

constexpr char32_t removed = 0x110000; // past every code point

// ClassForms keeps a form per class bit.
static_assert(textCauses == (1u << 5) - 1);

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

// The Basic Multilingual Plane, where nearly all text lies, in two tables made on first use
// (well under a millisecond): which classes change a character, and what all of them make of
// it. Most characters are changed by none and cost one byte-sized load.
class BmpFolding
{
public:
    BmpFolding()
    {
        std::vector<char32_t> caseFolded(0x10000);
        std::vector<char32_t> simplified(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            caseFolded[c] = simplified[c] = c;
        for (const unicode::CodeMapping &m : unicode::caseFoldings()) {
            if (m.from < 0x10000)
                caseFolded[m.from] = m.to;
        }
        for (const unicode::CodeMapping &m : unicode::simplifiedVariants()) {
            if (m.from < 0x10000)
                simplified[m.from] = m.to;
        }
        for (char32_t c = 0; c < 0x10000; ++c) {
            unsigned classes = 0;
            char32_t f = c;
            if (f >= 0xFF01 && f <= 0xFF5E) {
                f -= 0xFEE0;
                classes |= Width;
            }
            if (caseFolded[f] != f) {
                f = caseFolded[f];
                classes |= Case;
            }
            if (f < 0x10000 && simplified[f] != f) {
                f = simplified[f];
                classes |= Variant;
            }
            if (isSpaceCharacter(c)) {
                f = removed;
                classes = Spaces;
            }
            m_folded[c] = f;
            m_classes[c] = static_cast<std::uint8_t>(classes);
        }
        for (char32_t c : unicode::formatCharacters()) {
            if (c < 0x10000) {
                m_folded[c] = removed;
                m_classes[c] = Invisible;
            }
        }
    }

    char32_t folded(char32_t c) const { return m_folded[c]; }
    unsigned classes(char32_t c) const { return m_classes[c]; }

private:
    std::array<char32_t, 0x10000> m_folded;
    std::array<std::uint8_t, 0x10000> m_classes;
};

const BmpFolding &bmpFolding()
{
    static const auto table = std::make_unique<const BmpFolding>();
    return *table;
}

// The classes that change a character.
unsigned classesOf(char32_t c)
{
    if (c < 0x10000)
        return bmpFolding().classes(c);
    unsigned classes = 0;
    for (unsigned x : {Spaces, Invisible, Width, Case, Variant}) {
        if (foldCharacter(c, x) != c)
            classes |= x;
    }
    return classes;
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
    const BmpFolding &bmp = bmpFolding();
    const bool all = (classes & textCauses) == textCauses;
    forEachCodePoint(text, [&](char32_t c) {
        if (c < 0x10000 && (bmp.classes(c) == 0 || all))
            c = bmp.folded(c);
        else
            c = foldCharacter(c, classes);
        if (c != removed)
            out += c;
    });
}

std::optional<std::pair<char32_t, char32_t>> canonicalEnds(std::u16string_view text)
{
    const BmpFolding &bmp = bmpFolding();
    const auto fold = [&](char32_t c) { return c < 0x10000 ? bmp.folded(c) : foldCharacter(c, textCauses); };
    std::size_t i = 0;
    char32_t first = removed;
    while (i < text.size() && first == removed) {
        const CodePoint c = codePointAt(text, i);
        first = fold(c.value);
        i += c.units;
    }
    if (first == removed)
        return std::nullopt;
    char32_t last = first;
    for (std::size_t j = text.size(); j > i;) {
        const CodePoint c = codePointBefore(text.substr(i), j - i);
        j -= c.units;
        if (const char32_t f = fold(c.value); f != removed) {
            last = f;
            break;
        }
    }
    return std::pair(first, last);
}

std::u32string canonicalForm(std::u16string_view text, unsigned classes)
{
    std::u32string out;
    appendCanonicalForm(text, classes, out);
    return out;
}

ClassForms::ClassForms(std::u16string_view text)
{
    forEachCodePoint(text, [&](char32_t c) { m_present |= classesOf(c); });
    appendCanonicalForm(text, textCauses, m_form);
    for (unsigned index = 0; index < m_without.size(); ++index) {
        if (m_present & (1u << index))
            appendCanonicalForm(text, textCauses & ~(1u << index), m_without[index]);
    }
}

const std::u32string &ClassForms::without(unsigned index) const
{
    // A class that changes no character leaves the form as it is.
    return (m_present & (1u << index)) ? m_without[index] : m_form;
}

unsigned ClassForms::differingClasses(const ClassForms &other) const
{
    unsigned classes = 0;
    for (unsigned index = 0; index < m_without.size(); ++index) {
        const unsigned c = 1u << index;
        if (((m_present | other.m_present) & c) && without(index) != other.without(index))
            classes |= c;
    }
    return classes;
}

bool longEnoughForm(std::u32string_view form)
{
    const bool digits = std::all_of(form.begin(), form.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; });
    return form.size() >= (digits ? 6u : 2u);
}

bool oneEditApart(std::u32string_view a, std::u32string_view b)
{
    if (a.size() < b.size())
        std::swap(a, b);
    if (a.size() - b.size() > 1)
        return false;
    std::size_t head = 0;
    while (head < b.size() && a[head] == b[head])
        ++head;
    // Replaced where the lengths agree, else one taken out of the longer.
    if (a.size() == b.size())
        return head < a.size() && a.substr(head + 1) == b.substr(head + 1);
    return a.substr(head + 1) == b.substr(head);
}

unsigned differingClasses(std::u16string_view a, std::u16string_view b)
{
    return ClassForms(a).differingClasses(ClassForms(b));
}

} // namespace lanshan
