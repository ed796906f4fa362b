// "复制列" (Alt+L): only the chosen columns of the result go to the clipboard, typed by number or
// by the header's names, or picked from the columns the header names, while the result box keeps
// whole rows; the choice holds until the inputs change.

#include "windowtest.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;
using windowtest::clipboardText;

namespace {

// A header that no key takes, student 2 absent, student 4 without a 数学 score.
const QString keys = u"张一\n张二\n张三\n张四"_s;
const QString rows = u"学号\t姓名\t语文\t数学\n1\t张一\t90\t85\n3\t张三\t70\t60\n4\t张四\t88"_s;
const QString wholeResult = u"1\t张一\t90\t85\n\n3\t张三\t70\t60\n4\t张四\t88"_s;

} // namespace

class ResultColumnsTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    ResultColumnsTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void chosenColumnsGoToTheClipboard_data();
    void chosenColumnsGoToTheClipboard();
    void choiceHoldsUntilTheInputsChange();
    void longPastedListTakenWhole();
    void countLeavesOutTheLineAfterTheLastBreak();

private:
    // Alt+L, the list typed (or the offered item picked) and Enter.
    void choose(const QString &list, int picked = -1);
    QComboBox *columnsBox() const { return m_driver->window.findChild<QComboBox *>(u"columnsBox"_s); }
};

void ResultColumnsTest::choose(const QString &list, int picked)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
    // A mnemonic presses its button a moment later.
    QTRY_VERIFY(columnsBox() && columnsBox()->isVisible());
    QComboBox *box = columnsBox();
    if (picked >= 0) {
        box->setCurrentIndex(picked);
    } else {
        box->lineEdit()->selectAll();
        // Chinese comes through the input method, committed as the user picks it.
        for (const QChar c : list) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(box->lineEdit(), c.toLatin1());
            } else {
                QInputMethodEvent typed;
                typed.setCommitString(c);
                QApplication::sendEvent(box->lineEdit(), &typed);
            }
        }
    }
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

void ResultColumnsTest::chosenColumnsGoToTheClipboard_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("picked"); // an offered item instead of typing
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("said"); // the note, or the refusal in the still open box

    QTest::newRow("3") << u"3"_s << -1 << u"90\n\n70\n88"_s << u"已复制第 3 列，共 4 行。"_s;
    QTest::newRow("4,1") << u"4,1"_s << -1 << u"85\t1\n\n60\t3\n\t4"_s << u"已复制第 4,1 列，共 4 行。"_s;
    QTest::newRow("picked 3 语文") << QString() << 2 << u"90\n\n70\n88"_s << u"已复制第 3 列，共 4 行。"_s;
    QTest::newRow("empty: whole rows") << QString() << -1 << wholeResult << u"已复制整行，共 4 行。"_s;
    QTest::newRow("0 refused") << u"0"_s << -1 << QString() << u"“0”：列号从 1 开始。"_s;
    QTest::newRow("beyond the result refused")
        << u"2,5"_s << -1 << QString() << u"第 5 列超出了结果，结果最多 4 列。"_s;
    QTest::newRow("reversed range refused") << u"4-2"_s << -1 << QString() << u"“4-2”：范围应从小到大，例如 2-4。"_s;
    // The header's names, as the box offers them.
    QTest::newRow("数学") << u"数学"_s << -1 << u"85\n\n60\n"_s << u"已复制第 4 列，共 4 行。"_s;
    QTest::newRow("语文,数学") << u"语文,数学"_s << -1 << u"90\t85\n\n70\t60\n88\t"_s
                               << u"已复制第 3,4 列，共 4 行。"_s;
    QTest::newRow("1,数学") << u"1,数学"_s << -1 << u"1\t85\n\n3\t60\n4\t"_s << u"已复制第 1,4 列，共 4 行。"_s;
    QTest::newRow("a name not in the header refused")
        << u"语文,物理"_s << -1 << QString() << u"“物理”不是列号，也不是列名；列名有：学号、姓名、语文、数学。"_s;
}

