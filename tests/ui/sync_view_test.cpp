// The synchronized view "同步查看": where it opens, the two lists that scroll and select
// together, copying a single line by double-click, and "返回" (or Escape) that leaves the
// view with the whole result on the clipboard.

#include "syncview.h"
#include "windowtest.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include <memory>

using namespace Qt::StringLiterals;
using windowtest::clipboardText;
using windowtest::oldClipboard;
using windowtest::selectedRow;
using windowtest::topRow;
using windowtest::WindowDriver;

class SyncViewTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    SyncViewTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void opensOverTheWorkingArea();
    void selectionFollowsBothWays();
    void scrollingFollowsBothWays();
    void listAtItsEndIsNotPulledBack();
    void doubleClickCopiesTheLineItself();
    void keyCellsSideBySide_data();
    void keyCellsSideBySide();
    void entryNumbersStandApartFromNumbers();
    void copyIsConfirmedWithoutCoveringAnything();
    void returnPutsTheWholeResultBack();
    void reopeningKeepsSelectionAndScroll();
    void stoppedRunOpensOnEmptyLists();

private:
    // A run of many keys, each with a long row, and the view opened on it.
    void openLongRun();
    void open();
    lanshan::ListBox *list1() const { return m_driver->list(u"List1"_s); }
    lanshan::ListBox *list2() const { return m_driver->list(u"List2"_s); }
    // Both lists show the same top row, which is given.
    void verifyTops(int row);
    // Neither list scrolls by itself after the test has put them somewhere.
    void verifyNeitherListMovesLater();
};

void SyncViewTest::open()
{
    QVERIFY(m_driver->button(u"Command11"_s)->isEnabled());
    m_driver->press(u"Command11"_s);
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isVisible());
    QApplication::processEvents();
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isVisible());
}

void SyncViewTest::openLongRun()
{
    QString keys;
    QString rows;
    for (int i = 0; i < 200; ++i) {
        keys += u"k%1\n"_s.arg(i);
        rows += u"k%1\t"_s.arg(i) + u"x"_s.repeated(150) + u"\n"_s;
    }
    m_driver->filter(keys.chopped(1), rows.chopped(1));
    open();
    QCOMPARE(m_driver->itemsOf(u"List1"_s).size(), 200);
    QTRY_VERIFY(list1()->verticalScrollBar()->maximum() > 0);
    QTRY_VERIFY(list2()->verticalScrollBar()->maximum() > 0);
    verifyTops(0);
}

void SyncViewTest::verifyTops(int row)
{
    QApplication::processEvents();
    QCOMPARE(topRow(list1()), row);
    QCOMPARE(topRow(list2()), row);
}

void SyncViewTest::verifyNeitherListMovesLater()
{
    // The lists follow each other at once, so any move from now on is one that pulls a list
    // away from where it was put: a delayed layout, a bar whose range is set again. Nothing
    // signals that none came, so the event loop runs for a bounded time, long enough for the
    // lists' pending layouts, and every move of either bar meanwhile is caught.
    constexpr int settleMilliseconds = 50;
    QSignalSpy moved1(list1()->verticalScrollBar(), &QScrollBar::valueChanged);
    QSignalSpy moved2(list2()->verticalScrollBar(), &QScrollBar::valueChanged);
    QTest::qWait(settleMilliseconds);
    QCOMPARE(moved1.size(), 0);
    QCOMPARE(moved2.size(), 0);
}

void SyncViewTest::opensOverTheWorkingArea()
{
    m_driver->press(u"Command7"_s);
    m_driver->press(u"Command1"_s);
    open();

    QGroupBox *view = m_driver->frame(u"tongbuxianshi"_s);
    // 120 twips from the left and the top of the window.
    QCOMPARE(view->pos(), QPoint(8, 8));
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command4"_s));
    for (const QString &covered : {u"Text1"_s, u"Text3"_s, u"Command1"_s, u"Command7"_s}) {
        const QWidget *control = m_driver->get<QWidget>(covered);
        const QPoint centre = control->mapTo(&m_driver->window, control->rect().center());
        QWidget *top = m_driver->window.childAt(centre);
        QVERIFY2(top && view->isAncestorOf(top), qPrintable(covered));
    }
    QCOMPARE(m_driver->itemsOf(u"List1"_s).size(), 17);
    QCOMPARE(m_driver->itemsOf(u"List2"_s)[12], u"13."_s);
    QCOMPARE(m_driver->messages.size(), std::size_t(2));
}

