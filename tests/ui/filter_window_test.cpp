// The filter run in the window: what "数据筛选" writes into the result box, the lists and the
// clipboard, the messages it shows, and the manual matching of keys with several rows.

#include "statuspanels.h"
#include "twips.h"
#include "windowtest.h"

#include <QApplication>

#include <memory>

using namespace Qt::StringLiterals;
namespace messageText = lanshan::messageText;
using windowtest::clipboardText;
using windowtest::Message;
using windowtest::oldClipboard;
using windowtest::selectedRow;
using windowtest::WindowDriver;

namespace {

QStringList texts(const std::vector<Message> &messages)
{
    QStringList result;
    for (const Message &m : messages)
        result.append(m.text);
    return result;
}

} // namespace

class FilterWindowTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    FilterWindowTest()
        : WindowTest({.oldClipboard = true})
    { }

private Q_SLOTS:
    void tooFewKeyLinesStopTheRun_data();
    void tooFewKeyLinesStopTheRun();
    void resultGoesToBoxListsAndClipboard_data();
    void resultGoesToBoxListsAndClipboard();
    void emptyDataShowsResultButWarns();
    void warningJudgesTheBoxesAsTheyStand();
    void secondRunRestartsNumbering();
    void runKeepsEveryCharacterOfTheBoxes();
    void emptyLinesNamedInTheMessage_data();
    void emptyLinesNamedInTheMessage();

    void questionableLineOpensManualMatching();
    void awaitedLineFarDownIsScrolledToTop();
    void ignoreEmptiesTheAwaitedLine_data();
    void ignoreEmptiesTheAwaitedLine();
    void twoQuestionableLinesAskTwice();
    void backToEditingLeavesResultAndClipboard();
    void newPressAbandonsTheWaitingRun();

    void realMessageBoxes_data();
    void realMessageBoxes();

    void textsWordForWord_data();
    void textsWordForWord();

private:
    void verifyDelivered(const QString &result, const QString &message = messageText::resultCopied);
    void verifyFrame4Open(const QStringList &list3, int awaited, const QStringList &list4, const QStringList &list5);
};

// A run that ended with its result: in the result box and on the clipboard, the result
// view in sight, the buttons that work on a result enabled, and the one message that says so.
void FilterWindowTest::verifyDelivered(const QString &result, const QString &message)
{
    QCOMPARE(texts(m_driver->messages), QStringList{message});
    QCOMPARE(m_driver->messages.back().icon, QMessageBox::NoIcon);
    QCOMPARE(m_driver->text(u"Text3"_s), result);
    QCOMPARE(clipboardText(), result);
    QVERIFY(m_driver->frame(u"Frame3"_s)->isVisible());
    QVERIFY(m_driver->frame(u"Frame2"_s)->isHidden());
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), u"待筛选数据"_s);
    QVERIFY(m_driver->button(u"Command2"_s)->isEnabled());
    QVERIFY(m_driver->button(u"Command11"_s)->isEnabled());
    QVERIFY(m_driver->frame(u"Frame4"_s)->isHidden());
}

// The manual matching waits for a choice: the panel in its place over the working area,
// the awaited line marked and selected, the candidate rows with the first one current and none
// selected.
void FilterWindowTest::verifyFrame4Open(const QStringList &list3, int awaited, const QStringList &list4,
                                        const QStringList &list5)
{
    QGroupBox *frame4 = m_driver->frame(u"Frame4"_s);
    QVERIFY(frame4->isVisible());
    QCOMPARE(frame4->pos(), QPoint(lanshan::toPixels(120), lanshan::toPixels(120)));
    // It lies above the boxes and the button row that it covers.
    for (const QString &covered : {u"Text2"_s, u"Command1"_s}) {
        const QWidget *control = m_driver->get<QWidget>(covered);
        const QPoint centre = control->mapTo(&m_driver->window, control->rect().center());
        QWidget *top = m_driver->window.childAt(centre);
        QVERIFY2(top && (top == frame4 || frame4->isAncestorOf(top)), qPrintable(covered));
    }
    QCOMPARE(m_driver->itemsOf(u"List3"_s), list3);
    QCOMPARE(selectedRow(m_driver->list(u"List3"_s)), awaited);
    QCOMPARE(m_driver->itemsOf(u"List4"_s), list4);
    QCOMPARE(selectedRow(m_driver->list(u"List4"_s)), -1);
    QCOMPARE(m_driver->list(u"List4"_s)->currentIndex().row(), 0);
    QCOMPARE(m_driver->itemsOf(u"List5"_s), list5);
    QVERIFY(m_driver->list(u"List5"_s)->isHidden());
}