void ResultColumnsTest::chosenColumnsGoToTheClipboard()
{
    QFETCH(QString, list);
    QFETCH(int, picked);
    QFETCH(QString, clipboard);
    QFETCH(QString, said);
    m_driver->filter(keys, rows);
    QCOMPARE(clipboardText(), wholeResult);
    choose(list, picked);
    QCOMPARE(columnsBox()->itemText(2), u"3 语文"_s);

    if (clipboard.isEmpty()) {
        // Refused: the box stays open and says why; nothing else changes.
        QVERIFY(columnsBox()->isVisible());
        QCOMPARE(m_driver->get<QLabel>(u"columnsRefusal"_s)->text(), said);
        QCOMPARE(clipboardText(), wholeResult);
        QVERIFY(!m_driver->get<QLabel>(u"columnsNote"_s)->isVisible());
        return;
    }
    QVERIFY(!columnsBox()->isVisible());
    QCOMPARE(clipboardText(), clipboard);
    QCOMPARE(m_driver->get<QLabel>(u"columnsNote"_s)->text(), said);
    QVERIFY(m_driver->get<QLabel>(u"columnsNote"_s)->isVisible());
    QCOMPARE(m_driver->text(u"Text3"_s), wholeResult);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"copyColumnsButton"_s));
}

void ResultColumnsTest::choiceHoldsUntilTheInputsChange()
{
    QVERIFY(!m_driver->button(u"copyColumnsButton"_s)->isEnabled());
    m_driver->filter(keys, rows);
    choose(u"3"_s);
    // Leaving the synchronized view, and a run on the same inputs, give the chosen columns.
    m_driver->press(u"Command11"_s);
    m_driver->press(u"Command4"_s);
    QCOMPARE(clipboardText(), u"90\n\n70\n88"_s);
    m_driver->press(u"Command1"_s);
    QCOMPARE(clipboardText(), u"90\n\n70\n88"_s);
    // A change of the inputs ends the choice: whole rows again.
    QTest::keyClicks(m_driver->box(u"Text1"_s), u"x"_s);
    QVERIFY(!m_driver->get<QLabel>(u"columnsNote"_s)->isVisible());
    m_driver->press(u"Command11"_s);
    m_driver->press(u"Command4"_s);
    QCOMPARE(clipboardText(), wholeResult);
    // Clearing the data takes the result, and the control with it.
    m_driver->press(u"Command10"_s);
    QVERIFY(!m_driver->button(u"copyColumnsButton"_s)->isEnabled());
}

// A list pasted into the box is judged whole: its last item, far past any box's usual length,
// is the one refused.
void ResultColumnsTest::longPastedListTakenWhole()
{
    m_driver->filter(keys, rows);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
    QTRY_VERIFY(columnsBox() && columnsBox()->isVisible());
    QString list;
    for (int i = 0; i < 12000; ++i)
        list += u"1, "_s;
    list += u"0"_s;
    columnsBox()->lineEdit()->selectAll();
    columnsBox()->lineEdit()->insert(list);
    QCOMPARE(columnsBox()->lineEdit()->text().size(), list.size());
    QTest::keyClick(columnsBox()->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_driver->get<QLabel>(u"columnsRefusal"_s)->text(), u"“0”：列号从 1 开始。"_s);
    QCOMPARE(clipboardText(), wholeResult);
}

// A list copied with its last line break: the note counts the students, the clipboard keeps
// the result's last, empty line as the result box has it.
void ResultColumnsTest::countLeavesOutTheLineAfterTheLastBreak()
{
    m_driver->filter(u"2\n1\n"_s, u"1\t甲\t90\n2\t乙\t80"_s);
    choose(u"3"_s);
    QCOMPARE(m_driver->get<QLabel>(u"columnsNote"_s)->text(), u"已复制第 3 列，共 2 行。"_s);
    QCOMPARE(clipboardText(), u"80\n90\n"_s);
}

QTEST_MAIN(ResultColumnsTest)
#include "result_columns_test.moc"
