#pragma once

// Drives a real main window the way a user does: by the names of its controls, through
// clicks and texts, and records the messages it would show.

#include "applicationsetup.h"
#include "listbox.h"
#include "mainwindow.h"
#include "messages.h"
#include "messagetexts.h"

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

// What the tests put on the clipboard before a run, to see whether the run replaced it.
inline const QString oldClipboard = u"剪贴板原有内容"_s;

// The program's version as its window title and about box show it: major.minor.patch from
// the build.
QString versionText();

struct Message
{
    QString text;
    QMessageBox::Icon icon;
    QString action; // the caption of the button offered besides OK, if any
};

// The text of a box with every character as it stands in the document, one '\n' between
// lines (no-break spaces and line separators are not turned into anything else).
QString rawText(const QPlainTextEdit *box);

QStringList items(const QListView *list);

// The selected row of a single-selection list, -1 when nothing is selected.
int selectedRow(const lanshan::ListBox *list);

// A left click on an item, as the user selects it.
void clickItem(QListView *list, int row);

// The matching panel ignores clicks, Enter and Space for the double-click interval after a
// question opens: a user reads the question first.
void readTheQuestion();

// The row at the top of the list's window, -1 when the list shows none.
int topRow(const QListView *list);

// A double-click as the mouse makes it: press, release, double-click, release.
void doubleClickAt(QListView *list, QPoint pos);
void doubleClickItem(QListView *list, int row);

// The clipboard's text as another program sees it through Qt. On Windows the clipboard holds
// CR LF line breaks, which Qt's text() gives as LF and its setText() makes of every lone LF;
// under the headless platform of the tests Qt keeps the text as it is, so both do it here.
QString clipboardText();
void setClipboardText(const QString &text);

// The process set up as main() sets it up, before a test makes its windows.
struct ApplicationSetUp
{
    ApplicationSetUp() { lanshan::setUpApplication(); }
};

class WindowDriver : private ApplicationSetUp
{
public:
    WindowDriver();
    ~WindowDriver();

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
    lanshan::ListBox *list(const QString &name) const { return get<lanshan::ListBox>(name); }
    QGroupBox *frame(const QString &name) const { return get<QGroupBox>(name); }

    // Both inputs as the user pastes them, then a press of "数据筛选".
    void filter(const QString &keys, const QString &rows);
    void press(const QString &name);

    QString text(const QString &name) const;
    QStringList itemsOf(const QString &name) const;

    lanshan::MainWindow window;
    std::vector<Message> messages;
    // How the driver answers a message that offers an action: by taking it, or by OK.
    bool takeOfferedAction = false;
};

} // namespace windowtest
