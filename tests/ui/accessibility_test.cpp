// The window as a screen reader reads it, in Qt's own Chinese texts, and at a large font.

#include "contrast.h"
#include "highlightframe.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::StringLiterals;

class AccessibilityTest : public windowtest::WindowTest
{
    Q_OBJECT

public:
    AccessibilityTest()
        : WindowTest({.active = true})
    { }

private Q_SLOTS:
    void controlsAreAnnouncedByTheirOwnNames();
    void onlyWhatIsSeenIsInTheTree();
    void qtTextsAreChinese();
    void largeFontCutsNoCaption();
    void darkPaletteLeavesTextsReadable();
    void syncViewReachesTheEndOfLongLines();

private:
    static QAccessibleInterface *accessible(QObject *object) { return QAccessible::queryAccessibleInterface(object); }
    QStringList childNames(QObject *object) const;
};

QStringList AccessibilityTest::childNames(QObject *object) const
{
    QStringList names;
    QAccessibleInterface *parent = accessible(object);
    for (int i = 0; i < parent->childCount(); ++i)
        names.append(parent->child(i)->object()->objectName());
    return names;
}

void AccessibilityTest::controlsAreAnnouncedByTheirOwnNames()
{
    QCOMPARE(accessible(&m_driver->window)->role(), QAccessible::Window);
    const std::tuple<QString, QAccessible::Role, QString> expected[] = {
        {u"Frame1"_s, QAccessible::Grouping, u"固定顺序数据"_s},
        {u"Text1"_s, QAccessible::EditableText, u"固定顺序数据"_s},
        {u"Command1"_s, QAccessible::Button, u"数据筛选"_s},
        {u"Frame4"_s, QAccessible::Grouping, u"重复数据手动匹配"_s},
        {u"Frame5"_s, QAccessible::Grouping, u"提示"_s},
        {u"Label1"_s, QAccessible::StaticText, m_driver->get<QLabel>(u"Label1"_s)->text()},
        {u"List3"_s, QAccessible::List, u"固定顺序数据"_s},
        {u"List4"_s, QAccessible::List, u"待筛选数据中的对应数据"_s},
        {u"Frame6"_s, QAccessible::Grouping, u"说明"_s},
        {u"fixdata"_s, QAccessible::Grouping, u"固定顺序数据(双击可复制)"_s},
        {u"List1"_s, QAccessible::List, u"固定顺序数据"_s},
        {u"List2"_s, QAccessible::List, u"筛选后结果"_s},
    };
    for (const auto &[name, role, text] : expected) {
        QAccessibleInterface *control = accessible(m_driver->get<QWidget>(name));
        QCOMPARE(control->role(), role);
        QCOMPARE(control->text(QAccessible::Name), text);
    }
    QVERIFY(accessible(m_driver->list(u"List4"_s))->text(QAccessible::Description).contains(u"[*]"_s));
}

void AccessibilityTest::onlyWhatIsSeenIsInTheTree()
{
    QStringList shown = childNames(&m_driver->window);
    for (const QString &hidden : {u"Text4"_s, u"Text5"_s, u"Frame3"_s, u"Frame4"_s, u"tongbuxianshi"_s})
        QVERIFY2(!shown.contains(hidden), qPrintable(hidden));
    QVERIFY(shown.contains(u"Command1"_s));

    // An open panel covers the working area: the tree holds the panel, not what lies under it.
    m_driver->filter(u"甲\r\n乙\r\n"_s, u"甲\t1\r\n甲\t2\r\n乙\t3\r\n"_s);
    shown = childNames(&m_driver->window);
    QVERIFY(shown.contains(u"Frame4"_s));
    for (const QString &covered : {u"Frame1"_s, u"Frame2"_s, u"Command1"_s, u"Command7"_s})
        QVERIFY2(!shown.contains(covered), qPrintable(covered));
    QVERIFY(!childNames(m_driver->frame(u"Frame4"_s)).contains(u"List5"_s));
    // The mark of the awaited line is spoken as a word.
    QCOMPARE(accessible(m_driver->list(u"List3"_s))->child(0)->text(QAccessible::Name), u"待选择 1.甲"_s);
    QPushButton *command1 = m_driver->button(u"Command1"_s);
    const QPoint centre = command1->mapToGlobal(command1->rect().center());
    QCOMPARE(accessible(&m_driver->window)->childAt(centre.x(), centre.y())->object(), m_driver->frame(u"Frame4"_s));
}

