#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QPlainTextEdit;
class QWidget;

namespace lanshan {

// Ctrl+Z for the window's commands that clear or replace the input boxes. Each box keeps its
// own undo history, where such a command is one step. The commands since the last run stand
// in a stack: Ctrl+Z anywhere in the window (on a button, a list, the result box, or one of the
// command's boxes) takes back the newest command still whole, in every box it changed, together;
// the next Ctrl+Z the one before it. Once one of a command's boxes changed otherwise, that
// command, and every older one that shares a box with it, is no longer whole: Ctrl+Z in those
// boxes is the boxes' own again.
class CommandUndo : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommandUndo)

public:
    // boxes: the input boxes, whose own Ctrl+Z undoes a whole command while it is the last thing
    // done in them.
    CommandUndo(QWidget *window, const QList<QPlainTextEdit *> &boxes);
    ~CommandUndo() override;

    // A command is about to change the boxes: what they hold now is what its undo gives back.
    void commandStarts();
    // The command just changed these boxes, each by one step of its history; hint: what the
    // window says of taking it back.
    void recorded(const QList<QPlainTextEdit *> &changed, const QString &hint);
    // A fresh stack: the commands so far are the boxes' own steps only.
    void clear();
    // Whether a command can still be taken back as a whole.
    bool canUndo() const;
    // The hint of the command that Ctrl+Z would take back next; empty where there is none.
    QString nextHint() const;
    // Takes back the newest whole command; false, and nothing done, where there is none.
    bool undo();

Q_SIGNALS:
    void undone();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Step
    {
        QPointer<QPlainTextEdit> box;
        int before = 0; // the box's document revision right before the command
        int after = 0;  // and right after it, or after the newer commands on it were undone
    };
    struct Command
    {
        QList<Step> steps;
        QString hint;
    };
    // The newest whole command, and with a box, the newest whole one that changed it; -1: none.
    qsizetype newestWhole(const QPlainTextEdit *in = nullptr) const;
    void undoAt(qsizetype at);

    QList<QPlainTextEdit *> m_boxes;
    QList<int> m_revisionsBefore;
    QList<Command> m_commands;
};

} // namespace lanshan
