#include "filtersession.h"

#include "boxtext.h"
#include "filterrun.h"
#include "runoptions.h"
#include "swappedinputs.h"

#include <QTextDocument>

namespace lanshan {

FilterSession::FilterSession(const QTextDocument *keys, const QTextDocument *data, QObject *parent)
    : QObject(parent)
    , m_keys(keys)
    , m_data(data)
{ }

FilterSession::~FilterSession() = default;

void FilterSession::runOnInputs()
{
    m_outdated = false;
    m_undoHint.clear();
    m_runKeysLength = m_keys->characterCount();
    m_runDataLength = m_data->characterCount();
    Q_EMIT outdatedChanged(false);
    // Every press looks for the keys by the rule; a column holds for the run it was chosen for.
    startRun(documentText(m_keys), documentText(m_data), RunOptions{});
}

void FilterSession::runInKeyColumn(std::size_t column)
{
    if (!m_run)
        return;
    // The texts the report and the questions were about, whatever the boxes hold by now. A list
    // of several columns is looked for each cell in its own column, as most lines hold them.
    const KeyColumnChoice choice =
        m_run->keyListColumns() > 1 || column == 0 ? KeyColumnChoice::automatic() : KeyColumnChoice::inColumn(column);
    const std::size_t questionsBefore = m_run->questionCount();
    startRun(m_run->fixlines().text(), m_run->datalines().text(), RunOptions{DuplicateRows::Ask, choice, {}});
    // Where it settled none of the questions, the panel says so at the first of them.
    if (m_run->state() == FilterRun::State::AwaitingChoice && m_run->questionCount() == questionsBefore)
        Q_EMIT keyColumnChangedNothing();
}

void FilterSession::runOnKeyCells(const std::vector<std::size_t> &cells)
{
    if (!m_run)
        return;
    // As the run in the key column: on the run's own texts, for this run only.
    RunOptions options;
    options.keyCells = cells;
    startRun(m_run->fixlines().text(), m_run->datalines().text(), options);
}

void FilterSession::startRun(std::u16string keys, std::u16string data, const RunOptions &options)
{
    // An earlier run that waits for a choice is dropped with its question.
    setEnabled(Action::CopyColumns, false);
    m_delivered = false;
    m_run = std::make_shared<FilterRun>(std::move(keys), std::move(data), options);
    Q_EMIT runStarted();
    if (m_run->state() == FilterRun::State::TooFewLines) {
        Q_EMIT tooFewLines();
        return;
    }
    continueRun();
}

void FilterSession::continueRun()
{
    Q_EMIT linesSettled();
    if (m_run->state() == FilterRun::State::AwaitingChoice) {
        Q_EMIT choiceAwaited();
    } else {
        Q_EMIT questionsEnded();
        finishRun();
    }
}

void FilterSession::finishRun()
{
    const QString resultText = QString::fromStdU16String(m_run->resultText());
    Q_EMIT resultMade(resultText);
    // The boxes as they stand now: the user may have changed the inputs behind the panel.
    if (needsWarning(m_keys->isEmpty(), m_data->isEmpty(), resultText.isEmpty())) {
        Q_EMIT inputsToCheck();
        return;
    }
    setEnabled({Action::Toggle, Action::SyncView, Action::CopyColumns}, true);
    Q_EMIT resultStands();
    // Empty lines only are no result: the clipboard keeps what it held, and the user is told what
    // to check, or offered the boxes the other way round where that would find rows.
    if (foundNoRow(*m_run)) {
        Q_EMIT noRowFound(inputsLookSwapped(m_run->fixlines(), m_run->datalines()));
        return;
    }
    m_delivered = true;
    Q_EMIT resultDelivered(resultText);
}

void FilterSession::adoptResult()
{
    // Rows the user took make a result to paste, also after a run that found none.
    m_delivered = true;
    Q_EMIT resultAdopted(QString::fromStdU16String(m_run->resultText()));
}

void FilterSession::boxChanged(Box box)
{
    setEnabled(box == Box::Keys ? Action::ClearKeys : Action::ClearData, true);
    setEnabled(Action::ClearAll, true);
    if (m_keys->isEmpty() && m_data->isEmpty())
        setEnabled({Action::Filter, Action::Toggle, Action::SyncView}, false);
    else
        setEnabled(Action::Filter, true);

    Q_EMIT inputsChanged();
    // What a command said of its Ctrl+Z holds until the boxes change again.
    const bool hintGone = !m_undoHint.isEmpty();
    m_undoHint.clear();
    // The result box keeps the run's result, which the line below the buttons says no longer
    // follows from the boxes (also when they change while a choice waits), until they hold the
    // run's texts again. Most keystrokes change neither: the line stays as it is.
    const bool outdated = m_run && !inputsMatchRun();
    if (outdated == m_outdated) {
        if (hintGone)
            Q_EMIT summaryChanged();
        return;
    }
    m_outdated = outdated;
    Q_EMIT outdatedChanged(outdated);
    if (!outdated && m_run->state() == FilterRun::State::Finished) {
        Q_EMIT runResumed();
        if (m_delivered)
            setEnabled({Action::Toggle, Action::SyncView, Action::CopyColumns}, true);
    }
    Q_EMIT summaryChanged();
}

bool FilterSession::inputsMatchRun() const
{
    // The lengths first: comparing the texts costs a pass over both.
    if (m_keys->characterCount() != m_runKeysLength || m_data->characterCount() != m_runDataLength)
        return false;
    return documentText(m_keys) == m_run->fixlines().text() && documentText(m_data) == m_run->datalines().text();
}

void FilterSession::cleared(Cleared which)
{
    switch (which) {
    case Cleared::Keys: setEnabled(Action::ClearKeys, false); break;
    case Cleared::Data: setEnabled({Action::CopyColumns, Action::ClearData}, false); break;
    case Cleared::Both:
        // The clearing buttons of the single boxes stay as the boxes' changes left them.
        setEnabled({Action::CopyColumns, Action::ClearAll}, false);
        break;
    }
}

void FilterSession::commandRecorded(const QString &hint)
{
    m_undoHint = hint;
    Q_EMIT summaryChanged();
}

void FilterSession::setEnabled(Action action, bool enabled)
{
    bool &state = m_enabled[static_cast<std::size_t>(action)];
    if (state == enabled)
        return;
    state = enabled;
    Q_EMIT enabledChanged(action, enabled);
}

void FilterSession::setEnabled(std::initializer_list<Action> actions, bool enabled)
{
    for (const Action action : actions)
        setEnabled(action, enabled);
}

} // namespace lanshan
