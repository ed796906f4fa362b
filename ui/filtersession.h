#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QTextDocument;

namespace lanshan {

class FilterRun;
struct RunOptions;

// The filter's run from the press of "数据筛选" to its result: the questions on the way, the
// result handed over or refused, the run again in a key column, rows adopted from the report,
// and whether the result still follows from the boxes. It also keeps which commands can be
// used. It reads the two input boxes' texts and tells by signal; the window shows and asks.
class FilterSession : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FilterSession)

public:
    // The commands whose buttons this session enables.
    enum class Action { Filter, Toggle, SyncView, CopyColumns, ClearAll, ClearKeys, ClearData, Count };
    enum class Box { Keys, Data };
    // What a clearing command emptied.
    enum class Cleared { Keys, Data, Both };

    // keys, data: the documents of the key box and the data box.
    FilterSession(const QTextDocument *keys, const QTextDocument *data, QObject *parent = nullptr);
    ~FilterSession() override;

    // The latest run, or none before the first one.
    const std::shared_ptr<FilterRun> &run() const { return m_run; }
    bool isEnabled(Action action) const { return m_enabled[static_cast<std::size_t>(action)]; }
    // The boxes differ from the texts of the run whose result the result box shows.
    bool resultOutdated() const { return m_outdated; }
    // What the line below the buttons says after a clearing command, until the boxes change.
    const QString &undoHint() const { return m_undoHint; }

    // The run on the boxes as they stand.
    void runOnInputs();
    // The latest run again on its own texts, the keys looked for in one column (from 1) only.
    void runInKeyColumn(std::size_t column);
    // The latest run again on its own texts, a list of several columns matched on these of its
    // columns (from 1) only.
    void runOnKeyCells(const std::vector<std::size_t> &cells);
    // A question was answered: on to the next one, or to the result.
    void continueRun();
    // Rows were taken into the result from the report.
    void adoptResult();
    // A box changed, by the user or by a command.
    void boxChanged(Box box);
    // A clearing command emptied these boxes.
    void cleared(Cleared which);
    // A command that Ctrl+Z takes back, with the hint that says so, or none.
    void commandRecorded(const QString &hint);

Q_SIGNALS:
    void enabledChanged(FilterSession::Action action, bool enabled);
    // A new run replaces the latest one; the panels drop what they showed of it.
    void runStarted();
    void tooFewLines();
    // The next questionable key line waits for the user's choice.
    void choiceAwaited();
    // A run in a key column asked for from the questions settled none of them.
    void keyColumnChangedNothing();
    void questionsEnded();
    // The panels note the settled lines.
    void linesSettled();
    // The run's result is made: the window shows it and the report.
    void resultMade(const QString &resultText);
    // The result would be blank or the inputs are gone: the user checks them.
    void inputsToCheck();
    // The result stands in the result box and can be viewed and copied.
    void resultStands();
    // Only empty lines: nothing for the clipboard. swapped: the boxes the other way round
    // would find rows.
    void noRowFound(bool swapped);
    // A result to paste, for the clipboard.
    void resultDelivered(const QString &resultText);
    void resultAdopted(const QString &resultText);
    // The inputs changed; the columns chosen for the clipboard no longer hold.
    void inputsChanged();
    void outdatedChanged(bool outdated);
    // The boxes hold the run's texts again (an undo): its result and report come back.
    void runResumed();
    // The line below the buttons has something else to say.
    void summaryChanged();

private:
    void startRun(std::u16string keys, std::u16string data, const RunOptions &options);
    void finishRun();
    bool inputsMatchRun() const;
    void setEnabled(Action action, bool enabled);
    void setEnabled(std::initializer_list<Action> actions, bool enabled);

    const QTextDocument *m_keys;
    const QTextDocument *m_data;
    std::shared_ptr<FilterRun> m_run;
    std::array<bool, static_cast<std::size_t>(Action::Count)> m_enabled{};
    bool m_outdated = false;
    // The run ended with a result to paste, which went to the clipboard; or with empty lines
    // only, which never go there.
    bool m_delivered = false;
    // The boxes' lengths when the run was given their texts: most edits differ there.
    int m_runKeysLength = 0;
    int m_runDataLength = 0;
    QString m_undoHint;
};

} // namespace lanshan
