#include "commandundo.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace lanshan {

CommandUndo::CommandUndo(QWidget *window, const QList<QPlainTextEdit *> &boxes)
    : QObject(window)
{
    // Where the focus stands on anything that does not take Ctrl+Z itself.
    auto *shortcut = new QShortcut(QKeySequence::Undo, window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &CommandUndo::undo);
    // The boxes take Ctrl+Z themselves: while the command is their last step, it goes back whole.
    for (QPlainTextEdit *box : boxes)
        box->installEventFilter(this);
}

CommandUndo::~CommandUndo() = default;

void CommandUndo::recorded(const QList<QPlainTextEdit *> &changed)
{
    m_steps.clear();
    for (QPlainTextEdit *box : changed)
        m_steps.append({box, box->document()->revision()});
}

bool CommandUndo::canUndo() const
{
    return !m_steps.isEmpty() && std::ranges::all_of(m_steps, [](const Step &step) {
        return step.box && step.box->document()->revision() == step.revision && step.box->document()->isUndoAvailable();
    });
}

bool CommandUndo::undo()
{
    if (!canUndo()) {
        m_steps.clear();
        return false;
    }
    const QList<Step> steps = std::exchange(m_steps, {});
    for (const Step &step : steps)
        step.box->undo();
    Q_EMIT undone();
    return true;
}

bool CommandUndo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (!key->matches(QKeySequence::Undo) || !canUndo())
        return false;
    const bool ofTheCommand = std::ranges::any_of(m_steps, [watched](const Step &step) { return step.box == watched; });
    if (!ofTheCommand)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // The box wants the key as a key press, which comes here next.
        event->accept();
        return true;
    }
    undo();
    return true;
}

} // namespace lanshan