void SyncViewTest::selectionFollowsBothWays()
{
    openLongRun();
    windowtest::clickItem(list1(), 5);
    QCOMPARE(selectedRow(list1()), 5);
    QCOMPARE(selectedRow(list2()), 5);

    windowtest::clickItem(list2(), 2);
    QCOMPARE(selectedRow(list2()), 2);
    QCOMPARE(selectedRow(list1()), 2);

    // The arrow keys go on from the mirrored entry, in either list.
    list1()->setFocus();
    QTest::keyClick(list1(), Qt::Key_Down);
    QCOMPARE(selectedRow(list1()), 3);
    QCOMPARE(selectedRow(list2()), 3);
    list2()->setFocus();
    QTest::keyClick(list2(), Qt::Key_Up);
    QTest::keyClick(list2(), Qt::Key_Up);
    QCOMPARE(selectedRow(list2()), 1);
    QCOMPARE(selectedRow(list1()), 1);
    QTest::keyClick(list2(), Qt::Key_End);
    QCOMPARE(selectedRow(list1()), 199);
    QCOMPARE(selectedRow(list2()), 199);
}

void SyncViewTest::scrollingFollowsBothWays()
{
    openLongRun();

    // The bar of either list.
    list2()->verticalScrollBar()->setValue(20);
    verifyTops(20);
    list1()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const int paged = topRow(list1());
    QVERIFY(paged > 20);
    verifyTops(paged);

    // The wheel over either list.
    for (lanshan::ListBox *list : {list1(), list2()}) {
        const int before = topRow(list);
        const QPoint at = list->viewport()->rect().center();
        QWheelEvent wheel(at, list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list->viewport(), &wheel);
        QVERIFY2(topRow(list) > before, qPrintable(list->objectName()));
        verifyTops(topRow(list));
    }

    // The keys: a page down from the top entry scrolls the list with it.
    windowtest::clickItem(list1(), topRow(list1()));
    QTest::keyClick(list1(), Qt::Key_Home);
    verifyTops(0);
    list2()->setFocus();
    QTest::keyClick(list2(), Qt::Key_PageDown);
    QTest::keyClick(list2(), Qt::Key_PageDown);
    QVERIFY(topRow(list2()) > 0);
    verifyTops(topRow(list2()));
    QCOMPARE(selectedRow(list1()), selectedRow(list2()));
}

// The long rows give the result list a horizontal bar and so fewer visible rows: it scrolls
// further than the key list. At its end neither list pulls the other back.
void SyncViewTest::listAtItsEndIsNotPulledBack()
{
    openLongRun();
    QScrollBar *bar1 = list1()->verticalScrollBar();
    QScrollBar *bar2 = list2()->verticalScrollBar();
    QVERIFY2(bar2->maximum() > bar1->maximum(), "the result list must reach further");

    bar2->setValue(bar2->maximum());
    verifyNeitherListMovesLater();
    QCOMPARE(bar2->value(), bar2->maximum());
    QCOMPARE(bar1->value(), bar1->maximum());
    QCOMPARE(topRow(list2()), bar2->maximum());
    QCOMPARE(topRow(list1()), bar1->maximum());
    // The last entry is in sight in both.
    QVERIFY(list2()->viewport()->rect().intersects(list2()->visualRect(list2()->model()->index(199, 0))));
    QVERIFY(list1()->viewport()->rect().intersects(list1()->visualRect(list1()->model()->index(199, 0))));

    // Scrolling the key list back a little takes the result list to the same top row.
    bar1->setValue(bar1->maximum() - 3);
    verifyNeitherListMovesLater();
    verifyTops(bar1->maximum() - 3);
    QCOMPARE(bar1->value(), bar1->maximum() - 3);
}