void FilterWindowTest::tooFewKeyLinesStopTheRun_data()
{
    QTest::addColumn<QString>("keys");
    QTest::newRow("one line") << u"a1"_s;
    QTest::newRow("one line between spaces") << u"  a1  "_s;
    QTest::newRow("spaces only") << u"   "_s;
    QTest::newRow("empty") << QString();
}

void FilterWindowTest::tooFewKeyLinesStopTheRun()
{
    QFETCH(QString, keys);
    m_driver->filter(u"a1\nb2"_s, u"a1\t90\nb2\t80"_s);
    QCOMPARE(m_driver->itemsOf(u"List1"_s).size(), 2);
    const QString earlierResult = m_driver->text(u"Text3"_s);
    QCOMPARE(earlierResult, u"a1\t90\nb2\t80"_s);
    windowtest::setClipboardText(oldClipboard);
    m_driver->messages.clear();

    m_driver->box(u"Text1"_s)->setPlainText(keys);
    m_driver->press(u"Command1"_s);

    QCOMPARE(texts(m_driver->messages), QStringList{messageText::tooFewLines});
    QCOMPARE(m_driver->messages.back().icon, QMessageBox::Critical);
    QCOMPARE(m_driver->itemsOf(u"List1"_s), QStringList());
    QCOMPARE(m_driver->itemsOf(u"List2"_s), QStringList());
    QCOMPARE(m_driver->text(u"Text3"_s), earlierResult);
    QCOMPARE(clipboardText(), oldClipboard);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isHidden());
}

void FilterWindowTest::resultGoesToBoxListsAndClipboard_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("list1");
    QTest::addColumn<QStringList>("list2");
    QTest::addColumn<QString>("message");
    const QString copied = messageText::resultCopied;
    // A key without a row is named: an empty line pasted unawares is a score lost.
    const QString b2Empty = u"\r\n有 1 个关键字没有找到数据，结果中是空行：b2。"_s;

    QTest::newRow("key without row leaves an empty line")
        << u"a1\r\nb2\r\nc3"_s << u"c3\t70\r\na1\t90"_s << u"a1\t90\n\nc3\t70"_s
        << QStringList{u"1.a1"_s, u"2.b2"_s, u"3.c3"_s} << QStringList{u"1.a1\t90"_s, u"2."_s, u"3.c3\t70"_s}
        << copied + b2Empty;
    QTest::newRow("one key and a line end")
        << u"a1\r\n"_s << u"a1\t90"_s << u"a1\t90\n"_s << QStringList{u"1.a1"_s, u"2."_s}
        << QStringList{u"1.a1\t90"_s, u"2."_s} << copied;
    QTest::newRow("a key twice gets its row twice")
        << u"a1\nb2\na1"_s << u"a1\t90\nb2\t80"_s << u"a1\t90\nb2\t80\na1\t90"_s
        << QStringList{u"1.a1"_s, u"2.b2"_s, u"3.a1"_s} << QStringList{u"1.a1\t90"_s, u"2.b2\t80"_s, u"3.a1\t90"_s}
        << copied + u"\r\n其中 2 行可能取错，请点“核对详情”（Alt+H）查看。"_s;
    QTest::newRow("key as the tail of a longer value is no match")
        << u"a1\nb2"_s << u"xa1\t80\na1\t90"_s << u"a1\t90\n"_s << QStringList{u"1.a1"_s, u"2.b2"_s}
        << QStringList{u"1.a1\t90"_s, u"2."_s} << copied + b2Empty;
    QTest::newRow("line of spaces is matched by nothing")
        << u"a1\n   \nb2"_s << u"a1\t1\n   \t3\nb2\t2"_s << u"a1\t1\n\nb2\t2"_s
        << QStringList{u"1.a1"_s, u"2.   "_s, u"3.b2"_s} << QStringList{u"1.a1\t1"_s, u"2."_s, u"3.b2\t2"_s} << copied;
    // Empty lines only are no result: shown, but the clipboard keeps what it held.
    const QString nothingFound = messageText::noRowFound(false);
    QTest::newRow("letter case and last column: no row found")
        << u"a1\nb2"_s << u"A1\t5\n7\tb2"_s << u"\n"_s << QStringList{u"1.a1"_s, u"2.b2"_s}
        << QStringList{u"1."_s, u"2."_s} << nothingFound;
    QTest::newRow("data of spaces only: no row found")
        << u"a1\nb2\nc3"_s << u"   "_s << u"\n\n"_s << QStringList{u"1.a1"_s, u"2.b2"_s, u"3.c3"_s}
        << QStringList{u"1."_s, u"2."_s, u"3."_s} << nothingFound;
}

