// The reconciliation after a run: the counts below the buttons, the view they open, the rows
// the user takes into the result, which the result box, the lists and the clipboard then hold
// as if the filter had matched them, the report copied as a table for a spreadsheet, the
// view's columns sharing the width as the window grows, and the report's rows drawn in columns
// that line up, whatever their characters.

#include "boxtext.h"
#include "cellgriddelegate.h"
#include "clipboardtext.h"
#include "messagetexts.h"
#include "reconcileview.h"
#include "windowtest.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeView>

#include <map>

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

// The items of 内容 in every group of the report, in the order shown.
QModelIndexList contentsOf(const QAbstractItemModel *model)
{
    QModelIndexList found;
    for (int group = 0; group < model->rowCount(); ++group) {
        const QModelIndex top = model->index(group, 0);
        for (int entry = 0; entry < model->rowCount(top); ++entry) {
            const QModelIndex key = model->index(entry, 0, top);
            found += key.siblingAtColumn(1);
            for (int row = 0; row < model->rowCount(key); ++row)
                found += model->index(row, 1, key);
        }
    }
    return found;
}

// Pixels of the picture within the rectangle that differ from its commonest colour: the ink of
// what is drawn there.
int inkIn(const QImage &picture, const QRect &rect)
{
    QHash<QRgb, int> counts;
    const QRect area = rect & picture.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[picture.pixel(x, y)];
    int background = 0;
    for (const int count : counts)
        background = std::max(background, count);
    return area.width() * area.height() - background;
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
    void rowsLineUp_data();
    void rowsLineUp();
    void cutItemShowsItsWholeText();
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
    QCOMPARE(summary(), u"核对：1 个关键字未找到，2 行数据未使用，1 行采用了相近数据。"_s);

    // The rest in one step, with the count said.
    m_driver->press(u"adoptReliableButton"_s);
    QCOMPARE(m_driver->messages.size(), 2u);
    QCOMPARE(m_driver->messages.back().text, u"已采用 1 行可靠的相近数据。"_s);
    QCOMPARE(m_driver->text(u"Text3"_s), u"张\u3000三\t90\n李四\t80\n王 五\t70"_s);
    QCOMPARE(summary(), u"核对：0 个关键字未找到，1 行数据未使用，2 行采用了相近数据。"_s);
    QVERIFY(!m_driver->button(u"adoptReliableButton"_s)->isEnabled());

    // Every taking is listed with why its row is near, and can be given back.
    const QAbstractItemModel *model = tree->model();
    const QModelIndex takenGroup = model->index(4, 0);
    QCOMPARE(takenGroup.data().toString(), u"已采用（2 行）"_s);
    const QModelIndex wangWu = model->index(1, 0, takenGroup);
    QCOMPARE(wangWu.data().toString(), u"3."_s);
    QCOMPARE(model->index(0, 2, wangWu).data().toString(), u"空格不同"_s);
    tree->setCurrentIndex(wangWu);
    QVERIFY(m_driver->button(u"leaveSuspectEmptyButton"_s)->isEnabled());
    m_driver->press(u"leaveSuspectEmptyButton"_s);
    QCOMPARE(m_driver->text(u"Text3"_s), u"张\u3000三\t90\n李四\t80\n"_s);
    QCOMPARE(clipboardCrLf(), u"张\u3000三\t90\r\n李四\t80\r\n"_s);
    QCOMPARE(summary(), u"核对：1 个关键字未找到，2 行数据未使用，1 行采用了相近数据。"_s);
    // Back among the keys without a row, current there, ready to be taken again.
    QCOMPARE(tree->currentIndex().parent(), model->index(0, 0));
    QCOMPARE(tree->currentIndex().siblingAtColumn(1).data().toString(), u"王五"_s);
    QVERIFY(m_driver->button(u"adoptReliableButton"_s)->isEnabled());

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
    QCOMPARE(summary(), u"核对：0 个关键字未找到，1 行数据未使用，1 行采用了相近数据。"_s);
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

void ReconcileViewTest::rowsLineUp_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rows");
    // How much larger than designed the window is.
    QTest::addColumn<QSize>("growth");
    // Every item draws at least so many of its cells, or all it has.
    QTest::addColumn<int>("shown");
    // Whether some item is cut for width (else none is).
    QTest::addColumn<bool>("cut");

    const QString names = u"李娜\r\n王小明\r\n欧阳娜娜"_s;
    const QSize wide(1200, 300);
    QTest::newRow("全角空格，设计尺寸") << names << scoreRows << QSize() << 2 << true;
    QTest::newRow("全角空格，放大") << names << scoreRows << wide << 8 << false;
    QTest::newRow("中间一格五百字") << u"张三\r\n赵六"_s
                                    << u"张 三\t"_s + QString(500, u'x') + u"\t90\t88\r\n张\u3000三\t短\t91\t89"_s
                                    << wide << 4 << true;
    QStringList many;
    for (int cell = 1; cell < 10000; ++cell)
        many += QString::number(cell);
    QTest::newRow("一行一万格") << u"王五\r\n赵六"_s << u"王 五\t"_s + many.join(u'\t') + u"\r\n王\u3000五\t1\t2"_s
                                << wide << 3 << true;
    QTest::newRow("一格十万字") << u"李四\r\n赵六"_s << u"李 四\t"_s + QString(100000, u'字') + u"\r\n李\u3000四\t1"_s
                                << wide << 2 << true;
    QTest::newRow("名单两列") << u"学号\t姓名\r\n1\t张三\r\n3\t王五"_s
                              << u"学号\t姓名\t语文\r\n1\t张三\t90\r\n4\t王五\t77"_s << QSize() << 2 << false;
}