void AccessibilityTest::qtTextsAreChinese()
{
    QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), u"确定"_s);
}

// Every caption within its control, and every wrapped text within its label.
static void verifyNothingCut(const QWidget *window)
{
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        const QFontMetrics metrics = w->fontMetrics();
        int needed = 0;
        int room = 0;
        if (const auto *button = qobject_cast<const QPushButton *>(w)) {
            needed = metrics.horizontalAdvance(button->text()) + 4;
            room = button->width();
            QVERIFY2(metrics.height() < button->height(), qPrintable(w->objectName()));
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(w)) {
            needed = metrics.horizontalAdvance(frame->title());
            room = frame->width();
            for (const QWidget *inside : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                QVERIFY2(inside->y() >= metrics.height() * 3 / 4, qPrintable(inside->objectName()));
        } else if (const auto *label = qobject_cast<const QLabel *>(w); label && !label->text().isEmpty()) {
            if (label->wordWrap()) {
                needed = label->heightForWidth(label->width());
                room = label->height();
            } else {
                needed = metrics.horizontalAdvance(label->text());
                room = label->width();
            }
        }
        QVERIFY2(needed <= room, qPrintable(u"%1: %2 > %3"_s.arg(w->objectName()).arg(needed).arg(room)));
    }
}

void AccessibilityTest::largeFontCutsNoCaption()
{
    const QFont designed = QApplication::font();
    QFont large = designed;
    large.setPointSize(14);
    QApplication::setFont(large);
    {
        windowtest::WindowDriver driver;
        driver.press(u"Command7"_s);
        driver.press(u"Command3"_s);
        verifyNothingCut(&driver.window);
    }
    QApplication::setFont(designed);
}

void AccessibilityTest::darkPaletteLeavesTextsReadable()
{
    const QPalette designed = QApplication::palette();
    QPalette dark = designed;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Highlight, QColor(0x1c, 0x3e, 0x70));
    dark.setColor(QPalette::Link, QColor(0x80, 0xb0, 0xff));
    QApplication::setPalette(dark);
    m_driver->press(u"Command3"_s);
    const auto readable = [](const QWidget *w, const QColor &colour) {
        return lanshan::contrastRatio(colour, w->palette().color(QPalette::Window)) >= 4.5;
    };
    for (const QString &name : {u"lblTitle"_s, u"lblDescription"_s, u"Label3"_s}) {
        const auto *label = m_driver->get<QLabel>(name);
        QVERIFY2(readable(label, label->palette().color(QPalette::WindowText)), qPrintable(name));
    }
    for (const QString &name : {u"Frame4"_s, u"tongbuxianshi"_s}) {
        const auto *frame = m_driver->get<lanshan::HighlightFrame>(name);
        QVERIFY2(readable(frame, frame->captionColour()), qPrintable(name));
    }
    QApplication::setPalette(designed);
}

// The result list lays out a row as the data box does, and its end can be scrolled to.
void AccessibilityTest::syncViewReachesTheEndOfLongLines()
{
    const QString row = u"甲\t"_s + QString(u"长行\t"_s).repeated(60) + u"末"_s;
    m_driver->filter(u"甲\r\n乙\r\n"_s, row + u"\r\n"_s);
    m_driver->press(u"Command11"_s);
    QListView *list2 = m_driver->list(u"List2"_s);
    QTest::qWait(50);
    const QTextLayout *inBox = m_driver->box(u"Text2"_s)->document()->firstBlock().layout();
    const QModelIndex first = list2->model()->index(0, 0);
    // TAB stops as in the box: the number before the row moves it on by one stop at most.
    const qreal inList = list2->visualRect(first).width();
    const qreal tabStop = m_driver->box(u"Text2"_s)->tabStopDistance();
    QVERIFY2(inList >= inBox->lineAt(0).naturalTextWidth()
                 && inList <= inBox->lineAt(0).naturalTextWidth() + tabStop + 10,
             qPrintable(u"%1 %2"_s.arg(inList).arg(inBox->lineAt(0).naturalTextWidth())));
    QVERIFY(list2->horizontalScrollBar()->maximum() + list2->viewport()->width() >= list2->visualRect(first).width());
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
