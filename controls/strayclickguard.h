#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <utility>
#include <vector>

class QWidget;

namespace lanshan {

// Ignores clicks of the mouse on some controls for the platform's double-click interval after
// arm(): a panel that opens under the pointer, or whose question changes there, must not take
// the second click of a double-click meant for what stood there before as an answer. So with
// Enter and Space pressed in that time, and with those keys held down at any time. Other keys
// are not affected, nor clicks and presses that come later.
//
// An ignored click leaves the focus where it was: the application gives a control the focus on
// a press before any filter of the control sees the press, so for that time the controls take
// the focus by Tab only. Else the next Enter would press the control clicked by mistake.
class StrayClickGuard : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StrayClickGuard)

public:
    // A list (a scroll area) is guarded in its viewport too, where its clicks arrive.
    StrayClickGuard(const QList<QWidget *> &guarded, QObject *parent);
    ~StrayClickGuard() override;

    // The guarded controls were just shown, or now stand for another question.
    void arm();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool armed() const;
    int remainingMs() const;
    // Gives the controls back the focus by click that arm() took from them.
    void restoreClickFocus();

    QList<QPointer<QWidget>> m_guarded;
    QElapsedTimer m_armedAt;
    QTimer m_disarm;
    // The controls' own focus policies while they take the focus by Tab only.
    std::vector<std::pair<QPointer<QWidget>, Qt::FocusPolicy>> m_clickFocus;
    // The control whose press was ignored: its release goes the same way, whenever it comes.
    QPointer<QObject> m_swallowedPress;
};

} // namespace lanshan
