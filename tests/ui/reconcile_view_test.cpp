// The reconciliation after a run: the counts below the buttons, the view they open, the rows
// the user takes into the result, which the result box, the lists and the clipboard then hold
// as if the filter had matched them, the report copied as a table for a spreadsheet, and the
// view's columns sharing the width as the window grows.

#include "boxtext.h"
#include "clipboardtext.h"
#include "messagetexts.h"
#include "reconcileview.h"
#include "windowtest.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// 张三 and 王五 padded with spaces in the sheet, 李四 as it stands, a header no key wants.
const QString keys = u"张三\r\n李四\r\n王五"_s;
const QString rows = u"学号\t分数\r\n张\u3000三\t90\r\n李四\t80\r\n王 五\t70"_s;

// The clipboard's text with CR LF between lines, wherever it runs.
QString clipboardCrLf()
{
    return lanshan::withCrLfLineBreaks(lanshan::ClipboardText::read());
}

// Rows of eight columns, some cells full-width (U+3000 inside a name), others ASCII.
const QString scoreRows = u"学号\t姓名\t语文\t数学\t英语\t物理\t化学\t历史\r\n"
                          u"3\t李娜\u3000\t83\t77\t90\t53\t32\t61\r\n"
                          u"12\t王 小明\t95\t88\t76\t81\t60\t70\r\n"
                          u"7\t欧阳\u3000娜娜\t100\t99\t98\t97\t96\t95\r\n"
                          u"20\tZhao Liu\t1\t2\t3\t4\t5\t6"_s;

} // namespace

class ReconcileViewTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    ReconcileViewTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void nearRowsTaken();
    void reportCopied();
    void rowOfKeyLeftEmptyTaken();
    void reportDroppedWithItsInputs_data();
    void reportDroppedWithItsInputs();
    void tenThousandKeysNearOneRow();
    void columnsShareTheWidth_data();
    void columnsShareTheWidth();

private:
    QString summary() const { return m_driver->get<QLabel>(u"reconcileSummary"_s)->text(); }
    QTreeView *openView()
    {
        m_driver->press(u"reconcileButton"_s);
        auto *tree = m_driver->get<QTreeView>(u"reconcileTree"_s);
        [&] { QVERIFY(tree->isVisible()); }();
        return tree;
    }
};

void ReconcileViewTest::nearRowsTaken()
{
    QVERIFY(!m_driver->button(u"reconcileButton"_s)->isEnabled());
    m_driver->filter(keys, rows);
    QCOMPARE(summary(), u"核对：2 个关键字未找到，3 行数据未使用。"_s);
    QCOMPARE(m_driver->text(u"Text3"_s), u"\n李四\t80\n"_s);

    // The first near row of the first key without a row, taken by keyboard.
    QTreeView *tree = openView();
    const QModelIndex firstKey = tree->model()->index(0, 0, tree->model()->index(0, 0));
    QCOMPARE(firstKey.siblingAtColumn(1).data().toString(), u"张三"_s);
    const QModelIndex nearRow = tree->model()->index(0, 0, firstKey);
    QCOMPARE(nearRow.siblingAtColumn(1).data().toString(), u"张〈全角空格〉三\t90"_s);
    QCOMPARE(nearRow.siblingAtColumn(2).data().toString(), u"空格不同"_s);
    tree->setCurrentIndex(nearRow);
    QTest::keyClick(tree, Qt::Key_Return);
    const QString oneTaken = u"张\u3000三\t90\r\n李四\t80\r\n"_s;
    QCOMPARE(lanshan::boxQString(m_driver->box(u"Text3"_s)), oneTaken);
    QCOMPARE(lanshan::ClipboardText::read(),
             lanshan::ClipboardText::keepsLoneBreaks() ? oneTaken : u"张\u3000三\t90\n李四\t80\n"_s);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.张\u3000三\t90"_s, u"2.李四\t80"_s, u"3."_s}));
    QCOMPARE(summary(), u"核对：1 个关键字未找到，2 行数据未使用。"_s);

    // The rest in one step, with the count said.
    m_driver->press(u"adoptReliableButton"_s);
    QCOMPARE(m_driver->messages.size(), 2u);
    QCOMPARE(m_driver->messages.back().text, u"已采用 1 行可靠的相近数据。"_s);
    QCOMPARE(m_driver->text(u"Text3"_s), u"张\u3000三\t90\n李四\t80\n王 五\t70"_s);
    QCOMPARE(summary(), u"核对：0 个关键字未找到，1 行数据未使用。"_s);
    QVERIFY(!m_driver->button(u"adoptReliableButton"_s)->isEnabled());

    // Escape goes back to the button that opened the view.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!tree->isVisible());
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"reconcileButton"_s));
}