void SyncViewTest::doubleClickCopiesTheLineItself()
{
    // A key line and a row with TABs and spaces at their ends, and a key without a row.
    m_driver->filter(u"k0\n \tb2  \na1\nzz"_s, u"k0\t5\n \ta1\t 90\t \nzz\t7"_s);
    open();
    QCOMPARE(m_driver->itemsOf(u"List1"_s), (QStringList{u"1.k0"_s, u"2. \u21E5b2  "_s, u"3.a1"_s, u"4.zz"_s}));
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.k0\t5"_s, u"2."_s, u"3. \ta1\t 90\t "_s, u"4.zz\t7"_s}));

    windowtest::setClipboardText(oldClipboard);
    windowtest::doubleClickItem(list1(), 1);
    QCOMPARE(clipboardText(), u" \tb2  "_s);
    QCOMPARE(selectedRow(list2()), 1);

    windowtest::doubleClickItem(list2(), 2);
    QCOMPARE(clipboardText(), u" \ta1\t 90\t "_s);
    QCOMPARE(selectedRow(list1()), 2);

    windowtest::doubleClickItem(list1(), 3);
    QCOMPARE(clipboardText(), u"zz"_s);

    // An entry without a row leaves the empty text.
    windowtest::setClipboardText(oldClipboard);
    windowtest::doubleClickItem(list2(), 1);
    QCOMPARE(clipboardText(), QString());
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isVisible());
    QCOMPARE(m_driver->messages.size(), std::size_t(1));
}

void SyncViewTest::keyCellsSideBySide_data()
{
    QTest::addColumn<QString>("keyLine");
    QTest::addColumn<QString>("shown");
    QTest::newRow("学号 and name") << u"2024000000\t侯怡敏"_s << u"1. 2024000000\u21E5侯怡敏"_s;
    QTest::newRow("class, 学号 and name") << u"一班\t3\t王五"_s << u"1.一班\u21E53\u21E5王五"_s;
    QTest::newRow("an empty first cell") << u"\t王五"_s << u"1.\u21E5王五"_s;
    QTest::newRow("one cell") << u"王五"_s << u"1.王五"_s;
}

// The narrow key list shows every cell of a key line, ⇥ between them, as the report does; the
// copy is the line with its TABs.
void SyncViewTest::keyCellsSideBySide()
{
    QFETCH(QString, keyLine);
    QFETCH(QString, shown);
    m_driver->filter(keyLine + u"\nx"_s, keyLine + u"\t90\nx\t1"_s);
    open();
    QCOMPARE(m_driver->itemsOf(u"List1"_s).value(0), shown);
    // Drawn, the whole of it lies within the list.
    list1()->viewport()->grab();
    QTRY_VERIFY(list1()->visualRect(list1()->model()->index(0, 0)).width() <= list1()->viewport()->width());
    QVERIFY(list1()->horizontalScrollBar()->maximum() == 0);

    windowtest::doubleClickItem(list1(), 0);
    QCOMPARE(clipboardText(), keyLine);
}

// Each copy says which line it took, beside the caption, for a few seconds; the lists, the
// note and "返回" stay in sight.
void SyncViewTest::copyIsConfirmedWithoutCoveringAnything()
{
    m_driver->filter(u"k0\nk1\nk2"_s, u"k0\t5\nk2\t7"_s);
    open();
    auto *note = m_driver->get<QLabel>(u"copyConfirmation"_s);
    QVERIFY(!note->isVisible());

    windowtest::doubleClickItem(list2(), 2);
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), u"已复制第 3 行"_s);
    list1()->setFocus();
    windowtest::clickItem(list1(), 0);
    QTest::keyClick(list1(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardText(), u"k0"_s);
    QCOMPARE(note->text(), u"已复制第 1 行"_s);
    const QWidget *view = m_driver->frame(u"tongbuxianshi"_s);
    for (const QWidget *w : view->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w != note && w->isVisible())
            QVERIFY2(!w->geometry().intersects(note->geometry()), qPrintable(w->objectName()));
    QVERIFY(view->rect().contains(note->geometry()));
    QTRY_VERIFY_WITH_TIMEOUT(!note->isVisible(), lanshan::SyncView::copyNoteMilliseconds + 2000);
    QCOMPARE(clipboardText(), u"k0"_s);
}

