// TABs in the boxes: stops that grow with the font.

#include "windowtest.h"

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
    void boxStopsFollowTheFont_data();
    void boxStopsFollowTheFont();
};

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
