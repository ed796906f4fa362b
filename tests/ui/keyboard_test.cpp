// The window without a mouse: Enter presses the focused button, Tab stays in an open panel,
// the focus goes where the user works next, and the synchronized view copies by keyboard.

#include "messagetexts.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QStyleHints>

#include <functional>

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
    void panelByKeyboardAndMouse_data();
    void panelByKeyboardAndMouse();
    void freshQuestionChoosesNothing_data();
    void freshQuestionChoosesNothing();
    void currentRowIsSpoken();
    void theJobInEightKeys();
    void runKeysOnlyWhereTheButtonIsInSight();
    void syncViewKeepsTheFocusAndCopies();
    void altKeysOfDisabledButtonsTypeNothing();

private:
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // A question shown ignores Enter for a moment: a user reads it first.
    static void readTheQuestion() { QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50); }
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
    readTheQuestion();
    m_driver->button(u"Command12"_s)->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
    key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_driver->list(u"List4"_s));
    // The first row is current: the first arrow key goes on to the second and selects it; Enter
    // takes it.
    readTheQuestion();
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    QCOMPARE(m_driver->text(u"Text3"_s), u"甲\t2\n乙\t3\n"_s);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command1"_s));
}

// Each way through the panel by keyboard (and the double-click), from a run with two questions:
// what the result holds and what the panel then shows.
void KeyboardTest::panelByKeyboardAndMouse_data()
{
    using Path = std::function<void(windowtest::WindowDriver &)>;
    QTest::addColumn<Path>("path");
    QTest::addColumn<int>("question"); // the one the panel then asks, 0 where it is closed
    QTest::addColumn<QString>("result");
    QTest::newRow("Space selects the first row, Enter takes it") << Path([](windowtest::WindowDriver &) {
        readTheQuestion();
        key(Qt::Key_Space);
        key(Qt::Key_Return);
    }) << 2 << QString();
    QTest::newRow("Enter at once answers nothing")
        << Path([](windowtest::WindowDriver &) { key(Qt::Key_Return); }) << 1 << QString();
    QTest::newRow("Down and Enter, twice") << Path([](windowtest::WindowDriver &) {
        for (int question = 0; question < 2; ++question) {
            readTheQuestion();
            key(Qt::Key_Down);
            key(Qt::Key_Return);
        }
    }) << 0 << u"甲\t2\n乙\t4"_s;
    QTest::newRow("a double-click on a row") << Path([](windowtest::WindowDriver &driver) {
        for (int question = 0; question < 2; ++question) {
            readTheQuestion();
            windowtest::doubleClickItem(driver.list(u"List4"_s), 1);
        }
    }) << 0 << u"甲\t2\n乙\t4"_s;
    QTest::newRow("Escape goes back to editing") << Path([](windowtest::WindowDriver &) {
        readTheQuestion();
        key(Qt::Key_Escape);
    }) << 0 << QString();
    // Alt+A: this question and the next one left empty at once.
    QTest::newRow("余下全部留空") << Path([](windowtest::WindowDriver &) {
        readTheQuestion();
        key(Qt::Key_A, Qt::AltModifier);
    }) << 0 << u"\n"_s;
    QTest::newRow("the first answered, the rest left empty") << Path([](windowtest::WindowDriver &) {
        readTheQuestion();
        key(Qt::Key_Space);
        key(Qt::Key_Return);
        readTheQuestion();
        key(Qt::Key_A, Qt::AltModifier);
    }) << 0 << u"甲\t1\n"_s;
}

void KeyboardTest::panelByKeyboardAndMouse()
{
    using Path = std::function<void(windowtest::WindowDriver &)>;
    QFETCH(Path, path);
    QFETCH(int, question);
    QFETCH(QString, result);
    m_driver->filter(u"甲\n乙"_s, u"甲\t1\n甲\t2\n乙\t3\n乙\t4"_s);
    QCOMPARE(QApplication::focusWidget(), m_driver->list(u"List4"_s));
    path(*m_driver);
    // A mnemonic clicks its button a moment later.
    QTRY_COMPARE(m_driver->frame(u"Frame4"_s)->isVisible(), question > 0);
    QCOMPARE(m_driver->text(u"Text3"_s), result);
    if (question > 0) {
        QVERIFY(m_driver->get<QLabel>(u"questionPosition"_s)
                    ->accessibleName()
                    .startsWith(u"第 %1 个，共 2 个"_s.arg(question)));
    }
}