void FilterWindowTest::resultGoesToBoxListsAndClipboard()
{
    QFETCH(QString, keys);
    QFETCH(QString, rows);
    QFETCH(QString, result);
    QFETCH(QStringList, list1);
    QFETCH(QStringList, list2);
    QFETCH(QString, message);

    m_driver->filter(keys, rows);

    if (message == messageText::noRowFound(false)) {
        QCOMPARE(texts(m_driver->messages), QStringList{message});
        QCOMPARE(m_driver->messages.back().icon, QMessageBox::Critical);
        QCOMPARE(m_driver->text(u"Text3"_s), result);
        QCOMPARE(clipboardText(), oldClipboard);
        QVERIFY(m_driver->frame(u"Frame3"_s)->isVisible());
    } else {
        verifyDelivered(result, message);
    }
    QCOMPARE(m_driver->itemsOf(u"List1"_s), list1);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), list2);
}

// The warning looks at the boxes as they stand when the result comes: data cleared behind the
// open panel counts, though the run keeps the rows it was given.
void FilterWindowTest::warningJudgesTheBoxesAsTheyStand()
{
    m_driver->filter(u"a1\nb2"_s, u"a1\t1\na1\t2"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    m_driver->box(u"Text2"_s)->setPlainText(QString());
    windowtest::readTheQuestion();
    windowtest::clickItem(m_driver->list(u"List4"_s), 1);
    m_driver->press(u"Command6"_s);
    QCOMPARE(m_driver->text(u"Text3"_s), u"a1\t2\n"_s);
    QCOMPARE(texts(m_driver->messages), QStringList{messageText::checkTheInputs});
}

void FilterWindowTest::emptyDataShowsResultButWarns()
{
    // In a fresh window: the result box holds its empty lines, and after the message the
    // data view is back, the keys as they were and the focus in the empty data box.
    m_driver->filter(u"a1\nb2\nc3"_s, QString());
    QCOMPARE(texts(m_driver->messages), QStringList{messageText::checkTheInputs});
    QCOMPARE(m_driver->messages.back().icon, QMessageBox::Critical);
    QCOMPARE(m_driver->text(u"Text3"_s), u"\n\n"_s);
    QVERIFY(m_driver->frame(u"Frame2"_s)->isVisible());
    QVERIFY(m_driver->frame(u"Frame3"_s)->isHidden());
    QCOMPARE(QApplication::focusWidget(), m_driver->box(u"Text2"_s));
    QCOMPARE(m_driver->text(u"Text1"_s), u"a1\nb2\nc3"_s);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1."_s, u"2."_s, u"3."_s}));
    QCOMPARE(clipboardText(), oldClipboard);
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), u"数据/结果"_s);
    QVERIFY(!m_driver->button(u"Command2"_s)->isEnabled());
    QVERIFY(!m_driver->button(u"Command11"_s)->isEnabled());

    // After a good run and a press of the toggle, the warning leaves the buttons and the
    // clipboard as the good run and the toggle left them.
    m_driver->box(u"Text2"_s)->setPlainText(u"b2\t5"_s);
    m_driver->press(u"Command1"_s);
    QCOMPARE(clipboardText(), u"\nb2\t5\n"_s);
    m_driver->press(u"Command2"_s);
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), u"筛选后结果"_s);
    m_driver->box(u"Text2"_s)->setPlainText(QString());
    m_driver->messages.clear();
    m_driver->press(u"Command1"_s);
    QCOMPARE(texts(m_driver->messages), QStringList{messageText::checkTheInputs});
    QCOMPARE(m_driver->text(u"Text3"_s), u"\n\n"_s);
    QVERIFY(m_driver->frame(u"Frame2"_s)->isVisible());
    QCOMPARE(clipboardText(), u"\nb2\t5\n"_s);
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), u"筛选后结果"_s);
    QVERIFY(m_driver->button(u"Command2"_s)->isEnabled());
    QVERIFY(m_driver->button(u"Command11"_s)->isEnabled());
}