// Cell k of every row of the report, a key's own line, its near rows and the unused rows alike,
// starts where it starts in the others; a cell holds to its room and ends before the next
// starts, each drawn cell is the cell's text or its beginning and "…", and the last one drawn is
// inside the column and inked there. Where any of a row is cut the tooltip is the whole item;
// what the item holds for a copy or a screen reader keeps its TABs.
void ReconcileViewTest::rowsLineUp()
{
    QFETCH(QString, keys);
    QFETCH(QString, rows);
    QFETCH(QSize, growth);
    QFETCH(int, shown);
    QFETCH(bool, cut);
    m_driver->window.resize(m_driver->window.size() + growth);
    m_driver->filter(keys, rows);
    QTreeView *tree = openView();
    auto *delegate = qobject_cast<lanshan::CellGridDelegate *>(tree->itemDelegate());
    QVERIFY(delegate);
    const QFontMetricsF metrics(tree->font());

    std::map<std::size_t, qreal> starts;
    bool anyCut = false;
    const QModelIndexList items = contentsOf(tree->model());
    QVERIFY(items.size() >= 2);
    for (const QModelIndex &item : items) {
        tree->scrollTo(item);
        const QString text = item.data().toString();
        QCOMPARE(item.data(Qt::AccessibleTextRole).toString(), text);
        const QVariant given = item.data(lanshan::cellTextRole);
        const QStringList cells = (given.isValid() ? given.toString() : text).split(u'\t');
        const std::vector<lanshan::CellGridDelegate::DrawnCell> drawn = delegate->drawnCells(item);
        QVERIFY2(!drawn.empty(), qPrintable(text.left(40)));
        QVERIFY2(drawn.size() >= std::min<std::size_t>(shown, cells.size()), qPrintable(text.left(40)));
        bool itemCut = false;
        for (std::size_t k = 0; k < drawn.size(); ++k) {
            const auto &cell = drawn[k];
            const QString whole = cells[static_cast<qsizetype>(k)];
            const auto [known, first] = starts.try_emplace(k, cell.rect.left());
            QVERIFY2(first || qAbs(known->second - cell.rect.left()) < 0.01,
                     qPrintable(u"%1: cell %2"_s.arg(text.left(40)).arg(k + 1)));
            if (cell.elided) {
                QVERIFY(cell.text.endsWith(u'…'));
                QVERIFY(whole.startsWith(cell.text.chopped(1)));
            } else {
                QCOMPARE(cell.text, whole);
            }
            // Measured as drawn: full-width characters take their own width.
            QVERIFY2(metrics.horizontalAdvance(cell.text) <= cell.rect.width() + 0.5,
                     qPrintable(u"%1: cell %2 “%3” is %4 wide in %5"_s.arg(text.left(40))
                                    .arg(k + 1)
                                    .arg(cell.text)
                                    .arg(metrics.horizontalAdvance(cell.text))
                                    .arg(cell.rect.width())));
            if (k + 1 < drawn.size())
                QVERIFY(drawn[k + 1].rect.left() >= cell.rect.right());
            itemCut = itemCut || cell.elided;
        }
        itemCut = itemCut || drawn.size() < static_cast<std::size_t>(cells.size());
        anyCut = anyCut || itemCut;

        const auto &last = drawn.back();
        const QRect column = tree->visualRect(item);
        QVERIFY(last.rect.right() <= column.right() + 1);
        if (!last.text.isEmpty()) {
            const QImage picture = tree->viewport()->grab().toImage();
            QVERIFY2(inkIn(picture, last.rect.toAlignedRect() & column) > 0, qPrintable(last.text));
        }
        QCOMPARE(delegate->toolTipAt(item), itemCut ? text : QString());
    }
    QCOMPARE(anyCut, cut);
}