void SyncViewTest::returnPutsTheWholeResultBack()
{
    m_driver->filter(u"k0\nb2\na1"_s, u"a1\t1 \nk0\t5"_s);
    const QString whole = u"k0\t5\n\na1\t1 "_s;
    QCOMPARE(m_driver->text(u"Text3"_s), whole);

    // "返回" after a copied line.
    open();
    windowtest::doubleClickItem(list2(), 0);
    QCOMPARE(clipboardText(), u"k0\t5"_s);
    m_driver->press(u"Command4"_s);
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isHidden());
    QCOMPARE(clipboardText(), whole);
    QVERIFY(m_driver->box(u"Text3"_s)->isVisible());

    // Escape presses it while the view is shown, and does nothing otherwise.
    open();
    windowtest::doubleClickItem(list1(), 2);
    QCOMPARE(clipboardText(), u"a1"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isHidden());
    QCOMPARE(clipboardText(), whole);
    windowtest::setClipboardText(oldClipboard);
    m_driver->box(u"Text1"_s)->setFocus();
    QTest::keyClick(m_driver->box(u"Text1"_s), Qt::Key_Escape);
    QCOMPARE(clipboardText(), oldClipboard);

    // After the data is cleared the result box is empty, and so is what "返回" puts back;
    // the lists still show the last run.
    m_driver->press(u"Command10"_s);
    open();
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1.k0\t5"_s, u"2."_s, u"3.a1\t1 "_s}));
    m_driver->press(u"Command4"_s);
    QCOMPARE(clipboardText(), QString());
    QVERIFY(m_driver->frame(u"tongbuxianshi"_s)->isHidden());
}

void SyncViewTest::reopeningKeepsSelectionAndScroll()
{
    openLongRun();
    windowtest::clickItem(list1(), 150);
    list2()->verticalScrollBar()->setValue(100);
    verifyTops(100);
    QCOMPARE(selectedRow(list2()), 150);

    m_driver->press(u"Command4"_s);
    open();
    verifyNeitherListMovesLater();
    verifyTops(100);
    QCOMPARE(selectedRow(list1()), 150);
    QCOMPARE(selectedRow(list2()), 150);
    QCOMPARE(QApplication::focusWidget(), m_driver->button(u"Command4"_s));
}

// A run that stops at its input check empties the lists but leaves "同步查看" enabled. A
// double-click on an empty list copies nothing: the clipboard is left cleared.
void SyncViewTest::stoppedRunOpensOnEmptyLists()
{
    m_driver->filter(u"a1\nb2"_s, u"b2\t3"_s);
    m_driver->box(u"Text1"_s)->setPlainText(u"a1"_s);
    m_driver->press(u"Command1"_s);
    QCOMPARE(m_driver->messages.back().icon, QMessageBox::Critical);

    open();
    QCOMPARE(m_driver->itemsOf(u"List1"_s), QStringList());
    QCOMPARE(m_driver->itemsOf(u"List2"_s), QStringList());

    for (lanshan::ListBox *list : {list1(), list2()}) {
        windowtest::setClipboardText(oldClipboard);
        windowtest::doubleClickAt(list, QPoint(10, 10));
        QVERIFY2(clipboardText().isEmpty(), qPrintable(list->objectName()));
    }

    m_driver->press(u"Command4"_s);
    QCOMPARE(clipboardText(), u"\nb2\t3"_s);
}

// Seat numbers as keys: "1.3" would read as a decimal. The number stands apart on the screen,
// and a copy takes the line as it is.
void SyncViewTest::entryNumbersStandApartFromNumbers()
{
    m_driver->filter(u"3\n1\n甲"_s, u"1\t90\n3\t70\n甲\t5"_s);
    open();
    QCOMPARE(m_driver->itemsOf(u"List1"_s), (QStringList{u"1. 3"_s, u"2. 1"_s, u"3.甲"_s}));
    QCOMPARE(m_driver->itemsOf(u"List2"_s), (QStringList{u"1. 3\t70"_s, u"2. 1\t90"_s, u"3.甲\t5"_s}));
    windowtest::doubleClickItem(list2(), 0);
    QCOMPARE(clipboardText(), u"3\t70"_s);
}

QTEST_MAIN(SyncViewTest)
#include "sync_view_test.moc"