void FilterWindowTest::secondRunRestartsNumbering()
{
    m_driver->filter(u"a1\nb2\nc3"_s, u"c3\t70\na1\t90"_s);
    m_driver->press(u"Command2"_s);
    QVERIFY(m_driver->frame(u"Frame2"_s)->isVisible());
    QCOMPARE(m_driver->button(u"Command2"_s)->text(), u"筛选后结果"_s);
    m_driver->messages.clear();

    m_driver->filter(u"x1\nx2"_s, u"x2\t5"_s);
    verifyDelivered(u"\nx2\t5"_s, messageText::resultCopied + u"\r\n有 1 个关键字没有找到数据，结果中是空行：x1。"_s);
    QCOMPARE(m_driver->itemsOf(u"List1"_s), (QStringList{u"1.x1"_s, u"2.x2"_s}));
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1."_s, u"2.x2\t5"_s}));
}

void FilterWindowTest::emptyLinesNamedInTheMessage_data()
{
    QTest::addColumn<int>("missing");
    QTest::addColumn<QString>("line");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("one") << 1 << u"\r\n有 1 个关键字没有找到数据，结果中是空行：缺1。"_s;
    QTest::newRow("five, each named") << 5
                                      << u"\r\n有 5 个关键字没有找到数据，结果中是空行：缺1、缺2、缺3、缺4、缺5。"_s;
    QTest::newRow("six, the first five named")
        << 6 << u"\r\n有 6 个关键字没有找到数据，结果中是空行：缺1、缺2、缺3、缺4、缺5 等。"_s;
}

// A run with blanks does not read like a perfect one: the message names the keys of the empty
// lines, in the list's order, after the designed text; the empty line after the list's last
// break, which stands for no one, is no blank.
void FilterWindowTest::emptyLinesNamedInTheMessage()
{
    QFETCH(int, missing);
    QFETCH(QString, line);
    QString keys = u"甲\n"_s;
    QString rows = u"甲\t90\n乙\t80"_s;
    QString result = u"甲\t90\n"_s;
    for (int i = 1; i <= missing; ++i) {
        keys += u"缺%1\n"_s.arg(i);
        result += u"\n"_s;
    }
    keys += u"乙\n"_s;
    result += u"乙\t80\n"_s;
    m_driver->filter(keys, rows);
    verifyDelivered(result, messageText::resultCopied + line);
}

void FilterWindowTest::runKeepsEveryCharacterOfTheBoxes()
{
    // No-break space, line separator, TABs and spaces at line ends, each part of a key or
    // a row, in both boxes.
    const QString keys = u"a\u00A0b\nk\u2028m\ne  \nq\t\nd"_s;
    const QString rows = u"a b\t1\na\u00A0b\t1\nk\u2028m\t2\ne\t5\ne  \t5\nq\t\t9\nd\t4  \t\n"_s;
    m_driver->box(u"Text1"_s)->setPlainText(keys);
    m_driver->box(u"Text2"_s)->setPlainText(rows);
    const QString text1Before = m_driver->box(u"Text1"_s)->document()->toRawText();
    const QString text2Before = m_driver->box(u"Text2"_s)->document()->toRawText();
    QCOMPARE(windowtest::rawText(m_driver->box(u"Text1"_s)), keys);

    m_driver->press(u"Command1"_s);

    QCOMPARE(m_driver->box(u"Text1"_s)->document()->toRawText(), text1Before);
    QCOMPARE(m_driver->box(u"Text2"_s)->document()->toRawText(), text2Before);
    // The key with the no-break space takes only the row with it, the key with trailing
    // spaces only the row that has them too, and a key that ends in a TAB, a list of the one
    // cell "q", the row that holds that cell.
    verifyDelivered(u"a\u00A0b\t1\nk\u2028m\t2\ne  \t5\nq\t\t9\nd\t4  \t"_s);
    QCOMPARE(m_driver->itemsOf(u"List1"_s),
             (QStringList{u"1.a\u00A0b"_s, u"2.k\u2028m"_s, u"3.e  "_s, u"4.q\u21E5"_s, u"5.d"_s}));
}

