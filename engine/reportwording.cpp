#include "reportwording.h"

#include "canonicalform.h"
#include "celljudge.h"
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

std::u16string cellVerdictWords(std::span<const CellVerdict> verdicts, std::u16string_view key, std::u16string_view row)
{
    if (verdicts.empty())
        return {};
    std::vector<std::u16string_view> keyCells;
    forEachCell(key, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { keyCells.push_back(cell); });
    std::vector<std::u16string_view> rowCells;
    forEachCell(row, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { rowCells.push_back(cell); });
    const auto quoted = [](std::u16string &out, std::u16string_view text) {
        out += u'“';
        out += visibleLine(excerptText(text, cellWordsLength));
        out += u'”';
    };
    std::u16string words;
    for (const CellVerdict &verdict : verdicts) {
        if (verdict.fate == CellFate::Exact || verdict.keyCell >= keyCells.size())
            continue;
        if (!words.empty())
            words += u'；';
        words += u"名单第 ";
        appendDecimal(words, verdict.keyCell + 1);
        words += u" 列";
        quoted(words, keyCells[verdict.keyCell]);
        if (verdict.fate == CellFate::Absent || verdict.rowCell >= rowCells.size()) {
            words += u"不在这一行";
            continue;
        }
        words += u"，这一行是";
        quoted(words, rowCells[verdict.rowCell]);
        if (verdict.fate == CellFate::Near) {
            words += u'（';
            words += causeWords(verdict.causes);
            words += u'）';
        }
    }
    return words;
}

std::u16string nearRowWords(const Reconciliation &report, const NearRow &near, std::u16string_view key,
                            std::u16string_view row)
{
    std::u16string words = causeWords(near.causes);
    const std::u16string cells = cellVerdictWords(report.verdictsOf(near), key, row);
    if (!cells.empty()) {
        words += u'：';
        words += cells;
    }
    return words;
}

std::u16string reliableRuleWords()
{
    std::u16string words = u"原因仅为";
    words += reliableCauseWords();
    words += u"（名单有几列时，这一行至少有一列与名单完全相同，并且没有一列是别的值）、且每个姓名只有一行、"
             u"这一行也不是别的姓名的可靠行的数据";
    return words;
}

std::vector<std::u16string> emptyLineKeys(const Reconciliation &report, const LineTable &keys, std::size_t most)
{
    std::vector<std::u16string> found;
    auto missing = report.missing.cbegin();
    auto leftEmpty = report.leftEmpty.cbegin();
    while (found.size() < most && (missing != report.missing.cend() || leftEmpty != report.leftEmpty.cend())) {
        const bool missingFirst = leftEmpty == report.leftEmpty.cend()
                                  || (missing != report.missing.cend() && missing->keyLine < leftEmpty->keyLine);
        found.emplace_back(keys[missingFirst ? (missing++)->keyLine : (leftEmpty++)->keyLine]);
    }
    return found;
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
