// A class list of several columns (学号 TAB 姓名) pasted as the records system shows it: each
// student's row, said once that both columns were looked up, and a key's cells shown apart.

#include "takingcases.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace Qt::StringLiterals;
namespace messageText = lanshan::messageText;
using windowtest::clipboardText;

class CellListTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    CellListTest()
        : WindowTest({.oldClipboard = true})
    { }

private Q_SLOTS:
    void listOfTwoColumns();
    void takenOnlyWhenSurelyTheStudentsOwn_data();
    void takenOnlyWhenSurelyTheStudentsOwn();
    void columnCountInDigits_data();
    void columnCountInDigits();
    void matchedOnTheNamesAlone_data();
    void matchedOnTheNamesAlone();
    void altKLooksInTheListsColumns();
};

void CellListTest::listOfTwoColumns()
{
    // Student 3's 学号 is not in the sheet: no row, though the name is, beside another 学号.
    m_driver->filter(u"1\t张三\n2\t李四\n3\t王五"_s, u"学号\t姓名\t语文\n2\t李四\t80\n1\t张三\t90\n4\t王五\t70"_s);

    QCOMPARE(clipboardText(), u"1\t张三\t90\n2\t李四\t80\n"_s);
    QCOMPARE(m_driver->messages.size(), 1u);
    QCOMPARE(m_driver->messages.back().text,
             messageText::resultCopied
                 + u"\r\n有 1 个关键字没有找到数据，结果中是空行：3⇥王五。\r\n名单有 2 列，按 2 列一起查找。"_s);
    QCOMPARE(m_driver->get<QLabel>(u"reconcileSummary"_s)->text(),
             u"核对：名单有 2 列，按 2 列一起查找。1 个关键字未找到，2 行数据未使用。"_s);

    m_driver->press(u"reconcileButton"_s);
    auto *tree = m_driver->get<QTreeView>(u"reconcileTree"_s);
    const QModelIndex missing = tree->model()->index(0, 1, tree->model()->index(0, 0));
    QCOMPARE(missing.data().toString(), u"3\u21E5王五"_s);
    // The sheet's 王五 has another 学号 where the others stand: another student, said so.
    const QModelIndex near = tree->model()->index(0, 2, missing.siblingAtColumn(0));
    QCOMPARE(near.data().toString(), u"有的列不同：名单第 1 列“3”，这一行是“4”"_s);

    // Never taken in one go; by hand, as the user judges, it is.
    QVERIFY(!m_driver->button(u"adoptReliableButton"_s)->isEnabled());
    tree->setCurrentIndex(near.siblingAtColumn(0));
    m_driver->press(u"adoptButton"_s);
    QCOMPARE(clipboardText(), u"1\t张三\t90\n2\t李四\t80\n4\t王五\t70"_s);
    // Too long for the line at the designed size: the counts stay, the rest in the tooltip.
    const QLabel *summary = m_driver->get<QLabel>(u"reconcileSummary"_s);
    const QString whole =
        u"核对：名单有 2 列，按 2 列一起查找。0 个关键字未找到，1 行数据未使用，1 行采用了相近数据。"_s;
    QCOMPARE(summary->text(), u"核对：0 个关键字未找到，1 行数据未使用，1 行采用了相近数据。"_s);
    QVERIFY(summary->fontMetrics().horizontalAdvance(summary->text()) <= summary->contentsRect().width());
    QCOMPARE(summary->toolTip(), whole);
}

void CellListTest::takenOnlyWhenSurelyTheStudentsOwn_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("resultThen");
    for (const lanshan::testcases::TakingCase &c : lanshan::testcases::takingCases()) {
        const auto text = [](std::u16string_view t) { return QString::fromStdU16String(std::u16string(t)); };
        QTest::newRow(c.name) << text(c.keys) << text(c.rows) << text(c.resultThen).replace(u"\r\n"_s, u"\n"_s);
    }
}

// 采用全部可靠行 takes exactly what the engine's table says, also where the run found no row at all;
// the button is there only where it takes something.
void CellListTest::takenOnlyWhenSurelyTheStudentsOwn()
{
    QFETCH(QString, keys);
    QFETCH(QString, rows);
    QFETCH(QString, resultThen);
    m_driver->filter(keys, rows);
    const QString before = m_driver->text(u"Text3"_s);
    m_driver->press(u"reconcileButton"_s);
    QPushButton *takeAll = m_driver->button(u"adoptReliableButton"_s);
    QCOMPARE(takeAll->isEnabled(), before != resultThen);
    if (takeAll->isEnabled()) {
        m_driver->press(u"adoptReliableButton"_s);
        QVERIFY(m_driver->messages.back().text.startsWith(u"已采用 "_s));
        QCOMPARE(clipboardText(), resultThen);
    }
    QCOMPARE(m_driver->text(u"Text3"_s), resultThen);
}