void FilterWindowTest::questionableLineOpensManualMatching()
{
    m_driver->filter(u"b2\na1\nc3"_s, u"b2\t70\na1\t90\nz\t0\nx\t1\na1\t91"_s);

    verifyFrame4Open({u"   1.b2"_s, u"[*]2.a1"_s, u"   3.c3"_s}, 1, {u"2.\ta1\t90"_s, u"5.\ta1\t91"_s},
                     {u"1"_s, u"4"_s});
    QVERIFY(m_driver->messages.empty());
    QCOMPARE(m_driver->itemsOf(u"List1"_s), QStringList{u"1.b2"_s});
    QCOMPARE(m_driver->itemsOf(u"List2"_s), QStringList{u"1.b2\t70"_s});
    QCOMPARE(m_driver->text(u"Text3"_s), QString());
    QCOMPARE(clipboardText(), oldClipboard);

    // "确定" before a row is chosen only asks for one.
    m_driver->press(u"Command6"_s);
    QCOMPARE(texts(m_driver->messages), QStringList{messageText::mustChoose});
    QCOMPARE(m_driver->messages.back().icon, QMessageBox::NoIcon);
    // The box is wide enough for its whole title, though its message is short.
    {
        const std::unique_ptr<QMessageBox> box =
            lanshan::messageBox(&m_driver->window, messageText::mustChoose, QMessageBox::NoIcon);
        QVERIFY(box->sizeHint().width() > box->fontMetrics().horizontalAdvance(box->windowTitle()) * 5 / 4);
    }
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->itemsOf(u"List4"_s).size(), 2);
    QCOMPARE(m_driver->text(u"Text3"_s), QString());
    m_driver->messages.clear();

    windowtest::readTheQuestion();
    windowtest::clickItem(m_driver->list(u"List4"_s), 1);
    QCOMPARE(selectedRow(m_driver->list(u"List4"_s)), 1);
    m_driver->press(u"Command6"_s);

    verifyDelivered(u"b2\t70\na1\t91\n"_s,
                    messageText::resultCopied + u"\r\n有 1 个关键字没有找到数据，结果中是空行：c3。"_s);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.b2\t70"_s, u"2.a1\t91"_s, u"3."_s}));
}

void FilterWindowTest::awaitedLineFarDownIsScrolledToTop()
{
    QString keys;
    for (int i = 0; i < 100; ++i)
        keys += u"k%1\n"_s.arg(i);
    m_driver->filter(keys, u"k60\t1\nk60\t2"_s);

    lanshan::ListBox *list3 = m_driver->list(u"List3"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->itemsOf(u"List3"_s).size(), 101);
    QCOMPARE(list3->model()->index(60, 0).data().toString(), u"[*]61.k60"_s);
    QCOMPARE(selectedRow(list3), 60);
    QApplication::processEvents();
    QCOMPARE(list3->indexAt(QPoint(2, 2)).row(), 60);
}

void FilterWindowTest::ignoreEmptiesTheAwaitedLine_data()
{
    QTest::addColumn<int>("selectedLine");
    QTest::newRow("selection left alone") << -1;
    QTest::newRow("earlier line selected") << 0;
    QTest::newRow("later line selected") << 2;
}