// A table a spreadsheet takes line for line: headings, each finding on one line, the row's
// cells as cells, causes in words, invisible and control characters and an in-cell break shown,
// a cell that starts with a quote quoted. Closing the view gives the clipboard back to the result.
void ReconcileViewTest::reportCopied()
{
    m_driver->box(u"Text1"_s)->setPlainText(u"张三\r\n李四\r\n王五\r\n赵六"_s);
    lanshan::setBoxLines(m_driver->box(u"Text2"_s),
                         u"学号\t分\u0000数\r\n张\u3000三\t90\r\n李四\t80\r\n王 五\t\"优\"\n良"_s);
    m_driver->press(u"Command1"_s);
    const QString result = u"\r\n李四\t80\r\n\r\n"_s;

    // Looked at only: the clipboard keeps whatever it holds.
    openView();
    windowtest::setClipboardText(windowtest::oldClipboard);
    m_driver->press(u"reconcileBackButton"_s);
    QCOMPARE(clipboardCrLf(), windowtest::oldClipboard);

    openView();
    m_driver->press(u"copyReportButton"_s);
    QCOMPARE(clipboardCrLf(), u"类别\t序号\t行号\t原因\t关键字\t数据\r\n"
                              u"未找到\t1\t2\t空格不同\t张三\t张〈全角空格〉三\t90\r\n"
                              u"未找到\t3\t4\t空格不同\t王五\t王〈空格〉五\t\"\"\"优\"\"↵良\"\r\n"
                              u"未找到\t4\t\t没有相近的数据\t赵六\r\n"
                              u"未使用\t\t1\t没有关键字对应\t\t学号\t分〈U+0000〉数\r\n"
                              u"未使用\t\t2\t与未找到的关键字相近\t\t张〈全角空格〉三\t90\r\n"
                              u"未使用\t\t4\t与未找到的关键字相近\t\t王〈空格〉五\t\"\"\"优\"\"↵良\"\r\n"_s);
    m_driver->press(u"reconcileBackButton"_s);
    QCOMPARE(clipboardCrLf(), result);
}

// A key line left empty in the manual matching takes one of its rows as a near row is taken.
void ReconcileViewTest::rowOfKeyLeftEmptyTaken()
{
    m_driver->filter(u"张三\r\n李四"_s, u"张三\t90\r\n张三\t95\r\n李四\t80"_s);
    m_driver->press(u"Command5"_s);
    QCOMPARE(summary(), u"核对：0 个关键字未找到，2 行数据未使用，1 行已留空。"_s);

    QTreeView *tree = openView();
    const QAbstractItemModel *model = tree->model();
    const QModelIndex key = model->index(0, 0, model->index(1, 0));
    QCOMPARE(key.siblingAtColumn(2).data().toString(), u"忽略留空，对应数据 2 行"_s);
    tree->setCurrentIndex(key);
    QVERIFY(!m_driver->button(u"adoptButton"_s)->isEnabled());
    const QModelIndex second = model->index(1, 0, key);
    QCOMPARE(second.siblingAtColumn(1).data().toString(), u"张三\t95"_s);
    tree->setCurrentIndex(second);
    QVERIFY(m_driver->button(u"adoptButton"_s)->isEnabled());
    QTest::keyClick(tree, Qt::Key_Return);

    QCOMPARE(lanshan::boxQString(m_driver->box(u"Text3"_s)), u"张三\t95\r\n李四\t80"_s);
    QCOMPARE(clipboardCrLf(), u"张三\t95\r\n李四\t80"_s);
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.张三\t95"_s, u"2.李四\t80"_s}));
    QCOMPARE(summary(), u"核对：0 个关键字未找到，1 行数据未使用。"_s);
}

void ReconcileViewTest::reportDroppedWithItsInputs_data()
{
    QTest::addColumn<QString>("button");
    // What is left below the buttons: how to take the command back.
    QTest::addColumn<QString>("line");
    QTest::newRow("清空所有数据") << u"Command8"_s << lanshan::messageText::allCleared;
    QTest::newRow("清除固定顺序数据") << u"Command9"_s << lanshan::messageText::keysCleared;
    QTest::newRow("清除待筛选数据") << u"Command10"_s << lanshan::messageText::dataCleared;
    QTest::newRow("演示数据") << u"Command7"_s << lanshan::messageText::demoReplaced;
}

