// The window without a mouse: Enter presses the focused button, Tab stays in an open panel,
// the focus goes where the user works next, and the synchronized view copies by keyboard.

#include "windowtest.h"

#include <QApplication>

using namespace Qt::StringLiterals;
using windowtest::clipboardText;
using windowtest::selectedRow;

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

private:
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // The widgets that Tab visits from the focus, as many as asked.
    static QList<QWidget *> tabs(int count)
    {
        QList<QWidget *> visited;
        for (int i = 0; i < count; ++i) {
            key(Qt::Key_Tab);
            visited.append(QApplication::focusWidget());
        }
        return visited;
    }
    void verifyFocusInside(const QString &panel, int tabCount);
};

void KeyboardTest::verifyFocusInside(const QString &panel, int tabCount)
{
    const QGroupBox *frame = m_driver->frame(panel);
    for (QWidget *w : tabs(tabCount))
        QVERIFY2(w && frame->isAncestorOf(w), qPrintable(w ? w->objectName() : u"(none)"_s));
}

void KeyboardTest::enterPressesTheFocusedButton()
{
    for (QPushButton *b : m_driver->window.findChildren<QPushButton *>())
        QVERIFY(!b->isDefault());
    // The busy cursor is gone when the run's message shows.
    bool busyUnderMessage = true;
    lanshan::setMessageObserver(
        [&](const QString &, QMessageBox::Icon) { busyUnderMessage = QGuiApplication::overrideCursor() != nullptr; });
    m_driver->button(u"Command7"_s)->setFocus();
    key(Qt::Key_Return);
    QVERIFY(!m_driver->text(u"Text1"_s).isEmpty());
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
    key(Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(m_driver->frame(u"Frame3"_s)->isVisible());
    QVERIFY(!busyUnderMessage);
}

void KeyboardTest::matchingPanelKeepsTheFocus()
{
    m_driver->filter(u"甲\r\n乙\r\n"_s, u"甲\t1\r\n甲\t2\r\n乙\t3\r\n"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QListView *list4 = m_driver->list(u"List4"_s);
    QCOMPARE(QApplication::focusWidget(), list4);
    verifyFocusInside(u"Frame4"_s, 6);

    // "返回修改" gives the focus back to "数据筛选"; Enter there opens the panel again.
    m_driver->button(u"Command12"_s)->setFocus();
    key(Qt::Key_Return);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isHidden());
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
    key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), list4);

    // An arrow key chooses the first row and Enter confirms it.
    key(Qt::Key_Down);
    QCOMPARE(selectedRow(list4), 0);
    key(Qt::Key_Return);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isHidden());
    QCOMPARE(m_driver->text(u"Text3"_s), u"甲\t1\n乙\t3\n"_s);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
}

void KeyboardTest::syncViewKeepsTheFocusAndCopies()
{
    m_driver->press(u"Command7"_s);
    m_driver->press(u"Command1"_s);
    m_driver->button(u"Command11"_s)->setFocus();
    key(Qt::Key_Return);
    verifyFocusInside(u"tongbuxianshi"_s, 4);

    // Ctrl+C and Enter copy the line itself, without its number, as a double-click does.
    QListView *list2 = m_driver->list(u"List2"_s);
    list2->setFocus();
    list2->setCurrentIndex(list2->model()->index(0, 0));
    QVERIFY(m_driver->itemsOf(u"List2"_s)[0].startsWith(u"1."_s));
    key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardText(), m_driver->text(u"Text3"_s).section(u'\n', 0, 0));
    QListView *list1 = m_driver->list(u"List1"_s);
    list1->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(clipboardText(), m_driver->text(u"Text1"_s).section(u'\n', 0, 0));

    key(Qt::Key_Escape);
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isHidden());
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command11"_s));
}

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