void FilterWindowTest::ignoreEmptiesTheAwaitedLine()
{
    QFETCH(int, selectedLine);
    m_driver->filter(u"b2\na1\nc3"_s, u"b2\t70\na1\t90\nc3\t60\na1\t91"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    if (selectedLine >= 0) {
        windowtest::readTheQuestion();
        windowtest::clickItem(m_driver->list(u"List3"_s), selectedLine);
        QCOMPARE(selectedRow(m_driver->list(u"List3"_s)), selectedLine);
    }

    m_driver->press(u"Command5"_s);

    // The line left empty is named, as a blank the user chose.
    verifyDelivered(u"b2\t70\n\nc3\t60"_s, messageText::resultCopied + u"\r\n有 1 行已留空，结果中是空行：a1。"_s);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.b2\t70"_s, u"2."_s, u"3.c3\t60"_s}));
}

void FilterWindowTest::twoQuestionableLinesAskTwice()
{
    m_driver->filter(u"a1\nb2\nc3"_s, u"a1\t1\nc3\t3\na1\t2\nb2\t5\nc3\t4"_s);
    verifyFrame4Open({u"[*]1.a1"_s, u"   2.b2"_s, u"   3.c3"_s}, 0, {u"1.\ta1\t1"_s, u"3.\ta1\t2"_s}, {u"0"_s, u"2"_s});
    windowtest::readTheQuestion();
    windowtest::clickItem(m_driver->list(u"List4"_s), 0);
    m_driver->press(u"Command6"_s);

    // The second question, with the lists filled anew and the mark moved on.
    verifyFrame4Open({u"   1.a1"_s, u"   2.b2"_s, u"[*]3.c3"_s}, 2, {u"2.\tc3\t3"_s, u"5.\tc3\t4"_s}, {u"1"_s, u"4"_s});
    QVERIFY(m_driver->messages.empty());
    QCOMPARE(m_driver->itemsOf(u"List1"_s), (QStringList{u"1.a1"_s, u"2.b2"_s}));
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.a1\t1"_s, u"2.b2\t5"_s}));
    QCOMPARE(clipboardText(), oldClipboard);

    m_driver->press(u"Command5"_s);
    verifyDelivered(u"a1\t1\nb2\t5\n"_s, messageText::resultCopied + u"\r\n有 1 行已留空，结果中是空行：c3。"_s);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.a1\t1"_s, u"2.b2\t5"_s, u"3."_s}));
}

void FilterWindowTest::backToEditingLeavesResultAndClipboard()
{
    m_driver->filter(u"x\ny"_s, u"x\t0\ny\t9"_s);
    verifyDelivered(u"x\t0\ny\t9"_s);
    m_driver->messages.clear();

    m_driver->box(u"Text2"_s)->setPlainText(u"x\t0\na1\t1\na1\t2"_s);
    m_driver->box(u"Text1"_s)->setPlainText(u"x\na1\ny"_s);
    m_driver->press(u"Command1"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->itemsOf(u"List1"_s), QStringList{u"1.x"_s});

    m_driver->press(u"Command12"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isHidden());
    QVERIFY(m_driver->messages.empty());
    QCOMPARE(m_driver->text(u"Text3"_s), u"x\t0\ny\t9"_s);
    QCOMPARE(clipboardText(), u"x\t0\ny\t9"_s);
    QVERIFY(m_driver->frame(u"Frame3"_s)->isVisible());
    QVERIFY(m_driver->button(u"Command2"_s)->isEnabled());
    QVERIFY(m_driver->button(u"Command11"_s)->isEnabled());

    // A new press starts over: the same question again, the lists not added to.
    m_driver->press(u"Command1"_s);
    verifyFrame4Open({u"   1.x"_s, u"[*]2.a1"_s, u"   3.y"_s}, 1, {u"2.\ta1\t1"_s, u"3.\ta1\t2"_s}, {u"1"_s, u"2"_s});
    QCOMPARE(m_driver->itemsOf(u"List1"_s), QStringList{u"1.x"_s});
    QCOMPARE(m_driver->itemsOf(u"List2"_s), QStringList{u"1.x\t0"_s});
    windowtest::readTheQuestion();
    windowtest::clickItem(m_driver->list(u"List4"_s), 1);
    m_driver->press(u"Command6"_s);
    verifyDelivered(u"x\t0\na1\t2\n"_s,
                    messageText::resultCopied + u"\r\n有 1 个关键字没有找到数据，结果中是空行：y。"_s);
    QCOMPARE(m_driver->itemsOf(u"List1"_s), (QStringList{u"1.x"_s, u"2.a1"_s, u"3.y"_s}));
}

void FilterWindowTest::newPressAbandonsTheWaitingRun()
{
    m_driver->filter(u"a1\nb2"_s, u"a1\t1\na1\t2\nb2\t3"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());

    // Pressed again while the question is open, with another question in the new data.
    m_driver->box(u"Text1"_s)->setPlainText(u"z\nb2"_s);
    m_driver->box(u"Text2"_s)->setPlainText(u"b2\t7\nb2\t8"_s);
    m_driver->press(u"Command1"_s);
    verifyFrame4Open({u"   1.z"_s, u"[*]2.b2"_s}, 1, {u"1.\tb2\t7"_s, u"2.\tb2\t8"_s}, {u"0"_s, u"1"_s});
    QCOMPARE(m_driver->itemsOf(u"List1"_s), QStringList{u"1.z"_s});
    QVERIFY(m_driver->messages.empty());

    // Pressed again with data that needs no choice: the question goes away for good.
    m_driver->box(u"Text2"_s)->setPlainText(u"a1\t1\nb2\t3"_s);
    m_driver->box(u"Text1"_s)->setPlainText(u"a1\nb2"_s);
    m_driver->press(u"Command1"_s);
    verifyDelivered(u"a1\t1\nb2\t3"_s);
    QCOMPARE(m_driver->itemsOf(u"List1"_s), (QStringList{u"1.a1"_s, u"2.b2"_s}));
    for (const QString &list : {u"List3"_s, u"List4"_s, u"List5"_s})
        QVERIFY2(m_driver->itemsOf(list).isEmpty(), qPrintable(list));

    // Nothing of the abandoned runs can be settled any more.
    m_driver->messages.clear();
    m_driver->press(u"Command5"_s);
    m_driver->press(u"Command6"_s);
    QVERIFY(m_driver->messages.empty());
    QCOMPARE(m_driver->text(u"Text3"_s), u"a1\t1\nb2\t3"_s);
    QCOMPARE(clipboardText(), u"a1\t1\nb2\t3"_s);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.a1\t1"_s, u"2.b2\t3"_s}));
}

void FilterWindowTest::realMessageBoxes_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::newRow("error") << u"a1"_s << messageText::tooFewLines << int(QMessageBox::Critical);
    QTest::newRow("result delivered") << u"a1\nb2"_s
                                      << messageText::resultCopied
                                             + u"\r\n有 1 个关键字没有找到数据，结果中是空行：b2。"_s
                                      << int(QMessageBox::NoIcon);
}

