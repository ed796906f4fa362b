// The everyday slips that must not end with something the user never meant on the clipboard:
// the two lists in each other's box, a double-click on "数据筛选", a copy from a result that
// no longer follows from the boxes, a clearing command taken back. Each case says what the
// clipboard holds afterwards and what the window says.

#include "boxtext.h"
#include "windowtest.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyleHints>
#include <QTreeView>

#include <functional>
#include <variant>
#include <vector>

using namespace Qt::StringLiterals;
namespace messageText = lanshan::messageText;
using windowtest::clipboardText;
using windowtest::oldClipboard;
using windowtest::WindowDriver;

namespace {

const QString names = u"李四\n张三"_s;
const QString scores = u"张三\t90\n李四\t80"_s;
const QString rightResult = u"李四\t80\n张三\t90"_s;

QString labelText(const WindowDriver &driver, const QString &name)
{
    return driver.get<QLabel>(name)->text();
}

QString lastMessage(const WindowDriver &driver)
{
    return driver.messages.empty() ? QString() : driver.messages.back().text;
}

// Alt+L, the list typed and Enter.
void copyColumns(WindowDriver &driver, const QString &list)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
    auto columnsBox = [&driver] { return driver.window.findChild<QComboBox *>(u"columnsBox"_s); };
    QTRY_VERIFY(columnsBox() && columnsBox()->isVisible());
    columnsBox()->lineEdit()->selectAll();
    QTest::keyClicks(columnsBox()->lineEdit(), list);
    QTest::keyClick(columnsBox()->lineEdit(), Qt::Key_Return);
}

// The slip, done after the clipboard was given oldClipboard; it returns what the window says.
using Slip = std::function<QString(WindowDriver &)>;

} // namespace

class SlipsTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    SlipsTest()
        : WindowTest({.active = true, .oldClipboard = true})
    { }

private Q_SLOTS:
    void slip_data();
    void slip();
    void swapTakenBackInEachBox();
    void realOfferClosedWithOk();
    void commandTakenBackFromAnywhere_data();
    void commandTakenBackFromAnywhere();
    void commandsTakenBackInTurn_data();
    void commandsTakenBackInTurn();
    void laterClickAnswers();
};

