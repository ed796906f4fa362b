// Seat numbers as keys, where a score can equal another student's number: the lines that may
// hold a wrong row, counted below the buttons and in the message, listed in the report and
// emptied there, and the run again with the keys looked for in their own column, from the
// manual matching and from the report, by keyboard.

#include "clipboardtext.h"
#include "messagetexts.h"
#include "windowtest.h"

#include <QApplication>
#include <QLabel>
#include <QStyleHints>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// Seat 3 is absent; seat 2 scored 3, seat 5 scored 7 and seat 6 scored 8. The rule gives line 3
// seat 2's row and asks about lines 7 and 8.
const QString seats = u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8"_s;
const QString scores = u"学号\t姓名\t分数\t等第\r\n1\t甲\t90\t优\r\n2\t乙\t3\t差\r\n4\t丁\t88\t良\r\n"
                       u"5\t戊\t7\t差\r\n6\t己\t8\t差\r\n7\t庚\t80\t良\r\n8\t辛\t82\t良"_s;
const QString trueResult = u"1\t甲\t90\t优\n2\t乙\t3\t差\n\n4\t丁\t88\t良\n5\t戊\t7\t差\n6\t己\t8\t差\n"
                           u"7\t庚\t80\t良\n8\t辛\t82\t良"_s;
const QString copied = u"筛选结果已经复制到剪贴板，您可以用CTRL+V快捷键粘贴到需要的位置！\r\n"
                       u"您可以点击同步查看按钮进行原始数据和结果同步查看。"_s;
// Seat 3 has no row: the message names it.
const QString seat3Empty = u"\r\n有 1 个关键字没有找到数据，结果中是空行：3。"_s;

QString clipboardLf()
{
    return lanshan::ClipboardText::read().replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

class KeyColumnTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    KeyColumnTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void keyColumnSparesTheQuestions();
    void noHintWhereTheRowsAreRealDuplicates();
    void restLeftEmptyListedInTheReport();
    void suspectLineSettledInTheReport_data();
    void suspectLineSettledInTheReport();
    void suspectLineInTheCopiedReport();

private:
    QLabel *summary() const { return m_driver->get<QLabel>(u"reconcileSummary"_s); }
    // Whole, as the label's tooltip and a screen reader say it where the panel is too narrow.
    QString position() const { return m_driver->get<QLabel>(u"questionPosition"_s)->accessibleName(); }
    static void altKey(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }
    // The entry of line 3 in a group of the report, if it stands there.
    static QModelIndex line3(const QAbstractItemModel *model, int group)
    {
        return model->match(model->index(0, 0, model->index(group, 0)), Qt::DisplayRole, u"3."_s).value(0);
    }
};

void KeyColumnTest::keyColumnSparesTheQuestions()
{
    const QString spares = u"。多数关键字在第 1 列，按 Alt+K 可免去这些选择。"_s;
    m_driver->filter(seats, scores);
    QCOMPARE(position(), u"第 1 个，共 2 个"_s + spares);
    m_driver->press(u"Command5"_s);
    QCOMPARE(position(), u"第 2 个，共 2 个"_s + spares);

    // A mnemonic clicks its button a moment later, as the user sees it pressed.
    altKey(Qt::Key_K);
    QTRY_VERIFY(!m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->text(u"Text3"_s), trueResult);
    QCOMPARE(clipboardLf(), trueResult);
    QCOMPARE(m_driver->messages.size(), 1u);
    QCOMPARE(m_driver->messages.back().text, copied + seat3Empty);

    // The column held for that run only.
    m_driver->press(u"Command1"_s);
    QCOMPARE(position(), u"第 1 个，共 2 个"_s + spares);
}

void KeyColumnTest::suspectLineSettledInTheReport_data()
{
    QTest::addColumn<QString>("settle");
    QTest::addColumn<int>("groupOfLine3");
    QTest::addColumn<QString>("summaryAfter");
    QTest::newRow("留空") << u"leaveSuspectEmptyButton"_s << 1
                          << u"核对：0 个关键字未找到，1 行数据未使用，1 行已留空。"_s;
    QTest::newRow("Alt+K") << QString() << 0 << u"核对：1 个关键字未找到，1 行数据未使用。"_s;
}

