#pragma once

#include <QString>

// The texts of the main window's messages, word for word.
namespace lanshan::messageText {

using namespace Qt::StringLiterals;

inline const QString tooFewLines = u"请在上面的输入框中输入待处理数据！"_s;
inline const QString checkTheInputs = u"请确认您已经进行了正确的数据处理"_s;
inline const QString resultCopied =
    u"筛选结果已经复制到剪贴板，您可以用CTRL+V快捷键粘贴到需要的位置！\r\n您可以点击同步查看按钮进行原始数据和结果同步查看。"_s;
inline const QString resultNotCopied =
    u"筛选结果未能复制到剪贴板！您可以在“筛选后结果”框中选中结果，再用CTRL+C快捷键复制。"_s;
inline const QString demoFilled = u"请点击“数据筛选”按钮以查看演示结果！"_s;
inline const QString mustChoose = u"您必须选择正确的数据！"_s;

} // namespace lanshan::messageText