void SlipsTest::slip_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<Slip>("slip");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("said");

    const Slip filter = [](WindowDriver &driver) {
        driver.press(u"Command1"_s);
        return lastMessage(driver);
    };
    QTest::newRow("swapped boxes") << scores << names << filter << oldClipboard << messageText::noRowFound(true);
    QTest::newRow("swapped boxes, header rows") << u"姓名\t语文\n张三\t90\n李四\t80"_s << u"姓名\n李四\n张三"_s
                                                << filter << oldClipboard << messageText::noRowFound(true);
    QTest::newRow("swapped boxes, swap taken") << scores << names << Slip([](WindowDriver &driver) {
        driver.takeOfferedAction = true;
        driver.press(u"Command1"_s);
        return lastMessage(driver);
    }) << rightResult << messageText::resultCopied;
    // Every key missing, the boxes the right way round: nothing to swap.
    QTest::newRow("keys all missing") << u"王五\n赵六"_s << scores << filter << oldClipboard
                                      << messageText::noRowFound(false);
    // Only spaces in the data: empty lines are no result either.
    QTest::newRow("data of spaces only") << names << u"   "_s << filter << oldClipboard
                                         << messageText::noRowFound(false);
    // The first click opens the question over the button; the second lands on "忽略留空".
    QTest::newRow("double-click on 数据筛选")
        << names << u"张三\t90\n李四\t80\n李四\t85"_s << Slip([](WindowDriver &driver) {
               QPushButton *filterButton = driver.button(u"Command1"_s);
               const QPoint at = filterButton->geometry().center();
               QTest::mouseClick(filterButton, Qt::LeftButton, {}, filterButton->rect().center());
               QWidget *second = driver.window.childAt(at);
               if (second != driver.button(u"Command5"_s))
                   return u"the panel does not open under the pointer"_s;
               QTest::mouseDClick(second, Qt::LeftButton, {}, second->mapFrom(&driver.window, at));
               QTest::mouseRelease(second, Qt::LeftButton, {}, second->mapFrom(&driver.window, at));
               if (!driver.get<QWidget>(u"Frame4"_s)->isVisible())
                   return u"the question was answered"_s;
               // So with a key pressed at once: the question stays.
               QTest::keyClick(second, Qt::Key_Space);
               if (!driver.get<QWidget>(u"Frame4"_s)->isVisible())
                   return u"the question was answered by a key at once"_s;
               // A moment later the key answers; the line left empty is counted.
               QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
               QTest::keyClick(second, Qt::Key_Space);
               return labelText(driver, u"reconcileSummary"_s);
           })
        << u"\n张三\t90"_s << u"核对：0 个关键字未找到，2 行数据未使用，1 行已留空。"_s;
    QTest::newRow("复制列 after a change") << names << scores << Slip([](WindowDriver &driver) {
        driver.press(u"Command1"_s);
        windowtest::setClipboardText(oldClipboard);
        driver.box(u"Text2"_s)->appendPlainText(u"x"_s);
        copyColumns(driver, u"2"_s);
        return labelText(driver, u"columnsRefusal"_s);
    }) << oldClipboard << messageText::runFirst;
    QTest::newRow("采用 after a change") << names << u"张 三\t90\n李四\t80"_s << Slip([](WindowDriver &driver) {
        driver.press(u"Command1"_s);
        windowtest::setClipboardText(oldClipboard);
        driver.box(u"Text2"_s)->appendPlainText(u"王五\t70"_s);
        driver.press(u"reconcileButton"_s);
        auto *tree = driver.get<QTreeView>(u"reconcileTree"_s);
        const QModelIndex key = tree->model()->index(0, 0, tree->model()->index(0, 0));
        tree->setCurrentIndex(tree->model()->index(0, 0, key));
        driver.press(u"adoptButton"_s);
        return labelText(driver, u"reconcileHint"_s);
    }) << oldClipboard << messageText::runFirst;
    QTest::newRow("采用全部可靠行 after a change")
        << names << u"张 三\t90\n李四\t80"_s << Slip([](WindowDriver &driver) {
               driver.press(u"Command1"_s);
               windowtest::setClipboardText(oldClipboard);
               driver.box(u"Text1"_s)->appendPlainText(u"x"_s);
               driver.press(u"reconcileButton"_s);
               driver.press(u"adoptReliableButton"_s);
               return labelText(driver, u"reconcileHint"_s);
           })
        << oldClipboard << messageText::runFirst;
    // Changed and changed back by hand: the result follows from the boxes again.
    QTest::newRow("复制列 after a change undone") << names << scores << Slip([](WindowDriver &driver) {
        driver.press(u"Command1"_s);
        QPlainTextEdit *data = driver.box(u"Text2"_s);
        QTest::keyClick(data, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(data, u"x"_s);
        QTest::keyClick(data, Qt::Key_Backspace);
        copyColumns(driver, u"2"_s);
        return labelText(driver, u"columnsNote"_s);
    }) << u"80\n90"_s << u"已复制第 2 列，共 2 行。"_s;
    QTest::newRow("undo of 清空所有数据 back to the run's inputs") << names << scores << Slip([](WindowDriver &driver) {
        driver.press(u"Command1"_s);
        windowtest::setClipboardText(oldClipboard);
        driver.button(u"Command8"_s)->setFocus();
        driver.press(u"Command8"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        const QString said = labelText(driver, u"reconcileSummary"_s);
        copyColumns(driver, u"2"_s);
        return said;
    }) << u"80\n90"_s << u"核对：0 个关键字未找到，0 行数据未使用。"_s;
}

void SlipsTest::slip()
{
    QFETCH(QString, keys);
    QFETCH(QString, rows);
    QFETCH(Slip, slip);
    QFETCH(QString, clipboard);
    QFETCH(QString, said);
    m_driver->box(u"Text1"_s)->setPlainText(keys);
    m_driver->box(u"Text2"_s)->setPlainText(rows);

    QCOMPARE(slip(*m_driver), said);
    QCOMPARE(clipboardText(), clipboard);
    // Nothing pasted was altered, unless the user chose the swap.
    if (!m_driver->takeOfferedAction) {
        QVERIFY(m_driver->text(u"Text1"_s).startsWith(keys));
        QVERIFY(m_driver->text(u"Text2"_s).startsWith(rows));
    }
}

// The swap offered only where it would find rows, and taken back box by box.
void SlipsTest::swapTakenBackInEachBox()
{
    m_driver->takeOfferedAction = true;
    m_driver->filter(scores, names);
    QCOMPARE(m_driver->messages.size(), 2u);
    QCOMPARE(m_driver->messages.front().action, messageText::swapAndRunCaption);
    QCOMPARE(m_driver->text(u"Text1"_s), names);
    QCOMPARE(m_driver->text(u"Text3"_s), rightResult);

    QTest::keyClick(m_driver->box(u"Text1"_s), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_driver->text(u"Text1"_s), scores);
    QCOMPARE(m_driver->text(u"Text2"_s), scores);
    QTest::keyClick(m_driver->box(u"Text2"_s), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_driver->text(u"Text2"_s), names);
    QCOMPARE(labelText(*m_driver, u"reconcileSummary"_s), messageText::resultOutdated);
}

// The real box: OK and the offer, OK the default; OK leaves the boxes as they were.
void SlipsTest::realOfferClosedWithOk()
{
    lanshan::setMessageObserver({});
    const windowtest::AnsweredBox seen = windowtest::answerMessageBox([&] { m_driver->filter(scores, names); });
    QVERIFY(seen.messageBox);
    QCOMPARE(seen.text, messageText::noRowFound(true));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, 2);
    QVERIFY(seen.hasOk);
    QCOMPARE(m_driver->text(u"Text1"_s), scores);
    QCOMPARE(clipboardText(), oldClipboard);
}

