// The main window as the user finds it: captions, enabled buttons, keyboard focus and tab
// order, a window that grows and comes back to its designed layout, how the boxes wrap, and
// the demo data.

#include "windowtest.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using windowtest::WindowDriver;

class WindowLayoutTest : public windowtest::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void captionsAndStartingButtons();
    void focusStartsInKeyBoxAndTabSkipsWhatCannotTakeIt();
    void tabOrderInResultView();
    void windowGrowsAndComesBack_data();
    void windowGrowsAndComesBack();
    void windowOpensWholeOnASmallScreen();
    void inputBoxesScrollResultBoxWrapsAndIsReadOnly();
    void demoTextsHaveTheirDesignedShape();

private:
    QList<QWidget *> tabChain(int steps);
};

// The widgets that hold the focus after each of the given number of Tab presses, starting
// from the focus as it stands.
QList<QWidget *> WindowLayoutTest::tabChain(int steps)
{
    QList<QWidget *> chain{QApplication::focusWidget()};
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        chain.append(QApplication::focusWidget());
    }
    return chain;
}

static QStringList names(const QList<QWidget *> &widgets)
{
    QStringList result;
    for (const QWidget *w : widgets)
        result.append(w ? w->objectName() : u"(none)"_s);
    return result;
}

void WindowLayoutTest::captionsAndStartingButtons()
{
    const std::pair<QString, QString> captions[] = {
        {u"Command1"_s, u"数据筛选"_s},
        {u"Command2"_s, u"数据/结果"_s},
        {u"Command3"_s, u"关于"_s},
        {u"Command4"_s, u"返回"_s},
        {u"Command5"_s, u"忽略留空"_s},
        {u"Command6"_s, u"确定"_s},
        {u"Command7"_s, u"演示数据"_s},
        {u"Command8"_s, u"清空所有数据"_s},
        {u"Command9"_s, u"清除固定顺序数据"_s},
        {u"Command10"_s, u"清除待筛选数据"_s},
        {u"Command11"_s, u"同步查看"_s},
        {u"Command12"_s, u"返回修改"_s},
        {u"Frame1"_s, u"固定顺序数据"_s},
        {u"Frame2"_s, u"待筛选数据"_s},
        {u"Frame3"_s, u"筛选后结果"_s},
        {u"Frame4"_s, u"重复数据手动匹配"_s},
        {u"Frame5"_s, u"提示"_s},
        {u"Frame6"_s, u"说明"_s},
        {u"tongbuxianshi"_s, u"同步查看筛选结果"_s},
        {u"fixdata"_s, u"固定顺序数据(双击可复制)"_s},
        {u"result"_s, u"筛选后结果(双击可复制)"_s},
    };
    for (const auto &[name, caption] : captions) {
        const QWidget *control = m_driver->get<QWidget>(name);
        if (const auto *button = qobject_cast<const QPushButton *>(control))
            QCOMPARE(button->text(), caption);
        else
            QCOMPARE(m_driver->frame(name)->title(), caption);
    }

    // Of the button row only the demo data and the about box can be used at first.
    for (const QString &name :
         {u"Command1"_s, u"Command2"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s, u"Command11"_s})
        QVERIFY2(!m_driver->button(name)->isEnabled(), qPrintable(name));
    QVERIFY(m_driver->button(u"Command7"_s)->isEnabled());
    QVERIFY(m_driver->button(u"Command3"_s)->isEnabled());
    // The data view is the one in sight.
    QVERIFY(m_driver->frame(u"Frame2"_s)->isVisible());
    QVERIFY(m_driver->box(u"Text1"_s)->isVisible());
}

void WindowLayoutTest::focusStartsInKeyBoxAndTabSkipsWhatCannotTakeIt()
{
    m_driver->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_driver->window));
    QCOMPARE(QApplication::focusWidget(), m_driver->box(u"Text1"_s));

    // With both boxes filled the clear buttons and the filter can be used; the result
    // toggle, the synchronized view and everything in the hidden panels cannot.
    m_driver->box(u"Text1"_s)->setPlainText(u"a1\nb2"_s);
    m_driver->box(u"Text2"_s)->setPlainText(u"a1\t1"_s);
    QCOMPARE(QApplication::focusWidget(), m_driver->box(u"Text1"_s));
    const QStringList expected{u"Text1"_s,    u"Text2"_s,    u"Command10"_s, u"Command9"_s, u"Command8"_s,
                               u"Command7"_s, u"Command3"_s, u"Command1"_s,  u"Text1"_s};
    QCOMPARE(names(tabChain(8)), expected);
}

void WindowLayoutTest::tabOrderInResultView()
{
    m_driver->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_driver->window));
    m_driver->filter(u"a1\nb2"_s, u"a1\t1"_s);
    QVERIFY(m_driver->frame(u"Frame3"_s)->isVisible());

    // The result box takes the data box's place, and the two buttons that a run enabled
    // come last, before the reconciliation below them.
    m_driver->box(u"Text1"_s)->setFocus();
    const QStringList expected{u"Text1"_s,    u"Text3"_s,     u"Command10"_s,       u"Command9"_s,
                               u"Command8"_s, u"Command7"_s,  u"Command3"_s,        u"Command2"_s,
                               u"Command1"_s, u"Command11"_s, u"reconcileButton"_s, u"copyColumnsButton"_s,
                               u"Text1"_s};
    QCOMPARE(names(tabChain(12)), expected);
}

