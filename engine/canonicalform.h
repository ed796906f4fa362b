#pragma once

#include "nearcause.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The canonical form of a text: what is left of it when the differences a teacher does not
// see, or does not mean, are taken out. Which ones is given as NearCause text bits, so that the
// form can also be made with one class left out, to tell which classes make two texts equal.
// Texts are UTF-16; the form holds code points (a surrogate pair becomes one, a lone
// surrogate stays as it is).
namespace lanshan {

// U+0020, U+3000, U+00A0, U+2000 to U+200A, U+202F and U+205F.
bool isSpaceCharacter(char32_t c);
// Format characters, general category Cf (U+200B, U+FEFF, U+00AD, ...).
bool isInvisibleCharacter(char32_t c);

// Appends the canonical form of text to out: spaces and invisible characters removed,
// full-width forms U+FF01 to U+FF5E made ASCII, case folded, traditional characters
// simplified, each only when its bit is in classes.
void appendCanonicalForm(std::u16string_view text, unsigned classes, std::u32string &out);
std::u32string canonicalForm(std::u16string_view text, unsigned classes = textCauses);

// The first and the last character of the canonical form (all classes), found without making
// it; nothing for an empty form.
std::optional<std::pair<char32_t, char32_t>> canonicalEnds(std::u16string_view text);

// The forms of a text with each class left out in turn, made once, so that a long cell is
// compared with many keys at the cost of their lengths alone.
class ClassForms
{
public:
    explicit ClassForms(std::u16string_view text);

    // For a text with the same canonical form: the classes without which the two forms differ.
    unsigned differingClasses(const ClassForms &other) const;

private:
    const std::u32string &without(unsigned index) const;

    unsigned m_present = 0; // the classes that change some character of the text
    std::u32string m_form;
    std::array<std::u32string, 5> m_without; // per class bit, for the classes present
};

// Whether a form is long enough to be looked for inside longer cells or one character apart:
// two characters, six where it is digits alone, lest every score or name be near it.
bool longEnoughForm(std::u32string_view form);

// Whether two forms differ by one character inserted, removed or replaced.
bool oneEditApart(std::u32string_view a, std::u32string_view b);

// For two texts with the same canonical form: the classes without which their forms differ.
unsigned differingClasses(std::u16string_view a, std::u16string_view b);

} // namespace lanshan