void KeyColumnTest::suspectLineSettledInTheReport()
{
    QFETCH(QString, settle);
    QFETCH(int, groupOfLine3);
    QFETCH(QString, summaryAfter);
    // Both questions answered with the seat's own row: line 3 keeps seat 2's row.
    m_driver->filter(seats, scores);
    for (int question = 0; question < 2; ++question) {
        m_driver->list(u"List4"_s)->setCurrentIndex(m_driver->list(u"List4"_s)->model()->index(1, 0));
        m_driver->press(u"Command6"_s);
    }
    QVERIFY(m_driver->text(u"Text3"_s).startsWith(u"1\t甲\t90\t优\n2\t乙\t3\t差\n2\t乙\t3\t差\n"_s));
    QCOMPARE(summary()->text(), u"核对：0 个关键字未找到，1 行数据未使用，2 行可能取错。"_s);
    QVERIFY(summary()->font().bold());
    QCOMPARE(m_driver->messages.back().text, copied + u"\r\n其中 2 行可能取错，请点“核对详情”（Alt+H）查看。"_s);

    altKey(Qt::Key_H);
    auto *tree = m_driver->get<QTreeView>(u"reconcileTree"_s);
    QTRY_VERIFY(tree->isVisible());
    const QAbstractItemModel *model = tree->model();
    QCOMPARE(model->index(3, 0).data().toString(), u"可能取错（2 行）"_s);
    const QModelIndex row = model->index(0, 0, line3(model, 3));
    QCOMPARE(row.data().toString(), u"第 3 行"_s);
    QCOMPARE(row.siblingAtColumn(1).data().toString(), u"2\t乙\t3\t差"_s);
    QCOMPARE(row.siblingAtColumn(2).data().toString(),
             u"在第 3 列找到，关键字在第 1 列；结果第 2 行也用了这一行数据"_s);

    // The cause column may cut it off; the hint says it whole.
    tree->setCurrentIndex(row);
    QCOMPARE(m_driver->get<QLabel>(u"reconcileHint"_s)->text(),
             u"第 3 个关键字的结果（第 3 行）可能取错：在第 3 列找到，关键字在第 1 列；结果第 2 行也用了这一行数据。"
             u"点“留空”把它清空。"_s);

    m_driver->messages.clear();
    if (settle.isEmpty()) {
        altKey(Qt::Key_K);
        QTRY_COMPARE(m_driver->messages.size(), 1u);
        QCOMPARE(m_driver->messages.back().text, copied + seat3Empty);
    } else {
        m_driver->press(settle);
        QVERIFY(m_driver->messages.empty());
    }
    QCOMPARE(m_driver->text(u"Text3"_s), trueResult);
    QCOMPARE(clipboardLf(), trueResult);
    QCOMPARE(summary()->text(), summaryAfter);
    QVERIFY(!summary()->font().bold());
    QVERIFY(line3(model, groupOfLine3).isValid());
    QCOMPARE(model->rowCount(model->index(3, 0)), 0);
}

// The copied table lists the line after the others, with the row's cells; Alt+C copies it.
void KeyColumnTest::suspectLineInTheCopiedReport()
{
    m_driver->filter(u"1\r\n2\r\n3"_s, u"1\t甲\t90\t优\r\n2\t乙\t3\t差"_s);
    altKey(Qt::Key_H);
    QTRY_VERIFY(m_driver->get<QTreeView>(u"reconcileTree"_s)->isVisible());
    altKey(Qt::Key_C);
    QTRY_COMPARE(clipboardLf(),
                 u"类别\t序号\t行号\t原因\t关键字\t数据\n"
                 u"可能取错\t2\t2\t结果第 3 行也用了这一行数据\t2\t2\t乙\t3\t差\n"
                 u"可能取错\t3\t2\t在第 3 列找到，关键字在第 1 列；结果第 2 行也用了这一行数据\t3\t2\t乙\t3\t差\n"_s);
}

// Two rows of one student: looking in the name column would ask the same, so nothing offers it;
// Alt+K says so in the caption's line instead of doing nothing.
void KeyColumnTest::noHintWhereTheRowsAreRealDuplicates()
{
    m_driver->filter(u"王伟\n李娜"_s, u"王伟\t90\n王伟\t80\n李娜\t70"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(position(), u"第 1 个，共 1 个"_s);
    QVERIFY(m_driver->button(u"matchKeyColumnButton"_s)->isHidden());
    altKey(Qt::Key_K);
    QTRY_COMPARE(position(), u"第 1 个，共 1 个。"_s + lanshan::messageText::keyColumnSparesNothing);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->get<QLabel>(u"questionPosition"_s)->text(), position());
}

// "余下全部留空": the questions left empty at once, counted in the message and listed under
// "忽略留空" in the report, where one of them can still be taken.
void KeyColumnTest::restLeftEmptyListedInTheReport()
{
    m_driver->filter(seats, scores);
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    altKey(Qt::Key_A);
    QTRY_VERIFY(!m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(m_driver->messages.size(), 1u);
    QVERIFY(m_driver->messages.back().text.endsWith(
        u"\r\n2 行疑问数据已留空，可在“核对详情”（Alt+H）的“忽略留空”中逐行采用。"_s));
    QCOMPARE(summary()->text(), u"核对：0 个关键字未找到，3 行数据未使用，2 行已留空，2 行可能取错。"_s);

    altKey(Qt::Key_H);
    auto *tree = m_driver->get<QTreeView>(u"reconcileTree"_s);
    QTRY_VERIFY(tree->isVisible());
    const QAbstractItemModel *model = tree->model();
    QCOMPARE(model->index(1, 0).data().toString(), u"忽略留空（2 个关键字）"_s);
    const QModelIndex line7 = model->index(0, 0, model->index(1, 0));
    QCOMPARE(line7.data().toString(), u"7."_s);
    tree->setCurrentIndex(model->index(0, 0, line7));
    const QString taken = model->index(0, 1, line7).data().toString();
    m_driver->press(u"adoptButton"_s);
    QCOMPARE(m_driver->text(u"Text3"_s).section(u'\n', 6, 6), taken);
}

QTEST_MAIN(KeyColumnTest)
#include "key_column_test.moc"
