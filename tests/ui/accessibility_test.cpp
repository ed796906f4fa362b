// The window as a screen reader reads it, in Qt's own Chinese texts, at a large font and under
// a dark palette, long result lines within reach, and selected lines readable and the current
// one framed on every style.

#include "contrast.h"
#include "highlightframe.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTreeView>

using namespace Qt::StringLiterals;

class AccessibilityTest : public windowtest::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void namesRolesAndOnlyWhatIsSeen();
    void qtTextsAreChinese();
    void largeFontCutsNoCaption();
    void darkPaletteLeavesTextsReadable();
    void longResultLineCanBeReached();
    void selectionReadsOnEveryStyle_data();
    void selectionReadsOnEveryStyle();
    void currentRowFramedOnEveryStyle_data();
    void currentRowFramedOnEveryStyle();
};

static QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

static QStringList childNames(QObject *object)
{
    QStringList names;
    for (int i = 0; i < accessible(object)->childCount(); ++i)
        names.append(accessible(object)->child(i)->object()->objectName());
    return names;
}

void AccessibilityTest::namesRolesAndOnlyWhatIsSeen()
{
    QCOMPARE(accessible(&m_driver->window)->role(), QAccessible::Window);
    const std::tuple<QString, QAccessible::Role, QString> expected[] = {
        {u"Text1"_s, QAccessible::EditableText, u"固定顺序数据"_s},
        {u"Frame5"_s, QAccessible::Grouping, u"提示"_s}, // not its panel's caption
        {u"List4"_s, QAccessible::List, u"待筛选数据中的对应数据"_s},
        {u"List1"_s, QAccessible::List, u"固定顺序数据"_s},
        {u"List2"_s, QAccessible::List, u"筛选后结果"_s},
    };
    for (const auto &[name, role, text] : expected) {
        QCOMPARE(accessible(m_driver->get<QWidget>(name))->role(), role);
        QCOMPARE(accessible(m_driver->get<QWidget>(name))->text(QAccessible::Name), text);
    }
    QStringList shown = childNames(&m_driver->window);
    QVERIFY(shown.contains(u"Command1"_s));
    for (const QString &hidden : {u"Text4"_s, u"Text5"_s, u"Frame3"_s, u"Frame4"_s})
        QVERIFY2(!shown.contains(hidden), qPrintable(hidden));

    // An open panel: the tree holds it, not what it covers, and the awaited mark is a word.
    m_driver->filter(u"甲\r\n乙\r\n"_s, u"甲\t1\r\n甲\t2\r\n乙\t3\r\n"_s);
    shown = childNames(&m_driver->window);
    QVERIFY(shown.contains(u"Frame4"_s) && !shown.contains(u"Frame1"_s) && !shown.contains(u"Command1"_s));
    QVERIFY(!childNames(m_driver->frame(u"Frame4"_s)).contains(u"List5"_s));
    const QPoint command1 = m_driver->button(u"Command1"_s)->mapToGlobal(QPoint(5, 5));
    QCOMPARE(accessible(&m_driver->window)->childAt(command1.x(), command1.y())->object(),
             m_driver->frame(u"Frame4"_s));
    QCOMPARE(accessible(m_driver->list(u"List3"_s))->child(0)->text(QAccessible::Name), u"待选择 1.甲"_s);
}

void AccessibilityTest::qtTextsAreChinese()
{
    QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), u"确定"_s);
}

