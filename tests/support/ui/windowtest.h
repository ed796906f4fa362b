#pragma once

// What the window tests share: a fresh main window for every test function, and the answer
// to a real modal message box.

#include "clipboard.h"
#include "windowdriver.h"

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace windowtest {

// How a window test starts each test function.
struct Setup
{
    bool active = false;       // waits until the window has the keyboard
    bool oldClipboard = false; // puts oldClipboard on the clipboard
};

// The base of a window test class: before each test function a new window is shown (and,
// when asked, made active and the clipboard given oldClipboard); after it the window goes
// and the platform's clipboard is back.
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    explicit WindowTest(Setup setup = {})
        : m_setup(setup)
    { }

    std::unique_ptr<WindowDriver> m_driver;

private Q_SLOTS:
    void init();
    void cleanup();

private:
    Setup m_setup;
};

// What a modal message box showed before it was answered.
struct AnsweredBox
{
    bool messageBox = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttons = 0;
    bool hasOk = false;
};

// Runs the action and answers the first modal window that opens meanwhile (within five
// seconds): a message box by its OK button, anything else by closing it.
AnsweredBox answerMessageBox(const std::function<void()> &action);

} // namespace windowtest
