#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QPlainTextEdit;
class QWidget;

namespace lanshan {

// Ctrl+Z for the window's commands that clear or replace the input boxes. Each box keeps its
// own undo history, where such a command is one step; after the command, Ctrl+Z anywhere in the
// window (on a button, a list, the result box, or one of the command's boxes) takes that step
// back in every box the command changed, together. Once one of those boxes changed otherwise,
// Ctrl+Z is the boxes' own again.
class CommandUndo : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommandUndo)

public:
    // boxes: the input boxes, whose own Ctrl+Z undoes the whole command while it is the last
    // thing done in them.
    CommandUndo(QWidget *window, const QList<QPlainTextEdit *> &boxes);
    ~CommandUndo() override;

    // A command just changed these boxes, each by one step of its history.
    void recorded(const QList<QPlainTextEdit *> &changed);
    // Whether the last command can still be taken back as a whole.
    bool canUndo() const;
    // Takes it back; false, and nothing done, where it cannot.
    bool undo();

Q_SIGNALS:
    void undone();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Step
    {
        QPointer<QPlainTextEdit> box;
        int revision = 0; // the box's document right after the command
    };
    QList<Step> m_steps;
};

} // namespace lanshan
