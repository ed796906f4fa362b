// The run's life without a window: what a run tells at each step, which commands it leaves
// usable, and whether its result still follows from the boxes.

#include "filterrun.h"
#include "filtersession.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using lanshan::FilterSession;
using Action = FilterSession::Action;

namespace {

// Every signal of the session, by name, in the order told.
class Told : public QObject
{
public:
    explicit Told(FilterSession &session)
    {
        const auto note = [this](const char *name) { return [this, name] { names += QString::fromLatin1(name); }; };
        connect(&session, &FilterSession::runStarted, this, note("runStarted"));
        connect(&session, &FilterSession::tooFewLines, this, note("tooFewLines"));
        connect(&session, &FilterSession::choiceAwaited, this, note("choiceAwaited"));
        connect(&session, &FilterSession::keyColumnChangedNothing, this, note("keyColumnChangedNothing"));
        connect(&session, &FilterSession::resultMade, this, note("resultMade"));
        connect(&session, &FilterSession::inputsToCheck, this, note("inputsToCheck"));
        connect(&session, &FilterSession::noRowFound, this,
                [this](bool swapped) { names += swapped ? u"noRowFound(swapped)"_s : u"noRowFound"_s; });
        connect(&session, &FilterSession::resultDelivered, this, [this](const QString &text) {
            names += u"resultDelivered"_s;
            delivered = text;
        });
        connect(&session, &FilterSession::resultAdopted, this, note("resultAdopted"));
        connect(&session, &FilterSession::outdatedChanged, this,
                [this](bool outdated) { names += outdated ? u"outdated"_s : u"current"_s; });
        connect(&session, &FilterSession::runResumed, this, note("runResumed"));
    }
    // The names told since the last call.
    QString take() { return std::exchange(names, {}).join(u' '); }

    QStringList names;
    QString delivered;
};

// A box's new text, as the window tells the session of it.
void setBox(FilterSession &session, QTextDocument &box, FilterSession::Box which, const QString &text)
{
    box.setPlainText(text);
    session.boxChanged(which);
}

// A clearing command on the data box.
void clearData(FilterSession &session, QTextDocument &dataBox)
{
    setBox(session, dataBox, FilterSession::Box::Data, QString());
    session.cleared(FilterSession::Cleared::Data);
}

QString enabled(const FilterSession &session)
{
    static const QStringList names{u"Filter"_s,   u"Toggle"_s,    u"SyncView"_s, u"CopyColumns"_s,
                                   u"ClearAll"_s, u"ClearKeys"_s, u"ClearData"_s};
    QStringList on;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (session.isEnabled(static_cast<Action>(i)))
            on += names[i];
    }
    return on.join(u' ');
}

} // namespace

class FilterSessionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsFromPressToResult_data();
    void runsFromPressToResult();
    void answersGiveTheResultOrTheWordToCheck();
    void commandsUsableAsTheBoxesAndTheRunGo();
    void resultFollowsTheBoxesOnlyWhileTheyHoldTheRunsTexts();
    void keyColumnThatSettlesNothingIsSaid();
    void adoptedRowsComeBackWithAnUndo();
};

void FilterSessionTest::runsFromPressToResult_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("told");

    QTest::newRow("one key line") << u"张三"_s << u"张三\t90"_s << u"current runStarted tooFewLines"_s;
    QTest::newRow("rows found") << u"张三\n李四"_s << u"李四\t80\n张三\t90"_s
                                << u"current runStarted resultMade resultDelivered"_s;
    QTest::newRow("two rows for a key") << u"张三\n李四"_s << u"张三\t90\n张三\t95\n李四\t80"_s
                                        << u"current runStarted choiceAwaited"_s;
    QTest::newRow("no row found") << u"王五\n赵六"_s << u"张三\t90\n李四\t80"_s
                                  << u"current runStarted resultMade noRowFound"_s;
    QTest::newRow("boxes swapped") << u"张三\t90\n李四\t80"_s << u"李四\n张三"_s
                                   << u"current runStarted resultMade noRowFound(swapped)"_s;
}

void FilterSessionTest::runsFromPressToResult()
{
    QFETCH(QString, keys);
    QFETCH(QString, data);
    QFETCH(QString, told);
    QTextDocument keysBox;
    QTextDocument dataBox;
    FilterSession session(&keysBox, &dataBox);
    Told signals(session);
    keysBox.setPlainText(keys);
    dataBox.setPlainText(data);
    // Typed before any run: nothing to be outdated.
    for (const auto box : {FilterSession::Box::Keys, FilterSession::Box::Data})
        session.boxChanged(box);
    QCOMPARE(signals.take(), QString());

    session.runOnInputs();
    QCOMPARE(signals.take(), told);
    if (told.endsWith(u"resultDelivered"_s))
        QCOMPARE(signals.delivered, u"张三\t90\r\n李四\t80"_s);
}

