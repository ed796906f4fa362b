#pragma once

#include "reconciliation.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The reconciliation report in words for people: causes and reasons in Chinese, invisible
// characters made visible, long rows cut. The window and the copied table both use them.
namespace lanshan {

// The causes in Chinese words, in cause order, joined by "、".
std::u16string causeWords(unsigned causes);

// The words of the reliable causes (nearcause.h), in cause order, joined by "、" and the last by
// "或": what "采用全部可靠行" takes, as the window's hint and the README say it.
std::u16string reliableCauseWords();

// Why a line of the result may hold a row that is not its own, with the columns and lines:
// "在第 3 列找到，关键字在第 1 列", "结果第 2、5 行也用了这一行数据" (lines of the result, where
// the report's "第 N 行" alone is a row of the data), both joined by "；".
std::u16string suspectWords(const SuspectLine &line, std::optional<std::size_t> keyColumn);

// The cells of a key line of several cells that a row does not hold as they are, each by its
// column in the list and its fate: "名单第 1 列“3”不在这一行", "名单第 1 列“2024010302”，这一行是
// “2024010150”", "名单第 2 列“高一（3）班”，这一行是“高一(3)班”（全角/半角不同）", joined by "；".
// Long cells are cut (cellWordsLength).
constexpr std::size_t cellWordsLength = 40;
std::u16string cellVerdictWords(std::span<const CellVerdict> verdicts, std::u16string_view key,
                                std::u16string_view row);

// A near row's causes with the fates of its cells, where it has any: "有的列不同：名单第 1 列…".
std::u16string nearRowWords(const Reconciliation &report, const NearRow &near, std::u16string_view key,
                            std::u16string_view row);

// What "采用全部可靠行" takes, in one sentence for the window's hint and the README: the reliable
// causes, and what a line of several cells asks of its row besides.
std::u16string reliableRuleWords();

// The keys of the first lines that the result leaves empty, found no row or left empty by
// choice, in key order: at most `most` of them.
std::vector<std::u16string> emptyLineKeys(const Reconciliation &report, const LineTable &keys, std::size_t most);

// Why no key line took a row.
std::u16string_view unusedReasonWords(UnusedReason reason);

// The groups, and what stands where a key has no near row and beside a row of a key left
// empty.
inline constexpr std::u16string_view missingGroupWords = u"未找到";
inline constexpr std::u16string_view leftEmptyGroupWords = u"忽略留空";
inline constexpr std::u16string_view unusedGroupWords = u"未使用";
inline constexpr std::u16string_view suspectGroupWords = u"可能取错";
inline constexpr std::u16string_view takenGroupWords = u"已采用";
inline constexpr std::u16string_view noNearRowWords = u"没有相近的数据";
inline constexpr std::u16string_view keyRowWords = u"对应数据";

// The brackets around a shown character: in every Chinese font (GB2312), unlike ⟨ ⟩.
inline constexpr char16_t markOpen = u'〈';
inline constexpr char16_t markClose = u'〉';

// The text with its spaces and invisible characters shown: 〈空格〉, 〈全角空格〉, 〈不换行空格〉,
// other spaces and format characters as 〈U+200B〉, and the brackets themselves, where the text
// holds them, as 〈U+3008〉 and 〈U+3009〉. TAB, CR and LF stay as they are.
std::u16string visibleText(std::u16string_view text);

// The text as one line of a list or a sheet: visibleText, every line break (CR, LF, U+0085,
// U+2028, U+2029) as ↵ and every other control character but TAB as 〈U+0000〉.
std::u16string visibleLine(std::u16string_view text);

// A near row beside its key: its first characters, then "…". The whole row stands once, among
// the unused rows, so that a row near many keys does not make the report many times its size.
constexpr std::size_t nearRowTextLength = 200;
std::u16string nearRowExcerpt(std::u16string_view row);

} // namespace lanshan
