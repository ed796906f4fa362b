#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Why a cell of an unused row is near a key line that found no row, and why a line of the
// result may hold a row that is not its own: bits, combined. The first five are the classes of
// differences that the canonical form (canonicalform.h) ignores.
namespace lanshan {

// A new cause goes before Count, and into causeTable below, or the build stops.
enum class CauseIndex : unsigned {
    // Of a near row: why it did not match.
    Spaces,
    Invisible,
    Width,
    Case,
    Variant,
    LastColumn,
    LongerValue,
    OneChar,
    // Of a suspect line: why its row may not be its own.
    OtherColumn,
    SharedRow,
    // Of a near row of a key line of several cells: the row lacks some of its cells, or holds
    // another value where the lines that found their rows hold that cell.
    PartOfKey,
    OtherValue,
    Count
};

constexpr unsigned causeBit(CauseIndex index)
{
    return 1u << static_cast<unsigned>(index);
}

enum NearCause : unsigned {
    Spaces = causeBit(CauseIndex::Spaces),           // spaces inside or around, ordinary or not
    Invisible = causeBit(CauseIndex::Invisible),     // format characters such as U+200B
    Width = causeBit(CauseIndex::Width),             // full-width letters, digits and signs
    Case = causeBit(CauseIndex::Case),               // upper and lower case
    Variant = causeBit(CauseIndex::Variant),         // traditional characters for simplified ones
    LastColumn = causeBit(CauseIndex::LastColumn),   // the row's last cell, which the filter never takes alone
    LongerValue = causeBit(CauseIndex::LongerValue), // the key is only the start or the end of the cell
    OneChar = causeBit(CauseIndex::OneChar),         // the two differ by one character
    // the row holds the key only outside the key column: of a suspect line, and of a near row
    // of a line that a run in one column left empty
    OtherColumn = causeBit(CauseIndex::OtherColumn),
    SharedRow = causeBit(CauseIndex::SharedRow),   // other lines were given the same row
    PartOfKey = causeBit(CauseIndex::PartOfKey),   // some of the line's cells are not in the row at all
    OtherValue = causeBit(CauseIndex::OtherValue), // the row's cell of a list column holds another value
};

constexpr unsigned textCauses = Spaces | Invisible | Width | Case | Variant;

struct CauseEntry
{
    CauseIndex index;
    std::string_view code;     // in the TSV for programs
    std::u16string_view words; // for people
    bool reliable = false;     // a row near only by such causes may be taken without a second look
};

inline constexpr std::array<CauseEntry, static_cast<std::size_t>(CauseIndex::Count)> causeTable{{
    {CauseIndex::Spaces, "spaces", u"空格不同", true},
    {CauseIndex::Invisible, "invisible", u"含不可见字符", true},
    {CauseIndex::Width, "width", u"全角/半角不同", true},
    {CauseIndex::Case, "case", u"大小写不同", true},
    {CauseIndex::Variant, "variant", u"繁简不同", true},
    {CauseIndex::LastColumn, "last-column", u"在最后一列", true},
    {CauseIndex::LongerValue, "longer-value", u"只出现在更长的内容里"},
    {CauseIndex::OneChar, "one-char", u"相差一个字"},
    {CauseIndex::OtherColumn, "other-column", u"只在其他列找到"},
    {CauseIndex::SharedRow, "shared-row", u"与其他行共用一行数据"},
    // Reliable where the row holds at least one of the line's cells as it is (safeAdoptions).
    {CauseIndex::PartOfKey, "part-of-key", u"只有部分列相同", true},
    // Another student's cell: never taken without the user.
    {CauseIndex::OtherValue, "other-value", u"有的列不同"},
}};

constexpr bool causeTableComplete()
{
    for (std::size_t i = 0; i < causeTable.size(); ++i) {
        if (static_cast<std::size_t>(causeTable[i].index) != i || causeTable[i].code.empty()
            || causeTable[i].words.empty())
            return false;
    }
    return true;
}
static_assert(causeTableComplete(), "every cause needs its line in causeTable, in CauseIndex order");

constexpr unsigned reliableCauses = [] {
    unsigned bits = 0;
    for (const CauseEntry &entry : causeTable) {
        if (entry.reliable)
            bits |= causeBit(entry.index);
    }
    return bits;
}();

} // namespace lanshan