void AccessibilityTest::largeFontCutsNoCaption()
{
    const QFont designed = QApplication::font();
    QApplication::setFont(QFont(designed.family(), 14));
    windowtest::WindowDriver large;
    // A hundred questions, and the column that would spare them, said beside the panel's caption.
    QStringList keys;
    QStringList rows;
    for (int seat = 1; seat <= 200; ++seat) {
        keys += QString::number(seat);
        rows += u"%1\t%2\t良"_s.arg(seat).arg(seat <= 100 ? seat + 100 : 0);
    }
    large.filter(keys.join(u'\n'), rows.join(u'\n'));
    QVERIFY(large.get<QLabel>(u"questionPosition"_s)->text().startsWith(u"第 1 个，共 100 个。"_s));
    large.press(u"Command7"_s);
    large.press(u"Command3"_s);
    QApplication::setFont(designed);
    // Every caption within its control, and every wrapped text within its label.
    for (const QWidget *w : large.window.findChildren<QWidget *>()) {
        const QFontMetrics metrics = w->fontMetrics();
        int needed = 0;
        int room = 0;
        if (const auto *button = qobject_cast<const QPushButton *>(w)) {
            QVERIFY2(metrics.height() < button->height(), qPrintable(w->objectName()));
            needed = metrics.horizontalAdvance(button->text()) + 4;
            room = button->width();
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(w)) {
            needed = metrics.horizontalAdvance(frame->title());
            room = frame->width();
            // Nothing inside covers the caption: it lies below it or beside it.
            const int captionEnd = metrics.horizontalAdvance(frame->title()) + metrics.height();
            for (const QWidget *inside : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                QVERIFY2(inside->y() >= metrics.height() * 3 / 4 || inside->x() >= captionEnd,
                         qPrintable(inside->objectName()));
        } else if (const auto *label = qobject_cast<const QLabel *>(w); label && label->wordWrap()) {
            needed = label->heightForWidth(label->width());
            room = label->height();
        } else if (label) {
            needed = metrics.horizontalAdvance(label->text());
            room = label->width();
        }
        QVERIFY2(needed <= room, qPrintable(u"%1: %2 > %3"_s.arg(w->objectName()).arg(needed).arg(room)));
    }
}

void AccessibilityTest::darkPaletteLeavesTextsReadable()
{
    const QPalette designed = QApplication::palette();
    QPalette dark = designed;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Highlight, QColor(0x1c, 0x3e, 0x70));
    QApplication::setPalette(dark);
    windowtest::WindowDriver darkWindow;
    darkWindow.press(u"Command3"_s);
    const auto readable = [&](const QColor &colour) {
        return lanshan::contrastRatio(colour, dark.window().color()) >= 4.5;
    };
    for (const QString &name : {u"lblTitle"_s, u"lblDescription"_s, u"Label3"_s})
        QVERIFY2(readable(darkWindow.get<QLabel>(name)->palette().color(QPalette::WindowText)), qPrintable(name));
    QVERIFY(readable(darkWindow.get<lanshan::HighlightFrame>(u"Frame4"_s)->captionColour()));
    // The count of lines that may hold a wrong row stands out, and reads.
    darkWindow.filter(u"1\n2\n3"_s, u"1\t甲\t90\t优\n2\t乙\t3\t差"_s);
    const auto *summary = darkWindow.get<QLabel>(u"reconcileSummary"_s);
    QVERIFY(summary->text().contains(u"行可能取错"_s));
    QVERIFY(readable(summary->palette().color(QPalette::WindowText)));
    QApplication::setPalette(designed);
}

// TABs as in the data box (the number before the row moves it on by one stop at most), and the
// end of the line within the list's scroll range.
void AccessibilityTest::longResultLineCanBeReached()
{
    m_driver->filter(u"甲\r\n乙\r\n"_s, u"甲\t"_s + QString(u"长行\t"_s).repeated(60) + u"末\r\n"_s);
    m_driver->press(u"Command11"_s);
    lanshan::ListBox *list2 = m_driver->list(u"List2"_s);
    const qreal inBox = m_driver->box(u"Text2"_s)->document()->firstBlock().layout()->lineAt(0).naturalTextWidth();
    const qreal tabStop = m_driver->box(u"Text2"_s)->tabStopDistance();
    QTRY_VERIFY(list2->visualRect(list2->model()->index(0, 0)).width() >= inBox);
    QVERIFY(list2->visualRect(list2->model()->index(0, 0)).width() <= inBox + tabStop + 10);
    QVERIFY(list2->horizontalScrollBar()->maximum() + list2->viewport()->width() >= inBox);
}

void AccessibilityTest::selectionReadsOnEveryStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("dark");
    for (const QString &style : QStyleFactory::keys()) {
        QTest::newRow(qPrintable(style + u" light"_s)) << style << false;
        QTest::newRow(qPrintable(style + u" dark"_s)) << style << true;
    }
}

// The contrast of an item's text with its background as drawn: the background is the colour
// most of the item has, the text the pixel farthest from it.
static double drawnContrast(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    const QImage image = view->viewport()->grab(view->visualRect(index)).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(background))
            background = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, lanshan::contrastRatio(QColor(it.key()), QColor(background)));
    return best;
}