void CellListTest::columnCountInDigits_data()
{
    QTest::addColumn<int>("columns");
    QTest::newRow("three, once a Chinese numeral") << 3;
    QTest::newRow("ten, the last of them") << 10;
    QTest::newRow("eleven") << 11;
}

// Both counts of the sentence in one kind of numeral, whatever the count.
void CellListTest::columnCountInDigits()
{
    QFETCH(int, columns);
    QStringList keys;
    QStringList rows;
    for (int line = 1; line <= 2; ++line) {
        QStringList cells;
        for (int cell = 1; cell <= columns; ++cell)
            cells.append(u"%1-%2"_s.arg(line).arg(cell));
        keys.append(cells.join(u'\t'));
        rows.append(cells.join(u'\t') + u"\t9%1"_s.arg(line));
    }
    m_driver->filter(keys.join(u'\n'), rows.join(u'\n'));

    const QString said = u"名单有 %1 列，按 %1 列一起查找。"_s.arg(columns);
    QCOMPARE(m_driver->messages.back().text, messageText::resultCopied + u"\r\n"_s + said);
    QVERIFY2(m_driver->get<QLabel>(u"reconcileSummary"_s)->text().startsWith(u"核对："_s + said),
             qPrintable(m_driver->get<QLabel>(u"reconcileSummary"_s)->text()));
}

void CellListTest::matchedOnTheNamesAlone_data()
{
    QTest::addColumn<QString>("list");
    QTest::newRow("by number") << u"2"_s;
    QTest::newRow("by the list header's name") << u"姓名"_s;
}

// The sheet's 学号 are another school's: matched on the list's 姓名 column alone, from the report,
// the columns offered by the list's header.
void CellListTest::matchedOnTheNamesAlone()
{
    QFETCH(QString, list);
    m_driver->filter(u"学号\t姓名\n1\t张三\n3\t王五"_s, u"学号\t姓名\t语文\n91\t张三\t90\n94\t王五\t70"_s);
    // The list's header finds the sheet's; the students, with other 学号, nothing.
    QCOMPARE(clipboardText(), u"学号\t姓名\t语文\n\n"_s);
    m_driver->press(u"reconcileButton"_s);
    QPushButton *keyCells = m_driver->button(u"keyCellsButton"_s);
    QVERIFY(keyCells->isVisible());
    keyCells->click();
    auto *box = m_driver->window.findChild<QComboBox *>(u"columnsBox"_s);
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->itemText(1), u"2 姓名"_s);
    box->lineEdit()->setText(list);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);

    QCOMPARE(m_driver->messages.back().text, messageText::resultCopied + u"\r\n名单有 2 列，只按第 2 列查找。"_s);
    QCOMPARE(clipboardText(), u"学号\t姓名\t语文\n91\t张三\t90\n94\t王五\t70"_s);
    // For that run only: the next press looks at both columns again.
    m_driver->press(u"Command1"_s);
    QCOMPARE(clipboardText(), u"学号\t姓名\t语文\n\n"_s);
}

// A 学号 that also stands as a score asks which row; Alt+K looks for each cell of the list in the
// column where the lines hold it, and asks nothing.
void CellListTest::altKLooksInTheListsColumns()
{
    m_driver->filter(u"1\t张三\n2\t李四\n3\t王五"_s, u"1\t张三\t90\n2\t李四\t80\n3\t王五\t70\n9\t王五\t3"_s);
    QVERIFY(m_driver->frame(u"Frame4"_s)->isVisible());
    QVERIFY(m_driver->get<QLabel>(u"questionPosition"_s)
                ->accessibleName()
                .endsWith(messageText::listColumnsSpare(u"1、2"_s)));
    QVERIFY(m_driver->button(u"matchKeyColumnButton"_s)->isVisible());
    m_driver->press(u"matchKeyColumnButton"_s);

    QVERIFY(!m_driver->frame(u"Frame4"_s)->isVisible());
    QCOMPARE(clipboardText(), u"1\t张三\t90\n2\t李四\t80\n3\t王五\t70"_s);
}

QTEST_MAIN(CellListTest)
#include "cell_list_test.moc"
