#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How the engine's texts are shown in lists, the report and its files: a number in digits, a
// long text cut with "…", the line breaks inside a row as ↵, a key line's cells apart by ⇥. Each
// is made here and nowhere else.
namespace lanshan {

// The decimal digits of value appended to out, in any width of characters: the report's TSV
// writes 8-bit text, the rest UTF-16.
template<class Char>
void appendDecimal(std::basic_string<Char> &out, std::size_t value)
{
    Char digits[20];
    Char *const end = digits + sizeof digits / sizeof digits[0];
    Char *p = end;
    do {
        *--p = static_cast<Char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    out.append(p, end);
}

inline std::u16string decimal(std::size_t value)
{
    std::u16string digits;
    appendDecimal(digits, value);
    return digits;
}

// A view lays out the whole text of every item that it paints, so that an item of megabytes
// would take seconds at each repaint. Longer items show their first units and "…"; the copy
// commands take the lines from the tables, whole.
constexpr std::size_t shownLength = 1000;

inline constexpr std::u16string_view ellipsis = u"…";

// A text cut for display: at most maxUnits units of it, one fewer where the cut would split a
// surrogate pair, and the mark that says so (ellipsis where it was cut, else nothing). Apart, so
// that a writer can turn both into its own form without a copy of the text.
struct Excerpt
{
    std::u16string_view head;
    std::u16string_view mark;
};
Excerpt excerpt(std::u16string_view text, std::size_t maxUnits);

// The head and its mark in one text.
std::u16string excerptText(std::u16string_view text, std::size_t maxUnits);

inline constexpr char16_t lineBreakMark = u'\u21B5';

// Which characters a one-line view shows as ↵: CR and LF, the breaks a pasted row can hold (the
// lists of the window); or every line break of Unicode, U+0085, U+2028 and U+2029 too (the
// report, which also shows the data's other control characters).
enum class LineBreaks { CrLf, Unicode };

// Every line break of the kind in text replaced by ↵, in place: a row stays one line high.
void markLineBreaks(std::u16string &text, LineBreaks breaks);

inline constexpr char16_t cellMark = u'\u21E5';

// Every TAB in text replaced by ⇥, in place: the cells of a key line stand side by side in a
// narrow place, where a TAB stop would push the later ones out of sight.
void markCells(std::u16string &text);

} // namespace lanshan