void ReconcileViewTest::reportDroppedWithItsInputs()
{
    QFETCH(QString, button);
    QFETCH(QString, line);
    m_driver->filter(keys, rows);
    QTreeView *tree = openView();
    m_driver->press(button);
    QCOMPARE(summary(), line);
    QVERIFY(!m_driver->button(u"reconcileButton"_s)->isEnabled());
    QVERIFY(!m_driver->get<lanshan::ReconcileView>(u"reconcileView"_s)->isVisible());
    QCOMPARE(tree->model()->rowCount(), 0);
}

// Every key one character from a cell of one long row: the report is made, and what was
// pasted stays as it was.
void ReconcileViewTest::tenThousandKeysNearOneRow()
{
    QStringList keyLines;
    QStringList cells;
    for (int i = 0; i < 10000; ++i) {
        const QChar first(0x4E00 + i / 100);
        keyLines += QString(first) + QChar(0x5000 + i % 100);
        cells += QString(first) + QChar(0x6000 + i % 100);
    }
    const QString manyKeys = keyLines.join(u"\r\n"_s);
    const QString oneRow = cells.join(u'\t');
    m_driver->filter(manyKeys, oneRow);

    QCOMPARE(m_driver->messages.back().text, lanshan::messageText::noRowFound(false));
    QCOMPARE(summary(), u"核对：10000 个关键字未找到，1 行数据未使用。"_s);
    QCOMPARE(lanshan::boxQString(m_driver->box(u"Text1"_s)), manyKeys);
    QCOMPARE(lanshan::boxQString(m_driver->box(u"Text2"_s)), oneRow);
    openView();
    m_driver->press(u"copyReportButton"_s);
    QCOMPARE(clipboardCrLf().count(u"\r\n"_s), 1 + 10000 + 1);
}

void ReconcileViewTest::columnsShareTheWidth_data()
{
    QTest::addColumn<QSize>("growth");
    // How far the user drags the right edge of 内容 once the window has grown.
    QTest::addColumn<int>("drag");
    QTest::newRow("设计尺寸") << QSize() << -60;
    QTest::newRow("宽 400") << QSize(400, 0) << 80;
    QTest::newRow("宽 1200，高 300") << QSize(1200, 300) << -200;
}

// 序号 keeps its width, 内容 and 原因 fill the rest in the same proportion however wide the window
// is, and a width the user drags 内容 to holds as the window changes again.
void ReconcileViewTest::columnsShareTheWidth()
{
    QFETCH(QSize, growth);
    QFETCH(int, drag);
    QWidget &window = m_driver->window;
    const QSize designed = window.size();
    m_driver->filter(u"张三\r\n李四"_s, scoreRows);
    QTreeView *tree = openView();
    QHeaderView *header = tree->header();
    const int number = header->sectionSize(0);
    const auto share = [&] { return double(header->sectionSize(1)) / (header->width() - header->sectionSize(0)); };
    const auto filled = [&] { return header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2); };
    const double designedShare = share();
    const int designedContents = header->sectionSize(1);
    QCOMPARE(filled(), header->width());

    window.resize(designed + growth);
    QTRY_COMPARE(filled(), header->width());
    QCOMPARE(header->sectionSize(0), number);
    QVERIFY(qAbs(share() - designedShare) < 0.01);
    QCOMPARE(header->sectionSize(1) > designedContents, growth.width() > 0);

    // The user drags the edge between 内容 and 原因.
    const int y = header->height() / 2;
    const QPoint edge(header->sectionViewportPosition(2) - 1, y);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, header->viewport()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &event);
    };
    const int before = header->sectionSize(1);
    send(QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, edge + QPoint(drag, 0), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, edge + QPoint(drag, 0), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(header->sectionSize(1), before + drag);
    QCOMPARE(filled(), header->width());
    const double dragged = share();

    window.resize(designed + QSize(300, 0) - growth / 2);
    QTRY_COMPARE(filled(), header->width());
    QVERIFY(qAbs(share() - dragged) < 0.01);
    QCOMPARE(header->sectionSize(0), number);
}

QTEST_MAIN(ReconcileViewTest)
#include "reconcile_view_test.moc"
