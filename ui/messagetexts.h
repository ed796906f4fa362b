#pragma once

#include "columnselection.h"
#include "displaytext.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

// The texts of the main window's messages and of the lines that count what a run left to
// check, word for word.
namespace lanshan::messageText {

using namespace Qt::StringLiterals;

inline const QString tooFewLines = u"请在上面的输入框中输入待处理数据！"_s;
inline const QString checkTheInputs = u"请确认您已经进行了正确的数据处理"_s;
inline const QString resultCopied =
    u"筛选结果已经复制到剪贴板，您可以用CTRL+V快捷键粘贴到需要的位置！\r\n您可以点击同步查看按钮进行原始数据和结果同步查看。"_s;
inline const QString resultNotCopied =
    u"筛选结果未能复制到剪贴板！您可以在“筛选后结果”框中选中结果，再用CTRL+C快捷键复制。"_s;
inline const QString demoFilled = u"请点击“数据筛选”按钮以查看演示结果！"_s;
inline const QString reportNotCopied = u"核对报告未能复制到剪贴板！剪贴板可能正被其他程序占用，请稍后再试。"_s;

// A run in which no key line found a row: no result to paste, so the clipboard stays as it was.
// Where the data's lines would find rows among the keys, the boxes are offered swapped.
inline QString noRowFound(bool looksSwapped)
{
    const QString first = u"没有一个关键字找到对应的数据行，剪贴板没有改动。\r\n"_s;
    if (looksSwapped)
        return first
               + u"两个框的内容可能放反了。点“交换后重新筛选”把两个框的内容互换后再筛选一次"
                 u"（在框中按 Ctrl+Z 可以换回来）。"_s;
    return first
           + u"请检查：“固定顺序数据”框中应为关键字（如姓名），每行一个；“待筛选数据”框中应为含有这些关键字"
             u"的数据行，各列以 TAB 分隔。点“核对详情”（Alt+H）可以查看每个关键字未找到的原因。"_s;
}
inline const QString swapAndRunCaption = u"交换后重新筛选(&S)"_s;
// What the result's columns and the report's buttons say while the boxes differ from the run.
inline const QString runFirst = u"输入已改动，请先点“数据筛选”。"_s;
inline const QString mustChoose = u"您必须选择正确的数据！"_s;

// A list of several columns is looked up with all of them, or with those chosen: said once per
// run.
inline QString listColumns(std::size_t columns, const std::vector<std::size_t> &chosen = {})
{
    if (!chosen.empty()) {
        QStringList numbers;
        for (const std::size_t c : chosen)
            numbers.append(QString::number(c));
        return u"名单有 %1 列，只按第 %2 列查找。"_s.arg(columns).arg(numbers.join(u'、'));
    }
    // One kind of numeral in one sentence: digits, as the count before it.
    return u"名单有 %1 列，按 %1 列一起查找。"_s.arg(columns);
}

// resultCopied, and where lines of the result may hold a wrong row, where to look; and that a
// list of several columns was looked up with all of them.
inline QString resultCopiedWith(std::size_t suspect, std::size_t columns = 1,
                                const std::vector<std::size_t> &chosen = {})
{
    QString text = resultCopied;
    if (suspect > 0)
        text += u"\r\n其中 %1 行可能取错，请点“核对详情”（Alt+H）查看。"_s.arg(suspect);
    if (columns > 1)
        text += u"\r\n"_s + listColumns(columns, chosen);
    return text;
}
// And the questions that "余下全部留空" left empty, where they are to be found; first of all the
// result's empty lines (emptyLines()), where there are any.
inline QString resultCopiedWith(std::size_t suspect, std::size_t columns, const std::vector<std::size_t> &chosen,
                                std::size_t restLeftEmpty, const QString &emptyLinesLine = {})
{
    QString text = resultCopiedWith(suspect, columns, chosen);
    if (!emptyLinesLine.isEmpty())
        text.insert(resultCopied.size(), u"\r\n"_s + emptyLinesLine);
    if (restLeftEmpty > 0)
        text += u"\r\n%1 行疑问数据已留空，可在“核对详情”（Alt+H）的“忽略留空”中逐行采用。"_s.arg(restLeftEmpty);
    return text;
}

// The line the message after a run adds where lines of the result are empty: how many keys found
// no row and how many were left empty by choice, and the first keys of those lines by their text,
// so that nobody pastes blanks unawares. keys: the first of those lines' keys, in key order.
constexpr std::size_t emptyLinesNamed = 5;
inline QString emptyLines(std::size_t missing, std::size_t leftEmpty, const std::vector<std::u16string> &keys)
{
    constexpr std::size_t named = emptyLinesNamed;
    constexpr std::size_t keyLength = 20;
    if (missing == 0 && leftEmpty == 0)
        return QString();
    QString text = u"有 "_s;
    if (missing > 0)
        text += u"%1 个关键字没有找到数据"_s.arg(missing);
    if (leftEmpty > 0)
        text += (missing > 0 ? u"，%1 行已留空"_s : u"%1 行已留空"_s).arg(leftEmpty);
    QStringList names;
    for (std::size_t i = 0; i < std::min(keys.size(), named); ++i) {
        QString key = QString::fromStdU16String(excerptText(keys[i], keyLength));
        key.replace(u'\t', u'\u21E5');
        names.append(key);
    }
    text += u"，结果中是空行："_s + names.join(u'、');
    if (missing + leftEmpty > static_cast<std::size_t>(names.size()))
        text += u" 等"_s;
    return text + u"。"_s;
}

// The line below the buttons after a run; lines left empty by choice are never silent, nor rows
// taken from the report.
inline QString reconcileSummary(std::size_t missing, std::size_t unused, std::size_t leftEmpty, std::size_t suspect,
                                std::size_t columns = 1, const std::vector<std::size_t> &chosen = {},
                                std::size_t taken = 0)
{
    QString summary = u"核对："_s + (columns > 1 ? listColumns(columns, chosen) : QString())
                      + u"%1 个关键字未找到，%2 行数据未使用"_s.arg(missing).arg(unused);
    if (leftEmpty > 0)
        summary += u"，%1 行已留空"_s.arg(leftEmpty);
    if (taken > 0)
        summary += u"，%1 行采用了相近数据"_s.arg(taken);
    if (suspect > 0)
        summary += u"，%1 行可能取错"_s.arg(suspect);
    return summary + u"。"_s;
}
// The line below the buttons once the inputs changed after the run whose result stands.
inline const QString resultOutdated = u"核对：输入已改动，结果仍是上一次筛选的，请重新点击“数据筛选”。"_s;
inline const QString reportTooLarge = u"核对：数据太多，无法列出核对结果。"_s;
// The line below the buttons after a command that cleared or replaced boxes, until they change.
inline const QString allCleared = u"已清空所有数据，按 Ctrl+Z 恢复。"_s;
inline const QString keysCleared = u"已清除固定顺序数据，按 Ctrl+Z 恢复。"_s;
inline const QString dataCleared = u"已清除待筛选数据，按 Ctrl+Z 恢复。"_s;
inline const QString demoReplaced = u"已填入演示数据，按 Ctrl+Z 恢复原来的内容。"_s;

// The run again, looking for the keys in one column only: in the manual matching and the report.
inline const QString keyColumnRunCaption = u"按关键字列重新筛选(&K)"_s;

// "数据筛选"'s tooltip: its keys.
inline const QString filterKeys = u"在窗口任何地方按 Ctrl+Enter 或 F5 也可筛选。"_s;

// The manual matching's way to settle the awaited question and every later one at once.
inline const QString leaveRestEmptyCaption = u"余下全部留空(&A)"_s;
// The run in the key column would leave every question as it is.
inline const QString keyColumnSparesNothing = u"只在关键字列查找也免不去这些选择。"_s;

// Where the manual matching stands, and what looking in the key column would spare.
inline QString questionPosition(std::size_t number, std::size_t count)
{
    return u"第 %1 个，共 %2 个"_s.arg(number).arg(count);
}
inline QString keyColumnSpares(std::size_t column)
{
    return u"多数关键字在第 %1 列，按 Alt+K 可免去这些选择。"_s.arg(column);
}
inline QString listColumnsSpare(const QString &columns)
{
    return u"名单的各列多在数据的第 %1 列，按 Alt+K 只在这些列查找，可免去这些选择。"_s.arg(columns);
}
// Either of the two where the panel is too narrow for it.
inline QString columnsSpareShort(const QString &columns)
{
    return u"按 Alt+K 只在第 %1 列查找"_s.arg(columns);
}

// The result's columns on the clipboard, and why a list of columns was refused.
inline QString columnsCopied(const ColumnSelection &columns, std::size_t lines)
{
    if (columns.wholeRows())
        return u"已复制整行，共 %1 行。"_s.arg(lines);
    return u"已复制第 %1 列，共 %2 行。"_s.arg(QString::fromStdU16String(columns.text())).arg(lines);
}
inline QString columnBeyondResult(std::size_t column, std::size_t widest)
{
    return u"第 %1 列超出了结果，结果最多 %2 列。"_s.arg(column).arg(widest);
}
inline const QString columnsTooLarge = u"数据太多，无法复制这些列。"_s;
// The header's names in a refusal: the first few, each cut short, and how many there are.
inline QString columnNames(const std::vector<std::u16string> &names)
{
    constexpr std::size_t shown = 12;
    constexpr std::size_t nameLength = 20;
    QStringList words;
    for (std::size_t i = 0; i < std::min(names.size(), shown); ++i) {
        words.append(QString::fromStdU16String(excerptText(names[i], nameLength)));
    }
    QString text = words.join(u'、');
    if (names.size() > shown)
        text += u" 等 %1 个"_s.arg(names.size());
    return text;
}
inline QString columnsRefused(const ParsedColumns &parsed)
{
    const QString item = QString::fromStdU16String(parsed.item);
    switch (parsed.fault) {
    case ColumnsFault::NotANumber: return u"“%1”不是列号，请输入列号或范围，例如 3、2-4、1,3。"_s.arg(item);
    case ColumnsFault::UnknownName:
        return u"“%1”不是列号，也不是列名；列名有：%2。"_s.arg(item, columnNames(parsed.names));
    case ColumnsFault::SameName: {
        QStringList columns;
        for (const std::size_t column : parsed.columns)
            columns.append(QString::number(column));
        return u"“%1”同时是第 %2 列的列名，请改用列号。"_s.arg(item, columns.join(u'、'));
    }
    case ColumnsFault::Zero: return u"“%1”：列号从 1 开始。"_s.arg(item);
    case ColumnsFault::TooLarge: return u"“%1”：列号最大为 %2。"_s.arg(item).arg(ColumnSelection::maxColumns);
    case ColumnsFault::Reversed: return u"“%1”：范围应从小到大，例如 2-4。"_s.arg(item);
    case ColumnsFault::TooMany: return u"列数太多，最多 %1 列。"_s.arg(ColumnSelection::maxColumns);
    case ColumnsFault::None: break;
    }
    return QString();
}

} // namespace lanshan::messageText