void FilterSessionTest::answersGiveTheResultOrTheWordToCheck()
{
    QTextDocument keysBox(u"张三\n李四"_s);
    QTextDocument dataBox(u"张三\t90\n张三\t95\n李四\t80"_s);
    FilterSession session(&keysBox, &dataBox);
    Told signals(session);
    session.runOnInputs();
    signals.take();
    session.run()->choose(session.run()->candidateRows()[1]);
    session.continueRun();
    QCOMPARE(signals.take(), u"resultMade resultDelivered"_s);
    QCOMPARE(signals.delivered, u"张三\t95\r\n李四\t80"_s);

    // The data box emptied while the question waited: the result goes nowhere.
    session.runOnInputs();
    setBox(session, dataBox, FilterSession::Box::Data, QString());
    signals.take();
    session.run()->ignore();
    session.continueRun();
    QCOMPARE(signals.take(), u"resultMade inputsToCheck"_s);
    QVERIFY(!session.isEnabled(Action::CopyColumns));
}

void FilterSessionTest::commandsUsableAsTheBoxesAndTheRunGo()
{
    QTextDocument keysBox;
    QTextDocument dataBox;
    FilterSession session(&keysBox, &dataBox);
    QCOMPARE(enabled(session), QString());

    setBox(session, keysBox, FilterSession::Box::Keys, u"张三\n李四"_s);
    QCOMPARE(enabled(session), u"Filter ClearAll ClearKeys"_s);
    setBox(session, dataBox, FilterSession::Box::Data, u"李四\t80\n张三\t90"_s);
    session.runOnInputs();
    QCOMPARE(enabled(session), u"Filter Toggle SyncView CopyColumns ClearAll ClearKeys ClearData"_s);

    // Emptying the data box leaves the run's view and the filter; the columns go with the result.
    clearData(session, dataBox);
    QCOMPARE(enabled(session), u"Filter Toggle SyncView ClearAll ClearKeys"_s);

    // Both boxes empty: nothing to run or view; the single boxes' buttons stay as they were.
    setBox(session, keysBox, FilterSession::Box::Keys, QString());
    session.cleared(FilterSession::Cleared::Both);
    QCOMPARE(enabled(session), u"ClearKeys"_s);

    // A run that found no row can be viewed but was not handed over: an undo back to its texts
    // does not offer its columns again.
    keysBox.setPlainText(u"王五\n赵六"_s);
    setBox(session, dataBox, FilterSession::Box::Data, u"张三\t90"_s);
    session.runOnInputs();
    QCOMPARE(enabled(session), u"Filter Toggle SyncView CopyColumns ClearAll ClearKeys ClearData"_s);
    clearData(session, dataBox);
    setBox(session, dataBox, FilterSession::Box::Data, u"张三\t90"_s);
    QVERIFY(!session.resultOutdated());
    QVERIFY(!session.isEnabled(Action::CopyColumns));
}

void FilterSessionTest::resultFollowsTheBoxesOnlyWhileTheyHoldTheRunsTexts()
{
    QTextDocument keysBox(u"张三\n李四"_s);
    QTextDocument dataBox(u"李四\t80\n张三\t90"_s);
    FilterSession session(&keysBox, &dataBox);
    Told signals(session);
    session.runOnInputs();
    session.commandRecorded(u"已清空"_s);
    signals.take();

    QTextCursor cursor(&dataBox);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u"5"_s);
    session.boxChanged(FilterSession::Box::Data);
    QCOMPARE(signals.take(), u"outdated"_s);
    QVERIFY(session.undoHint().isEmpty());
    // As long as the run's texts, but not them.
    setBox(session, dataBox, FilterSession::Box::Data, u"李四\t80\n张三\t95"_s);
    QCOMPARE(signals.take(), QString());
    QVERIFY(session.resultOutdated());
    setBox(session, dataBox, FilterSession::Box::Data, u"李四\t80\n张三\t90"_s);
    QCOMPARE(signals.take(), u"current runResumed"_s);
    QVERIFY(!session.resultOutdated());
}

void FilterSessionTest::keyColumnThatSettlesNothingIsSaid()
{
    QTextDocument keysBox(u"1\n2"_s);
    QTextDocument dataBox(u"1\tA\n1\tB\n2\tC"_s);
    FilterSession session(&keysBox, &dataBox);
    Told signals(session);
    session.runOnInputs();
    signals.take();
    // The boxes changed since: the run in a column is on the run's own texts.
    setBox(session, keysBox, FilterSession::Box::Keys, QString());
    signals.take();
    session.runInKeyColumn(1);
    QCOMPARE(signals.take(), u"runStarted choiceAwaited keyColumnChangedNothing"_s);
    QCOMPARE(session.run()->fixlines().text(), u"1\r\n2");
    QVERIFY(session.resultOutdated());
}

void FilterSessionTest::adoptedRowsComeBackWithAnUndo()
{
    QTextDocument keysBox(u"王五\n赵六"_s);
    QTextDocument dataBox(u"张三\t90"_s);
    FilterSession session(&keysBox, &dataBox);
    Told signals(session);
    session.runOnInputs();
    session.run()->adopt(0, 0);
    session.adoptResult();
    QCOMPARE(signals.take(), u"current runStarted resultMade noRowFound resultAdopted"_s);

    clearData(session, dataBox);
    setBox(session, dataBox, FilterSession::Box::Data, u"张三\t90"_s);
    QCOMPARE(signals.take(), u"outdated current runResumed"_s);
    // Rows the user took are a result to paste: its columns can be chosen again.
    QVERIFY(session.isEnabled(Action::CopyColumns));
}

QTEST_MAIN(FilterSessionTest)
#include "filtersession_test.moc"