void WindowLayoutTest::windowGrowsAndComesBack_data()
{
    QTest::addColumn<QSize>("growth"); // an empty size: maximized
    QTest::addColumn<QString>("panel");
    QTest::newRow("wider and taller") << QSize(300, 200) << u"tongbuxianshi"_s;
    QTest::newRow("maximized") << QSize() << u"reconcileView"_s;
    QTest::newRow("only taller") << QSize(0, 150) << u"Frame4"_s;
}

// Larger than designed, the boxes, lists and the report grow while every button keeps its size
// and its place in the order, nothing overlaps and nothing leaves the window; back at the
// designed size, every control stands exactly where it stood.
void WindowLayoutTest::windowGrowsAndComesBack()
{
    QFETCH(QSize, growth);
    QFETCH(QString, panel);
    QWidget &window = m_driver->window;
    QVERIFY(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const QSize designed = window.size();
    QCOMPARE(window.minimumSize(), designed);
    // A run that asks a question, so that the manual matching is open, or else the view asked for.
    m_driver->filter(u"a1\nb2\nc3"_s, panel == u"Frame4"_s ? u"a1\t1\na1\t2\nb2\t3"_s : u"a1\t1\nb2\t3"_s);
    if (panel == u"tongbuxianshi"_s)
        m_driver->press(u"Command11"_s);
    else if (panel == u"reconcileView"_s)
        m_driver->press(u"reconcileButton"_s);
    QWidget *open = m_driver->get<QWidget>(panel);
    QVERIFY(open->isVisible());
    const QList<QWidget *> all = window.findChildren<QWidget *>();
    QHash<QWidget *, QRect> before;
    for (QWidget *w : all)
        before[w] = w->geometry();

    if (growth.isEmpty())
        window.showMaximized();
    else
        window.resize(designed + growth);
    QTRY_VERIFY(window.width() > designed.width() || window.height() > designed.height());
    const QSize grown = window.size() - designed;

    for (const QString &name : {u"Text1"_s, u"Text3"_s}) {
        const QRect was = before[m_driver->box(name)];
        QVERIFY2(m_driver->box(name)->height() == was.height() + grown.height(), qPrintable(name));
    }
    QCOMPARE(open->size(), before[open].size() + grown);
    QCOMPARE(open->pos(), before[open].topLeft());
    QCOMPARE(m_driver->get<QWidget>(u"StatusBar1"_s)->geometry().bottom(), window.height() - 1);
    QCOMPARE(m_driver->get<QWidget>(u"StatusBar1Panel4"_s)->geometry().right(), window.width() - 1);
    // Buttons: same size, same order from left to right, within their parent, none over another.
    for (QWidget *parent : QList<QWidget *>{&window, open}) {
        QList<QPushButton *> row = parent->findChildren<QPushButton *>(Qt::FindDirectChildrenOnly);
        row.removeIf([](const QPushButton *b) { return b->isHidden(); });
        std::ranges::sort(row, {}, [&](QPushButton *b) { return before[b].x(); });
        for (qsizetype i = 0; i < row.size(); ++i) {
            QCOMPARE(row[i]->size(), before[row[i]].size());
            QVERIFY2(parent->rect().contains(row[i]->geometry()), qPrintable(row[i]->objectName()));
            for (qsizetype j = i + 1; j < row.size(); ++j)
                QVERIFY2(!row[i]->geometry().intersects(row[j]->geometry()),
                         qPrintable(row[i]->objectName() + u" "_s + row[j]->objectName()));
            if (i > 0 && before[row[i - 1]].y() == before[row[i]].y())
                QVERIFY(row[i - 1]->x() < row[i]->x());
        }
    }
    for (QWidget *w : all)
        if (w->isVisible() && w->parentWidget())
            QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));

    window.showNormal();
    window.resize(designed);
    QTRY_COMPARE(window.size(), designed);
    for (QWidget *w : all)
        QVERIFY2(w->geometry() == before[w], qPrintable(w->objectName()));
}

// At a large font the designed window is taller than the test screen (800 x 600): it opens as
// tall as fits, the status bar and every button inside, the boxes shorter.
void WindowLayoutTest::windowOpensWholeOnASmallScreen()
{
    const QFont designed = QApplication::font();
    QApplication::setFont(QFont(designed.family(), 14));
    {
        windowtest::WindowDriver large;
        large.window.show();
        // The width stays as designed: the button row needs all of it.
        const QRect available = large.window.screen()->availableGeometry();
        QVERIFY(large.window.geometry().top() >= available.top());
        QVERIFY(large.window.geometry().bottom() <= available.bottom());
        QCOMPARE(large.window.minimumSize(), large.window.size());
        const QWidget *bar = large.get<QWidget>(u"StatusBar1"_s);
        QCOMPARE(bar->geometry().bottom(), large.window.height() - 1);
        for (const QPushButton *b : large.window.findChildren<QPushButton *>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(large.window.rect().contains(b->geometry()), qPrintable(b->objectName()));
            QVERIFY2(!b->geometry().intersects(bar->geometry()), qPrintable(b->objectName()));
            QVERIFY2(b->y() > large.frame(u"Frame2"_s)->geometry().bottom(), qPrintable(b->objectName()));
        }
    }
    QApplication::setFont(designed);
}

