#include "reportwording.h"

#include "canonicalform.h"
#include "displaytext.h"
#include "keyrule.h"
#include "nearcause.h"
#include "rowcells.h"
#include "utf16.h"

#include <bit>
#include <string>
#include <vector>

namespace lanshan {

std::u16string causeWords(unsigned causes)
{
    std::u16string words;
    for (const CauseEntry &entry : causeTable) {
        if (causes & causeBit(entry.index)) {
            if (!words.empty())
                words += u'、';
            words += entry.words;
        }
    }
    return words;
}

std::u16string reliableCauseWords()
{
    std::u16string words;
    std::size_t left = static_cast<std::size_t>(std::popcount(reliableCauses));
    for (const CauseEntry &entry : causeTable) {
        if (!entry.reliable)
            continue;
        if (!words.empty())
            words += --left == 1 ? u"或" : u"、";
        words += entry.words;
    }
    return words;
}

// Appended piece by piece: GCC 12 takes operator+ of a literal and a temporary for an
// overlapping copy (-Wrestrict).
std::u16string suspectWords(const SuspectLine &line, std::optional<std::size_t> keyColumn)
{
    std::u16string words;
    if ((line.causes & OtherColumn) && keyColumn) {
        words += u"在第 ";
        appendDecimal(words, line.foundColumn);
        words += u" 列找到，关键字在第 ";
        appendDecimal(words, *keyColumn);
        words += u" 列";
    }
    if ((line.causes & SharedRow) && !line.sharedWith.empty()) {
        if (!words.empty())
            words += u"；";
        words += u"结果第 ";
        for (std::size_t i = 0; i < line.sharedWith.size(); ++i) {
            if (i > 0)
                words += u"、";
            appendDecimal(words, line.sharedWith[i] + 1);
        }
        words += line.sharedOthers > line.sharedWith.size() ? u" 等行也用了这一行数据" : u" 行也用了这一行数据";
    }
    return words;
}

std::u16string partOfKeyWords(std::u16string_view key, std::u16string_view row)
{
    std::vector<std::u16string_view> cells;
    forEachCell(row, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { cells.push_back(cell); });
    std::vector<bool> taken(cells.size(), false);
    std::u16string words;
    forEachCell(key, [&](std::u16string_view cell, std::size_t, std::uint32_t column, bool) {
        if (isEmptyKey(cell))
            return;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (!taken[c] && cells[c] == cell) {
                taken[c] = true;
                return;
            }
        }
        if (!words.empty())
            words += u'；';
        words += u"名单第 ";
        appendDecimal(words, column + 1);
        words += u" 列“";
        words += visibleText(cell);
        words += u"”不在这一行";
    });
    return words;
}

std::u16string_view unusedReasonWords(UnusedReason reason)
{
    switch (reason) {
    case UnusedReason::Duplicate: return u"同一关键字的另一行";
    case UnusedReason::Near: return u"与未找到的关键字相近";
    case UnusedReason::NoKey: break;
    }
    return u"没有关键字对应";
}

namespace {

void appendCodeMark(std::u16string &out, char32_t c)
{
    static const char16_t hexDigits[] = u"0123456789ABCDEF";
    std::u16string hex;
    for (char32_t v = c; v != 0 || hex.size() < 4; v >>= 4)
        hex.insert(hex.begin(), hexDigits[v & 0xF]);
    out += markOpen;
    out += u"U+";
    out += hex;
    out += markClose;
}

} // namespace

std::u16string visibleText(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint c = codePointAt(text, i);
        if (c.value == u' ') {
            out += u"〈空格〉";
        } else if (c.value == u'\u3000') {
            out += u"〈全角空格〉";
        } else if (c.value == u'\u00a0') {
            out += u"〈不换行空格〉";
        } else if (isSpaceCharacter(c.value) || isInvisibleCharacter(c.value) || c.value == markOpen
                   || c.value == markClose) {
            // The marks themselves, where the data holds them, are shown by their code, so that
            // a mark always stands for a character the eye does not see as it is.
            appendCodeMark(out, c.value);
        } else {
            out += text.substr(i, c.units);
        }
        i += c.units;
    }
    return out;
}

std::u16string visibleLine(std::u16string_view text)
{
    std::u16string visible = visibleText(text);
    markLineBreaks(visible, LineBreaks::Unicode);
    std::u16string out;
    out.reserve(visible.size());
    for (const char16_t c : visible) {
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0))
            appendCodeMark(out, c);
        else
            out += c;
    }
    return out;
}

std::u16string nearRowExcerpt(std::u16string_view row)
{
    return excerptText(row, nearRowTextLength);
}

} // namespace lanshan