// Selected lines in the lists and the report read at 4.5 to 1 under every style this Qt has,
// light and dark, whoever draws them (the style, or the lists' own text drawing on a selection
// the style painted).
void AccessibilityTest::selectionReadsOnEveryStyle()
{
    QFETCH(QString, style);
    QFETCH(bool, dark);
    const QString previousStyle = QApplication::style()->name();
    const QPalette previousPalette = QApplication::palette();
    QApplication::setStyle(style);
    QPalette palette = QApplication::style()->standardPalette();
    if (dark) {
        for (const auto &[role, colour] : {std::pair{QPalette::Window, 0x303030},
                                           {QPalette::WindowText, 0xe0e0e0},
                                           {QPalette::Base, 0x202020},
                                           {QPalette::Text, 0xe0e0e0},
                                           {QPalette::Button, 0x383838},
                                           {QPalette::ButtonText, 0xe0e0e0},
                                           {QPalette::Highlight, 0x4a90d9},
                                           {QPalette::HighlightedText, 0xffffff}})
            palette.setColor(role, QColor(QRgb(colour)));
    }
    QApplication::setPalette(palette);
    {
        windowtest::WindowDriver driver; // sets the application up as at start-up
        driver.window.show();
        driver.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&driver.window));
        driver.filter(u"张三\n李四"_s, u"张三\t90\n李 四\t80"_s);
        driver.press(u"Command11"_s);
        for (const QString &name : {u"List1"_s, u"List2"_s}) {
            lanshan::ListBox *list = driver.list(name);
            list->setFocus();
            windowtest::clickItem(list, 0);
            QVERIFY2(drawnContrast(list, list->model()->index(0, 0)) >= 4.5, qPrintable(name));
        }
        driver.press(u"Command4"_s);
        driver.press(u"reconcileButton"_s);
        auto *tree = driver.get<QTreeView>(u"reconcileTree"_s);
        tree->setFocus();
        const QModelIndex group = tree->model()->index(0, 0);
        const QModelIndex key = tree->model()->index(0, 0, group);
        const QModelIndex near = tree->model()->index(0, 0, key);
        QVERIFY(near.isValid());
        tree->expandAll();
        for (const QModelIndex &row : {group, near}) {
            tree->setCurrentIndex(row);
            for (int column : {0, 1})
                QVERIFY2(drawnContrast(tree, row.siblingAtColumn(column)) >= 4.5, qPrintable(QString::number(column)));
        }
    }
    QApplication::setStyle(previousStyle);
    QApplication::setPalette(previousPalette);
}

void AccessibilityTest::currentRowFramedOnEveryStyle_data()
{
    QTest::addColumn<QString>("style");
    for (const QString &style : QStyleFactory::keys())
        QTest::newRow(qPrintable(style)) << style;
}

// A question opens with no row selected: the current first row shows by its frame alone, on
// every style this Qt has, before any key was pressed.
void AccessibilityTest::currentRowFramedOnEveryStyle()
{
    QFETCH(QString, style);
    const QString previousStyle = QApplication::style()->name();
    QApplication::setStyle(style);
    {
        windowtest::WindowDriver driver;
        driver.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&driver.window));
        driver.filter(u"甲\n乙"_s, u"甲\t1\n甲\t2"_s);
        lanshan::ListBox *list = driver.list(u"List4"_s);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(windowtest::selectedRow(list), -1);
        const QImage shot = list->viewport()->grab().toImage();
        // The list's own background, right of the items.
        const QRgb background = shot.pixel(shot.width() - 2, shot.height() - 2);
        // The item's top and bottom edges, away from its text: marked where a frame is drawn.
        const auto marked = [&](int row) {
            const QRect item = list->visualRect(list->model()->index(row, 0));
            int count = 0;
            for (int x = item.left() + item.width() / 3; x < item.left() + item.width() * 2 / 3; ++x) {
                count += shot.pixel(x, item.top()) != background || shot.pixel(x, item.top() + 1) != background;
                count += shot.pixel(x, item.bottom()) != background || shot.pixel(x, item.bottom() - 1) != background;
            }
            return count >= item.width() / 3;
        };
        QVERIFY(marked(0));
        QVERIFY(!marked(1));
    }
    QApplication::setStyle(previousStyle);
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