// The boxes themselves, as the user meets them: modal, titled with the program's name
// alone, one OK button.
void FilterWindowTest::realMessageBoxes()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, icon);
    lanshan::setMessageObserver({});
    const windowtest::AnsweredBox seen = windowtest::answerMessageBox([&] { m_driver->filter(keys, u"a1\t1"_s); });

    QVERIFY(seen.messageBox);
    QCOMPARE(seen.title, u"岚杉数据筛选器"_s);
    QCOMPARE(seen.text, text);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, qsizetype(1));
    QVERIFY(seen.hasOk);
    QVERIFY(!QApplication::activeModalWidget());
}

void FilterWindowTest::textsWordForWord_data()
{
    using lanshan::StatusPanels;
    QTest::addColumn<QString>("constant");
    QTest::addColumn<QString>("text");
    QTest::newRow("too few key lines") << messageText::tooFewLines << u"请在上面的输入框中输入待处理数据！"_s;
    QTest::newRow("check the inputs") << messageText::checkTheInputs << u"请确认您已经进行了正确的数据处理"_s;
    QTest::newRow("result copied")
        << messageText::resultCopied
        << u"筛选结果已经复制到剪贴板，您可以用CTRL+V快捷键粘贴到需要的位置！\r\n您可以点击同步查看按钮进行原始数据和结果同步查看。"_s;
    QTest::newRow("result not copied")
        << messageText::resultNotCopied
        << u"筛选结果未能复制到剪贴板！您可以在“筛选后结果”框中选中结果，再用CTRL+C快捷键复制。"_s;
    QTest::newRow("demo filled") << messageText::demoFilled << u"请点击“数据筛选”按钮以查看演示结果！"_s;
    QTest::newRow("must choose") << messageText::mustChoose << u"您必须选择正确的数据！"_s;
    QTest::newRow("panel 3 waiting") << StatusPanels::waitingText.toString() << u"等待检测服务器版本"_s;
    QTest::newRow("panel 3 checking") << StatusPanels::checkingText.toString() << u"正在检测服务器版本"_s;
    QTest::newRow("panel 3 version label") << StatusPanels::versionLabel.toString() << u"服务器版本:"_s;
}

// The texts that the window tests take from the program's constants, here word for word: a
// changed character in a constant fails here, though every other test follows it.
void FilterWindowTest::textsWordForWord()
{
    QFETCH(QString, constant);
    QFETCH(QString, text);
    QCOMPARE(constant, text);
}

QTEST_MAIN(FilterWindowTest)
#include "filter_window_test.moc"
