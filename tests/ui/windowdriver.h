#pragma once

// Drives a real main window the way a user does: by the names of its controls, through
// clicks and texts, and records the messages it would show.

#include "mainwindow.h"
#include "messages.h"

#include <QAbstractItemModel>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

#include <vector>

namespace windowtest {

using namespace Qt::StringLiterals;

// The texts of the window's messages, as the tests expect them.
inline const QString successText =
    u"筛选结果已经复制到剪贴板，您可以用CTRL+V快捷键粘贴到需要的位置！\r\n您可以点击同步查看按钮进行原始数据和结果同步查看。"_s;
inline const QString notCopiedText =
    u"筛选结果未能复制到剪贴板！您可以在“筛选后结果”框中选中结果，再用CTRL+C快捷键复制。"_s;
inline const QString tooFewText = u"请在上面的输入框中输入待处理数据！"_s;
inline const QString warningText = u"请确认您已经进行了正确的数据处理"_s;
inline const QString mustChooseText = u"您必须选择正确的数据！"_s;

// What the tests put on the clipboard before a run, to see whether the run replaced it.
inline const QString oldClipboard = u"剪贴板原有内容"_s;

struct Message
{
    QString text;
    QMessageBox::Icon icon;
};

// The text of a box with every character as it stands in the document, one '\n' between
// lines (no-break spaces and line separators are not turned into anything else).
inline QString rawText(const QPlainTextEdit *box)
{
    return box->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

inline QStringList items(const QListView *list)
{
    QStringList texts;
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data().toString());
    return texts;
}

// The selected row of a single-selection list, -1 when nothing is selected.
inline int selectedRow(const QListView *list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// A left click on an item, as the user selects it.
inline void clickItem(QListView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

// The row at the top of the list's window, -1 when the list shows none.
inline int topRow(const QListView *list)
{
    return list->indexAt(QPoint(2, 2)).row();
}

// A double-click as the mouse makes it: press, release, double-click, release.
inline void doubleClickAt(QListView *list, QPoint pos)
{
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, pos);
}

inline void doubleClickItem(QListView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    doubleClickAt(list, list->visualRect(index).center());
}

// The clipboard's text as another program sees it through Qt. On Windows the clipboard holds
// CR LF line breaks, which Qt's text() gives as LF and its setText() makes of every lone LF;
// under the headless platform of the tests Qt keeps the text as it is, so both do it here.
inline QString clipboardText()
{
    const QString text = QGuiApplication::clipboard()->text();
#ifdef Q_OS_WIN
    return QString(text).replace(u"\r\n"_s, u"\n"_s);
#else
    return text;
#endif
}

inline void setClipboardText(const QString &text)
{
#ifdef Q_OS_WIN
    QGuiApplication::clipboard()->setText(QString(text).replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s));
#else
    QGuiApplication::clipboard()->setText(text);
#endif
}

class WindowDriver
{
public:
    WindowDriver()
    {
        lanshan::setMessageObserver([this](const QString &text, QMessageBox::Icon icon) {
            messages.push_back({text, icon});
        });
        window.show();
    }
    ~WindowDriver() { lanshan::setMessageObserver({}); }

    WindowDriver(const WindowDriver &) = delete;
    WindowDriver &operator=(const WindowDriver &) = delete;

    template<class Widget>
    Widget *get(const QString &name) const
    {
        auto *widget = window.findChild<Widget *>(name);
        if (!widget)
            qFatal("no control %s of the expected kind", qPrintable(name));
        return widget;
    }
    QPlainTextEdit *box(const QString &name) const { return get<QPlainTextEdit>(name); }
    QPushButton *button(const QString &name) const { return get<QPushButton>(name); }
    QListView *list(const QString &name) const { return get<QListView>(name); }
    QGroupBox *frame(const QString &name) const { return get<QGroupBox>(name); }

    // Both inputs as the user pastes them, then a press of "数据筛选".
    void filter(const QString &keys, const QString &rows)
    {
        box(u"Text1"_s)->setPlainText(keys);
        box(u"Text2"_s)->setPlainText(rows);
        press(u"Command1"_s);
    }
    void press(const QString &name) { button(name)->click(); }

    QString text(const QString &name) const { return rawText(box(name)); }
    QStringList itemsOf(const QString &name) const { return items(list(name)); }

    lanshan::MainWindow window;
    std::vector<Message> messages;
};

} // namespace windowtest