void SlipsTest::commandTakenBackFromAnywhere_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("focus"); // where Ctrl+Z is pressed
    QTest::addColumn<QString>("hint");

    QTest::newRow("清空所有数据, on its button") << u"Command8"_s << u"Command8"_s << messageText::allCleared;
    QTest::newRow("清空所有数据, in the key box") << u"Command8"_s << u"Text1"_s << messageText::allCleared;
    QTest::newRow("清除固定顺序数据") << u"Command9"_s << u"Command9"_s << messageText::keysCleared;
    QTest::newRow("清除待筛选数据, on 数据筛选") << u"Command10"_s << u"Command1"_s << messageText::dataCleared;
    QTest::newRow("演示数据") << u"Command7"_s << u"Command1"_s << messageText::demoReplaced;
}

void SlipsTest::commandTakenBackFromAnywhere()
{
    QFETCH(QString, command);
    QFETCH(QString, focus);
    QFETCH(QString, hint);
    m_driver->filter(names, scores);
    const QString summary = labelText(*m_driver, u"reconcileSummary"_s);

    m_driver->button(command)->setFocus();
    QTest::keyClick(m_driver->button(command), Qt::Key_Space);
    QCOMPARE(labelText(*m_driver, u"reconcileSummary"_s), hint);
    m_driver->get<QWidget>(focus)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);

    // Both boxes as the run had them, and with them its result and report.
    QCOMPARE(m_driver->text(u"Text1"_s), names);
    QCOMPARE(m_driver->text(u"Text2"_s), scores);
    QCOMPARE(labelText(*m_driver, u"reconcileSummary"_s), summary);
    QCOMPARE(m_driver->text(u"Text3"_s), rightResult);
    QVERIFY(m_driver->button(u"reconcileButton"_s)->isEnabled());
    // The command was one step: a second Ctrl+Z off the boxes does nothing.
    m_driver->button(u"Command1"_s)->setFocus();
    QTest::keyClick(m_driver->button(u"Command1"_s), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_driver->text(u"Text1"_s), names);
}

// Typed at the end of a box.
struct Typed
{
    QString box;
    QString text;
};

// A command pressed, or text typed between commands.
using Deed = std::variant<QString, Typed>;

// After a Ctrl+Z: the texts of the key box and the data box, and the line below the buttons
// (empty: not looked at).
struct Undone
{
    QString keys;
    QString rows;
    QString line;
};