void WindowLayoutTest::inputBoxesScrollResultBoxWrapsAndIsReadOnly()
{
    const QString longRow = u"a1"_s + u"\t12345678"_s.repeated(60);
    m_driver->box(u"Text1"_s)->setPlainText(longRow + u"\na1"_s);
    m_driver->box(u"Text2"_s)->setPlainText(longRow);

    // A long line stays one line in the input boxes and is reached by scrolling sideways.
    for (const QString &name : {u"Text1"_s, u"Text2"_s}) {
        QPlainTextEdit *box = m_driver->box(name);
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        QTRY_VERIFY2(box->horizontalScrollBar()->maximum() > 0, qPrintable(name));
        QCOMPARE(box->document()->firstBlock().lineCount(), 1);
    }

    m_driver->box(u"Text1"_s)->setPlainText(u"a1\nb2"_s);
    m_driver->press(u"Command1"_s);
    QPlainTextEdit *text3 = m_driver->box(u"Text3"_s);
    QVERIFY(text3->isVisible());
    QCOMPARE(text3->document()->firstBlock().text(), longRow);
    QCOMPARE(text3->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QTRY_VERIFY(text3->document()->firstBlock().lineCount() > 1);

    // The result is the program's to write: typing into it changes nothing.
    QVERIFY(text3->isReadOnly());
    const QString before = windowtest::rawText(text3);
    text3->setFocus();
    QTest::keyClicks(text3, u"xyz"_s);
    QTest::keyClick(text3, Qt::Key_Backspace);
    QTest::keyClick(text3, Qt::Key_Return);
    QCOMPARE(windowtest::rawText(text3), before);
}

void WindowLayoutTest::demoTextsHaveTheirDesignedShape()
{
    // The demo fixed-order text: 16 distinct names, each line ended by a line break.
    const QStringList keyLines = windowtest::rawText(m_driver->box(u"Text4"_s)).split(u'\n');
    QCOMPARE(keyLines.size(), 17);
    QCOMPARE(keyLines.last(), QString());
    const QStringList keys = keyLines.first(16);
    for (qsizetype i = 0; i < keys.size(); ++i)
        QVERIFY2(keys[i].size() == (i == 15 ? 2 : 3), qPrintable(keys[i]));

    // The demo data: 18 rows of 8 columns, each ended by a line break.
    const QStringList rowLines = windowtest::rawText(m_driver->box(u"Text5"_s)).split(u'\n');
    QCOMPARE(rowLines.size(), 19);
    QCOMPARE(rowLines.last(), QString());

    // Which key line each row belongs to (1 to 16), 0 for the rows whose names the keys
    // do not list.
    const int lineOfRow[18] = {10, 1, 5, 16, 9, 0, 0, 14, 2, 0, 12, 0, 4, 7, 3, 6, 11, 0};
    QStringList allNames = keys;
    for (int r = 0; r < 18; ++r) {
        const QString &row = rowLines[r];
        QVERIFY2(!row.contains(u' '), qPrintable(row));
        const QStringList columns = row.split(u'\t');
        QCOMPARE(columns.size(), 8);
        const QString &name = columns[0];
        if (lineOfRow[r] > 0) {
            QCOMPARE(name, keys[lineOfRow[r] - 1]);
        } else {
            QVERIFY2(!keys.contains(name), qPrintable(name));
            QCOMPARE(name.size(), r == 6 ? 2 : 3);
            allNames.append(name);
        }
        // A grade follows each score: 优 from 86 up, 良 up to 84; the fourth column is 优.
        QCOMPARE(columns[3], u"优"_s);
        for (int score : {1, 4, 6}) {
            bool isNumber = false;
            const int value = columns[score].toInt(&isNumber);
            QVERIFY2(isNumber && (value >= 86 || value <= 84), qPrintable(row));
            QCOMPARE(columns[score + 1], value >= 86 ? u"优"_s : u"良"_s);
        }
    }
    // Lines 8, 13 and 15 have no row, every other line exactly one.
    for (qsizetype line = 1; line <= keys.size(); ++line) {
        const auto rows = static_cast<int>(std::count_if(rowLines.begin(), rowLines.end(), [&](const QString &row) {
            return row.section(u'\t', 0, 0) == keys[line - 1];
        }));
        QCOMPARE(rows, (line == 8 || line == 13 || line == 15) ? 0 : 1);
    }

    // No name is part of another, so the demo never asks the user to choose.
    QCOMPARE(QSet<QString>(allNames.begin(), allNames.end()).size(), allNames.size());
    for (const QString &a : allNames)
        for (const QString &b : allNames)
            QVERIFY2(a == b || !b.contains(a), qPrintable(a + u" in "_s + b));
}

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
