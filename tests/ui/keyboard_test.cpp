// The window without a mouse: Enter presses the focused button, Tab stays in an open panel,
// the focus goes where the user works next, and the synchronized view copies by keyboard.

#include "windowtest.h"

#include <QApplication>

using namespace Qt::StringLiterals;
using windowtest::clipboardText;

class KeyboardTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    KeyboardTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void enterPressesTheFocusedButton();
    void matchingPanelKeepsTheFocus();
    void syncViewKeepsTheFocusAndCopies();
    void altKeysOfDisabledButtonsTypeNothing();

private:
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Tab, pressed again and again, stays among the panel's controls.
    void verifyTabStaysIn(const QString &panel)
    {
        for (int i = 0; i < 6; ++i) {
            key(Qt::Key_Tab);
            QVERIFY(m_driver->frame(panel)->isAncestorOf(QApplication::focusWidget()));
        }
    }
};

void KeyboardTest::enterPressesTheFocusedButton()
{
    for (QPushButton *b : m_driver->window.findChildren<QPushButton *>())
        QVERIFY(!b->isDefault());
    bool busyUnderMessage = false;
    lanshan::setMessageObserver([&](const QString &, QMessageBox::Icon, const QString &) {
        busyUnderMessage = QGuiApplication::overrideCursor();
        return false;
    });
    m_driver->button(u"Command7"_s)->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
    key(Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(m_driver->frame(u"Frame3"_s)->isVisible());
    QVERIFY(!busyUnderMessage);
}

void KeyboardTest::matchingPanelKeepsTheFocus()
{
    m_driver->filter(u"甲\r\n乙\r\n"_s, u"甲\t1\r\n甲\t2\r\n乙\t3\r\n"_s);
    QCOMPARE(QApplication::focusWidget(), m_driver->list(u"List4"_s));
    verifyTabStaysIn(u"Frame4"_s);

    // "返回修改" gives the focus back to "数据筛选"; Enter there opens the panel again.
    m_driver->button(u"Command12"_s)->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
    key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_driver->list(u"List4"_s));
    // The first arrow key chooses the first row; Enter confirms it.
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    QCOMPARE(m_driver->text(u"Text3"_s), u"甲\t1\n乙\t3\n"_s);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
}

void KeyboardTest::syncViewKeepsTheFocusAndCopies()
{
    m_driver->press(u"Command7"_s);
    m_driver->press(u"Command1"_s);
    m_driver->button(u"Command11"_s)->setFocus();
    key(Qt::Key_Return);
    verifyTabStaysIn(u"tongbuxianshi"_s);

    // Ctrl+C and Enter copy the line itself, without its number, as a double-click does.
    lanshan::ListBox *list2 = m_driver->list(u"List2"_s);
    list2->setFocus();
    list2->setCurrentIndex(list2->model()->index(0, 0));
    key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardText(), m_driver->text(u"Text3"_s).section(u'\n', 0, 0));
    m_driver->list(u"List1"_s)->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(clipboardText(), m_driver->text(u"Text1"_s).section(u'\n', 0, 0));

    key(Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command11"_s));
}

// Before a run 核对详情 (Alt+H) and 复制列 (Alt+L) are disabled: their keys in a box leave
// the pasted text as it was.
void KeyboardTest::altKeysOfDisabledButtonsTypeNothing()
{
    for (const QString &name : {u"Text1"_s, u"Text2"_s}) {
        QPlainTextEdit *box = m_driver->box(name);
        box->setPlainText(u"a1"_s);
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        for (const Qt::Key letter : {Qt::Key_H, Qt::Key_L, Qt::Key_K})
            key(letter, Qt::AltModifier);
        key(Qt::Key_B);
        QCOMPARE(m_driver->text(name), u"a1b"_s);
    }
}

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