void SlipsTest::commandsTakenBackInTurn_data()
{
    QTest::addColumn<std::vector<Deed>>("deeds");
    // What each Ctrl+Z off the boxes leaves; a further one changes nothing.
    QTest::addColumn<std::vector<Undone>>("undone");

    QTest::newRow("清空所有数据, 演示数据")
        << std::vector<Deed>{u"Command8"_s, u"Command7"_s}
        << std::vector<Undone>{{{}, {}, messageText::allCleared}, {names, scores, {}}};
    QTest::newRow("each box cleared, then 演示数据")
        << std::vector<Deed>{u"Command9"_s, u"Command10"_s, u"Command7"_s}
        << std::vector<Undone>{
               {{}, {}, messageText::dataCleared}, {{}, scores, messageText::keysCleared}, {names, scores, {}}};
    QTest::newRow("演示数据 twice, the second no change")
        << std::vector<Deed>{u"Command7"_s, u"Command7"_s} << std::vector<Undone>{{names, scores, {}}};
    // Typed into the box that both commands emptied: the older no longer goes back whole.
    QTest::newRow("typed in a box between the commands")
        << std::vector<Deed>{u"Command8"_s, Typed{u"Text1"_s, u"x"_s}, u"Command7"_s}
        << std::vector<Undone>{{u"x"_s, {}, {}}};
    // Typed into a box the older command left alone: it still goes back.
    QTest::newRow("typed in the other box between the commands")
        << std::vector<Deed>{u"Command9"_s, Typed{u"Text2"_s, u"x"_s}, u"Command7"_s}
        << std::vector<Undone>{{{}, scores + u"x"_s, messageText::keysCleared}, {names, scores + u"x"_s, {}}};
    // Typed after the last command: that one no longer goes back, nor an older one on its boxes;
    // an older one on another box still does.
    QTest::newRow("typed after the commands")
        << std::vector<Deed>{u"Command9"_s, u"Command7"_s, Typed{u"Text2"_s, u"x"_s}} << std::vector<Undone>{};
    QTest::newRow("typed after the commands, the older on the other box")
        << std::vector<Deed>{u"Command10"_s, u"Command9"_s, Typed{u"Text1"_s, u"x"_s}}
        << std::vector<Undone>{{u"x"_s, scores, {}}};
}

// Ctrl+Z off the boxes steps back through every command since the run, newest first, each in
// all the boxes it changed; the line below the buttons tells of the next one.
void SlipsTest::commandsTakenBackInTurn()
{
    QFETCH(std::vector<Deed>, deeds);
    QFETCH(std::vector<Undone>, undone);
    m_driver->filter(names, scores);
    for (const Deed &deed : deeds) {
        if (const auto *typed = std::get_if<Typed>(&deed)) {
            QPlainTextEdit *box = m_driver->box(typed->box);
            box->setFocus();
            box->moveCursor(QTextCursor::End);
            QTest::keyClicks(box, typed->text);
        } else {
            m_driver->press(std::get<QString>(deed));
        }
    }
    const auto ctrlZ = [this] {
        QPushButton *about = m_driver->button(u"Command3"_s);
        about->setFocus();
        QTest::keyClick(about, Qt::Key_Z, Qt::ControlModifier);
    };
    for (std::size_t i = 0; i < undone.size(); ++i) {
        ctrlZ();
        QCOMPARE(m_driver->text(u"Text1"_s), undone[i].keys);
        QCOMPARE(m_driver->text(u"Text2"_s), undone[i].rows);
        if (!undone[i].line.isEmpty())
            QCOMPARE(labelText(*m_driver, u"reconcileSummary"_s), undone[i].line);
    }
    const QString keys = m_driver->text(u"Text1"_s);
    const QString rows = m_driver->text(u"Text2"_s);
    ctrlZ();
    QCOMPARE(m_driver->text(u"Text1"_s), keys);
    QCOMPARE(m_driver->text(u"Text2"_s), rows);
}

// Past the double-click interval a click answers the question as ever.
void SlipsTest::laterClickAnswers()
{
    m_driver->filter(names, u"张三\t90\n李四\t80\n李四\t85"_s);
    QPushButton *leaveEmpty = m_driver->button(u"Command5"_s);
    QVERIFY(leaveEmpty->isVisible());
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    QTest::mouseClick(leaveEmpty, Qt::LeftButton);
    QVERIFY(!m_driver->get<QWidget>(u"Frame4"_s)->isVisible());
    QCOMPARE(clipboardText(), u"\n张三\t90"_s);
}

QTEST_MAIN(SlipsTest)
#include "slips_test.moc"
