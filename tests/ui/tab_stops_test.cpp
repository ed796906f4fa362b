// TABs in the lists and the boxes: a row's cells in columns that line up whatever the entry
// number or an empty first cell, a gap after every cell, and stops that grow with the font.

#include "tabstopdelegate.h"
#include "windowtest.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

// The font at the given share of its size.
QFont scaled(QFont font, double share)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * share);
    else
        font.setPixelSize(qRound(font.pixelSize() * share));
    return font;
}

// The columns an item shows: its entry number (with the space that may set it apart), then its
// cells.
QStringList columnsOf(const QString &item)
{
    static const QRegularExpression number(u"^\\d+\\. ?"_s);
    const QRegularExpressionMatch match = number.match(item);
    QStringList columns{match.captured()};
    columns += item.mid(match.capturedLength()).split(u'\t');
    return columns;
}

// Where the columns of each item in sight start, as the list draws them.
QList<QList<qreal>> columnStarts(lanshan::ListBox *list)
{
    // Drawn, the items in sight are measured.
    list->viewport()->grab();
    const auto *delegate = qobject_cast<const lanshan::TabStopDelegate *>(list->itemDelegate());
    QList<QList<qreal>> starts;
    if (!delegate)
        return starts;
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.widget = list;
    option.font = list->font();
    for (int row = 0; row < list->model()->rowCount(); ++row)
        starts.append(delegate->cellStarts(option, list->model()->index(row, 0)));
    return starts;
}

// Where the text after the first TAB of the box's first line starts.
qreal afterFirstTab(QPlainTextEdit *box)
{
    box->viewport()->grab();
    const QTextBlock block = box->document()->firstBlock();
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return -1;
    const QTextLine line = layout->lineAt(0);
    return line.cursorToX(static_cast<int>(block.text().indexOf(u'\t') + 1)) - line.cursorToX(0);
}

} // namespace

class TabStopsTest : public windowtest::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void listColumnsLineUp_data();
    void listColumnsLineUp();
    void listStopsFollowTheFont();
    void boxStopsFollowTheFont_data();
    void boxStopsFollowTheFont();
};

void TabStopsTest::listColumnsLineUp_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rows");

    QTest::newRow("a name of three characters")
        << u"侯怡敏\n宋刚"_s << u"侯怡敏\t2024000000\t90\n宋刚\t2024000005\t85"_s;
    QStringList keys;
    QStringList rows;
    for (int i = 1; i <= 12; ++i) {
        keys.append(u"k%1"_s.arg(i));
        rows.prepend(u"k%1\t%2\tx"_s.arg(i).arg(i * 7));
    }
    QTest::newRow("entry numbers past 9") << keys.join(u'\n') << rows.join(u'\n');
    QTest::newRow("a row whose first cell is empty") << u"a\nbb\nc"_s << u"a\t1\t2\n\tbb\t3\nc\t4\t5"_s;
    QTest::newRow("a key without a row") << u"a\nzz\nc"_s << u"a\t1\t2\nc\t4\t5"_s;
    QTest::newRow("every first cell empty") << u"a\nbb"_s << u"\ta\t1\n\tbb\t3"_s;
    QTest::newRow("a long first cell") << u"a\nb"_s << u"a\t1\nb长长长长长长长长长长长长\t2"_s;
}

// In the result list every column starts at one place in every item, and past the widest of
// the cells before it.
void TabStopsTest::listColumnsLineUp()
{
    QFETCH(QString, keys);
    QFETCH(QString, rows);
    m_driver->filter(keys, rows);
    m_driver->press(u"Command11"_s);
    lanshan::ListBox *list = m_driver->list(u"List2"_s);
    const QList<QList<qreal>> starts = columnStarts(list);
    const QStringList items = m_driver->itemsOf(u"List2"_s);
    QCOMPARE(starts.size(), items.size());

    const QFontMetricsF metrics(list->font(), list);
    const qreal gap = metrics.horizontalAdvance(u' ') / 2;
    QList<qreal> widest;
    QList<qreal> placed;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QStringList columns = columnsOf(items[i]);
        QCOMPARE(starts[i].size(), columns.size());
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (placed.size() <= c) {
                placed.append(starts[i][c]);
                widest.append(0);
            }
            QVERIFY2(qAbs(starts[i][c] - placed[c]) < 0.5,
                     qPrintable(
                         u"item %1, column %2 at %3, not %4"_s.arg(i + 1).arg(c + 1).arg(starts[i][c]).arg(placed[c])));
            widest[c] = std::max(widest[c], metrics.horizontalAdvance(columns[c]));
        }
    }
    // A column whose cells are all empty takes no room (the candidate rows after "N." and a TAB).
    for (qsizetype c = 0; c + 1 < placed.size(); ++c)
        QVERIFY2(widest[c] == 0 ? qAbs(placed[c + 1] - placed[c]) < 0.5 : placed[c + 1] >= placed[c] + widest[c] + gap,
                 qPrintable(u"column %1 at %2 after cells %3 wide from %4"_s.arg(c + 2)
                                .arg(placed[c + 1])
                                .arg(widest[c])
                                .arg(placed[c])));
}

// A larger font moves the columns in proportion.
void TabStopsTest::listStopsFollowTheFont()
{
    m_driver->filter(u"侯怡敏\n宋刚"_s, u"侯怡敏\t2024000000\t90\n宋刚\t2024000005\t85"_s);
    m_driver->press(u"Command11"_s);
    lanshan::ListBox *list = m_driver->list(u"List2"_s);
    const QList<qreal> before = columnStarts(list).value(0);
    QCOMPARE(before.size(), 4);

    list->setFont(scaled(list->font(), 1.5));
    const QList<qreal> after = columnStarts(list).value(0);
    QCOMPARE(after.size(), 4);
    for (qsizetype c = 1; c < before.size(); ++c) {
        const qreal growth = after[c] / before[c];
        QVERIFY2(growth > 1.35 && growth < 1.65, qPrintable(u"column %1 grew %2 times"_s.arg(c + 1).arg(growth)));
    }
}

void TabStopsTest::boxStopsFollowTheFont_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("fixed-order data") << u"Text1"_s;
    QTest::newRow("data") << u"Text2"_s;
    QTest::newRow("result") << u"Text3"_s;
}

// A box given a larger font moves its TAB stops as far as its text grows.
void TabStopsTest::boxStopsFollowTheFont()
{
    QFETCH(QString, box);
    QPlainTextEdit *edit = m_driver->box(box);
    edit->setPlainText(u"甲\t90"_s);
    edit->parentWidget()->show();
    const qreal before = afterFirstTab(edit);
    QVERIFY(before > 0);

    edit->setFont(scaled(edit->font(), 1.5));
    const qreal after = afterFirstTab(edit);
    const qreal growth = after / before;
    QVERIFY2(growth > 1.35 && growth < 1.65, qPrintable(u"the stop grew %1 times"_s.arg(growth)));
}

QTEST_MAIN(TabStopsTest)
#include "tab_stops_test.moc"