// Hovering an item that is cut for width shows it whole; one that is all in sight shows nothing;
// a copy of a cut item is still all of it.
void ReconcileViewTest::cutItemShowsItsWholeText()
{
    QStringList many;
    for (int cell = 1; cell < 10000; ++cell)
        many += QString::number(cell);
    m_driver->filter(u"学号\t姓名\t班级\r\n20230001\t王五\t高三（2）班\r\n李娜\r\n赵六"_s,
                     u"4\t王五\t77\r\n"_s + scoreRows + u"\r\n赵 六\t"_s + many.join(u'\t'));
    QTreeView *tree = openView();
    const QAbstractItemModel *model = tree->model();
    const auto keyOf = [&](const QString &text) {
        const QModelIndexList found =
            model->match(model->index(0, 1, model->index(0, 0)), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        return found.isEmpty() ? QModelIndex() : found.first().siblingAtColumn(0);
    };
    const QModelIndex key = keyOf(u"20230001⇥王五⇥高三（2）班"_s);
    const QModelIndex partOfKey = model->index(0, 2, key);
    QVERIFY(partOfKey.data().toString().startsWith(u"只有部分列相同"_s));
    const QModelIndex longRow = model->index(0, 1, keyOf(u"李娜"_s));
    QVERIFY(longRow.data().toString().startsWith(u"3\t李娜"_s));
    const QModelIndex tenThousandCells = model->index(0, 1, keyOf(u"赵六"_s));
    QVERIFY(tenThousandCells.data().toString().startsWith(u"赵〈空格〉六\t1\t2\t"_s));

    for (const auto &[item, tipped] :
         {std::pair{partOfKey, true}, {longRow, true}, {tenThousandCells, true}, {key.siblingAtColumn(0), false}}) {
        tree->scrollTo(item);
        const QPoint at = tree->visualRect(item).center();
        QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &help);
        if (tipped) {
            QTRY_VERIFY(QToolTip::isVisible());
            QTextDocument shown;
            shown.setHtml(QToolTip::text());
            // Shown texts hold no line break (they show ↵): the breaks are the tooltip's paragraphs.
            QCOMPARE(shown.toPlainText().remove(u'\n'), item.data().toString());
        } else {
            QTRY_VERIFY(!QToolTip::isVisible());
        }
    }
    // A copy of the cut row is the row, TABs and all.
    tree->setCurrentIndex(longRow);
    QTest::keySequence(tree, QKeySequence::Copy);
    QCOMPARE(lanshan::ClipboardText::read(), longRow.data().toString());
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
