// The list model behind every list of the window: Qt's contract for item models, and items
// that cannot be read.

#include "itemlistmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;
using lanshan::ItemListModel;

class ItemListModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keepsQtsContract();
    void sourceThatThrowsShowsNothing();
    void lineBreaksInsideARowShowAsMarks();
};

void ItemListModelTest::keepsQtsContract()
{
    std::size_t count = 3;
    ItemListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.reset([&] { return count; },
                [](std::size_t i) { return u"item " + std::u16string(1, static_cast<char16_t>(u'0' + i)); });
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.index(2, 0).data().toString(), u"item 2"_s);
    count = 5;
    model.itemsAppended();
    QCOMPARE(model.rowCount(), 5);
    model.reset();
    QCOMPARE(model.rowCount(), 0);
}

// Qt lets no exception through its event handling: a view asking never gets one.
void ItemListModelTest::sourceThatThrowsShowsNothing()
{
    ItemListModel model;
    model.reset([] { return std::size_t{2}; },
                [](std::size_t) -> std::u16string { throw std::logic_error("the run awaits no choice"); });
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(1, 0).data(), QVariant(QString()));

    model.reset([]() -> std::size_t { throw std::logic_error("gone"); }, {});
    QCOMPARE(model.rowCount(), 0);
    model.itemsAppended();
    QCOMPARE(model.rowCount(), 0);
}

// Every item stays one line high, so that the synchronized view's two lists stay aligned.
void ItemListModelTest::lineBreaksInsideARowShowAsMarks()
{
    ItemListModel model;
    model.reset([] { return std::size_t{1}; }, [](std::size_t) { return std::u16string(u"2.李四\t\"a\nb\rc\""); });
    QCOMPARE(model.index(0, 0).data().toString(), u"2.李四\t\"a\u21B5b\u21B5c\""_s);
}

QTEST_MAIN(ItemListModelTest)
#include "itemlistmodel_test.moc"
