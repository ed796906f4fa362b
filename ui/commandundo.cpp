#include "commandundo.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QSet>
#include <QShortcut>
#include <QTextDocument>

#include <algorithm>

namespace lanshan {

CommandUndo::CommandUndo(QWidget *window, const QList<QPlainTextEdit *> &boxes)
    : QObject(window)
    , m_boxes(boxes)
{
    // Where the focus stands on anything that does not take Ctrl+Z itself.
    auto *shortcut = new QShortcut(QKeySequence::Undo, window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &CommandUndo::undo);
    // The boxes take Ctrl+Z themselves: while a command is their last step, it goes back whole.
    for (QPlainTextEdit *box : boxes)
        box->installEventFilter(this);
    commandStarts();
}

CommandUndo::~CommandUndo() = default;

void CommandUndo::commandStarts()
{
    m_revisionsBefore.clear();
    for (const QPlainTextEdit *box : std::as_const(m_boxes))
        m_revisionsBefore.append(box->document()->revision());
}

void CommandUndo::recorded(const QList<QPlainTextEdit *> &changed, const QString &hint)
{
    Command command{{}, hint};
    for (QPlainTextEdit *box : changed) {
        const qsizetype at = m_boxes.indexOf(box);
        // A box the window does not watch cannot be taken back with the others.
        if (at < 0 || at >= m_revisionsBefore.size())
            continue;
        command.steps.append({box, m_revisionsBefore[at], box->document()->revision()});
    }
    if (!command.steps.isEmpty())
        m_commands.append(command);
}

void CommandUndo::clear()
{
    m_commands.clear();
}

qsizetype CommandUndo::newestWhole(const QPlainTextEdit *in) const
{
    // Newest first. A box that a command changed and that changed otherwise since (or whose
    // newer command is still standing) leaves every older command on it unable to go back
    // whole: undoing that box's step would take back something else.
    QSet<const QPlainTextEdit *> blocked;
    for (qsizetype at = m_commands.size() - 1; at >= 0; --at) {
        const QList<Step> &steps = m_commands[at].steps;
        const bool whole = std::ranges::all_of(steps, [&blocked](const Step &step) {
            return step.box && !blocked.contains(step.box) && step.box->document()->revision() == step.after
                   && step.box->document()->isUndoAvailable();
        });
        const bool changedIn = !in || std::ranges::any_of(steps, [in](const Step &step) { return step.box == in; });
        if (whole && changedIn)
            return at;
        for (const Step &step : steps)
            blocked.insert(step.box);
    }
    return -1;
}

bool CommandUndo::canUndo() const
{
    return newestWhole() >= 0;
}

QString CommandUndo::nextHint() const
{
    const qsizetype at = newestWhole();
    return at >= 0 ? m_commands[at].hint : QString();
}

void CommandUndo::undoAt(qsizetype at)
{
    const Command command = m_commands.takeAt(at);
    for (const Step &step : command.steps) {
        step.box->undo();
        // The older command on this box, where the box went straight from it to this one,
        // stands again as the box's last step, at the box's new revision.
        for (qsizetype older = at - 1; older >= 0; --older) {
            auto same =
                std::ranges::find_if(m_commands[older].steps, [&step](const Step &s) { return s.box == step.box; });
            if (same == m_commands[older].steps.end())
                continue;
            if (same->after == step.before)
                same->after = step.box->document()->revision();
            break;
        }
    }
    Q_EMIT undone();
}

bool CommandUndo::undo()
{
    const qsizetype at = newestWhole();
    if (at < 0)
        return false;
    undoAt(at);
    return true;
}

bool CommandUndo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (!key->matches(QKeySequence::Undo))
        return false;
    const qsizetype at = newestWhole(qobject_cast<const QPlainTextEdit *>(watched));
    if (at < 0)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // The box wants the key as a key press, which comes here next.
        event->accept();
        return true;
    }
    undoAt(at);
    return true;
}

} // namespace lanshan
