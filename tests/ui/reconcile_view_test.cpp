// The reconciliation after a run: the counts below the buttons, the view they open, and the
// near rows the user takes into the result, which the result box, the lists and the clipboard
// then hold as if the filter had matched them.

#include "boxtext.h"
#include "clipboardtext.h"
#include "windowtest.h"

#include <QApplication>
#include <QLabel>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// 张三 and 王五 padded with spaces in the sheet, 李四 as it stands, a header no key wants.
const QString keys = u"张三\r\n李四\r\n王五"_s;
const QString rows = u"学号\t分数\r\n张\u3000三\t90\r\n李四\t80\r\n王 五\t70"_s;

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
    QCOMPARE(nearRow.siblingAtColumn(1).data().toString(), u"张⟨全角空格⟩三\t90"_s);
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

void ReconcileViewTest::reportCopied()
{
    m_driver->filter(keys, rows);
    openView();
    m_driver->press(u"copyReportButton"_s);
    const QStringList lines = lanshan::ClipboardText::read().split(QRegularExpression(u"\r?\n"_s));
    QCOMPARE(lines.first(), u"kind\tkey_line\trow\tcause\tkey\trow_text"_s);
    QVERIFY(lines.contains(u"missing\t1\t2\tspaces\t张三\t张\u3000三\\t90"_s));
    QVERIFY(lines.contains(u"unused\t\t1\t\t\t学号\\t分数"_s));
}

QTEST_MAIN(ReconcileViewTest)
#include "reconcile_view_test.moc"