// A question opens with no row selected, the first one current: what the user does then, the
// row selected after it, and what Enter or "确定" then does with the first question of two.
// Clicks that come at once are taken for the second click of the double-click that opened the
// panel: they change nothing, not even where the keyboard is.
void KeyboardTest::freshQuestionChoosesNothing_data()
{
    using Path = std::function<void(windowtest::WindowDriver &)>;
    QTest::addColumn<Path>("path");
    QTest::addColumn<int>("selected");   // in List4 after the path, -1 for none
    QTest::addColumn<QString>("answer"); // "Enter", "确定", or nothing where the path answered
    QTest::addColumn<int>("taken");      // the row taken, -1 where the panel asks for one

    const Path nothing = [](windowtest::WindowDriver &) { readTheQuestion(); };
    QTest::newRow("nothing, Enter") << nothing << -1 << u"Enter"_s << -1;
    QTest::newRow("nothing, 确定") << nothing << -1 << u"确定"_s << -1;
    QTest::newRow("Space") << Path([](windowtest::WindowDriver &) {
        readTheQuestion();
        key(Qt::Key_Space);
    }) << 0 << u"Enter"_s << 0;
    QTest::newRow("Down") << Path([](windowtest::WindowDriver &) {
        readTheQuestion();
        key(Qt::Key_Down);
    }) << 1 << u"Enter"_s << 1;
    // Up finds no row above the first: it selects the current one rather than nothing.
    QTest::newRow("Up") << Path([](windowtest::WindowDriver &) {
        readTheQuestion();
        key(Qt::Key_Up);
    }) << 0 << u"Enter"_s
                        << 0;
    QTest::newRow("a click on the first row") << Path([](windowtest::WindowDriver &driver) {
        readTheQuestion();
        windowtest::clickItem(driver.list(u"List4"_s), 0);
    }) << 0 << u"确定"_s << 0;
    QTest::newRow("a double-click on the second row") << Path([](windowtest::WindowDriver &driver) {
        readTheQuestion();
        windowtest::doubleClickItem(driver.list(u"List4"_s), 1);
    }) << -1 << QString() << 1;
    QTest::newRow("a click on 忽略留空 at once") << Path([](windowtest::WindowDriver &driver) {
        QTest::mouseClick(driver.button(u"Command5"_s), Qt::LeftButton);
        readTheQuestion();
    }) << -1 << u"Enter"_s << -1;
    QTest::newRow("a double-click on 确定 at once") << Path([](windowtest::WindowDriver &driver) {
        QTest::mouseDClick(driver.button(u"Command6"_s), Qt::LeftButton);
        readTheQuestion();
    }) << -1 << u"Enter"_s << -1;
    QTest::newRow("a click on the second row at once") << Path([](windowtest::WindowDriver &driver) {
        windowtest::clickItem(driver.list(u"List4"_s), 1);
        readTheQuestion();
    }) << -1 << u"Enter"_s << -1;
    QTest::newRow("a click on the key list at once") << Path([](windowtest::WindowDriver &driver) {
        windowtest::clickItem(driver.list(u"List3"_s), 1);
        readTheQuestion();
    }) << -1 << u"Enter"_s << -1;
}

void KeyboardTest::freshQuestionChoosesNothing()
{
    using Path = std::function<void(windowtest::WindowDriver &)>;
    QFETCH(Path, path);
    QFETCH(int, selected);
    QFETCH(QString, answer);
    QFETCH(int, taken);
    m_driver->filter(u"甲\n乙"_s, u"甲\t1\n甲\t2\n乙\t3\n乙\t4"_s);
    lanshan::ListBox *candidates = m_driver->list(u"List4"_s);
    QCOMPARE(windowtest::selectedRow(candidates), -1);
    QCOMPARE(candidates->currentIndex().row(), 0);

    path(*m_driver);
    if (!answer.isEmpty()) {
        QCOMPARE(QApplication::focusWidget(), candidates);
        QCOMPARE(windowtest::selectedRow(candidates), selected);
        // The awaited key line stays marked, whatever was clicked.
        QCOMPARE(windowtest::selectedRow(m_driver->list(u"List3"_s)), 0);
        if (answer == u"Enter"_s)
            key(Qt::Key_Return);
        else
            QTest::mouseClick(m_driver->button(u"Command6"_s), Qt::LeftButton);
    }

    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    const QString position = m_driver->get<QLabel>(u"questionPosition"_s)->accessibleName();
    if (taken < 0) {
        QCOMPARE(m_driver->messages.size(), 1u);
        QCOMPARE(m_driver->messages.back().text, lanshan::messageText::mustChoose);
        QCOMPARE(m_driver->messages.back().icon, QMessageBox::NoIcon);
        QVERIFY(m_driver->itemsOf(u"List2"_s).isEmpty());
        QVERIFY(position.startsWith(u"第 1 个，共 2 个"_s));
        QCOMPARE(windowtest::selectedRow(candidates), selected);
        return;
    }
    QVERIFY(m_driver->messages.empty());
    QCOMPARE(m_driver->itemsOf(u"List2"_s), QStringList{u"1.甲\t%1"_s.arg(taken + 1)});
    // The next question too opens with its first row current and nothing selected.
    QVERIFY(position.startsWith(u"第 2 个，共 2 个"_s));
    QCOMPARE(m_driver->itemsOf(u"List4"_s), (QStringList{u"3.\t乙\t3"_s, u"4.\t乙\t4"_s}));
    QCOMPARE(QApplication::focusWidget(), candidates);
    QCOMPARE(windowtest::selectedRow(candidates), -1);
    QCOMPARE(candidates->currentIndex().row(), 0);
}

// A screen reader finds the current row as the question opens, focused and not selected.
void KeyboardTest::currentRowIsSpoken()
{
    m_driver->filter(u"甲\n乙"_s, u"甲\t1\n甲\t2\n乙\t3\n乙\t4"_s);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(m_driver->list(u"List4"_s));
    QAccessibleInterface *row = list->focusChild();
    QVERIFY(row);
    QCOMPARE(row->text(QAccessible::Name), u"1.\t甲\t1"_s);
    QVERIFY(row->state().focused);
    QVERIFY(!row->state().selected);
    QVERIFY(list->state().focused);
}

// Seat numbers as keys, one subject's scores: from the open window to the columns on the
// clipboard in eight keys.
void KeyboardTest::theJobInEightKeys()
{
    windowtest::setClipboardText(u"3\n1\n2"_s);
    QPlainTextEdit *keys = m_driver->box(u"Text1"_s);
    keys->setFocus();
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_Tab);
    windowtest::setClipboardText(u"1\t张三\t90\t80\n2\t李四\t70\t60\n3\t王五\t50\t40"_s);
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), m_driver->box(u"Text2"_s));
    key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_driver->messages.size(), 1u);
    QCOMPARE(m_driver->messages.back().text, lanshan::messageText::resultCopied);
    QCOMPARE(m_driver->text(u"Text3"_s), u"3\t王五\t50\t40\n1\t张三\t90\t80\n2\t李四\t70\t60"_s);
    // The message box's Enter is the driver's answer; then the columns.
    key(Qt::Key_L, Qt::AltModifier);
    // A mnemonic clicks its button a moment later.
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClicks(QApplication::focusWidget(), u"3"_s);
    key(Qt::Key_Return);
    QTRY_COMPARE(windowtest::clipboardText(), u"50\n90\n70"_s);
}

// Ctrl+Enter and F5 run the filter from any control of the window, but not from under a panel
// that covers "数据筛选", nor with the button disabled.
void KeyboardTest::runKeysOnlyWhereTheButtonIsInSight()
{
    QCOMPARE(m_driver->button(u"Command1"_s)->toolTip(), lanshan::messageText::filterKeys);
    m_driver->box(u"Text1"_s)->setFocus();
    key(Qt::Key_F5);
    QVERIFY(m_driver->messages.empty());
    m_driver->box(u"Text1"_s)->setPlainText(u"甲\n乙"_s);
    m_driver->box(u"Text2"_s)->setPlainText(u"甲\t1\n甲\t2\n乙\t3"_s);
    m_driver->button(u"Command3"_s)->setFocus();
    key(Qt::Key_F5);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    // Under the open panel the keys start nothing: the question stays where it is.
    readTheQuestion();
    key(Qt::Key_Down);
    key(Qt::Key_Return, Qt::ControlModifier);
    key(Qt::Key_F5);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->list(u"List4"_s)->currentIndex().row(), 1);
    // With the keypad's Enter, from the key box, after going back.
    key(Qt::Key_Escape);
    m_driver->box(u"Text1"_s)->setFocus();
    key(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->text(u"Text1"_s), u"甲\n乙"_s);
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
