#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace lanshan {

// Ignores clicks of the mouse on some controls for the platform's double-click interval after
// arm(): a panel that opens under the pointer, or whose question changes there, must not take
// the second click of a double-click meant for what stood there before as an answer. So with
// Enter and Space pressed in that time, and with those keys held down at any time. Other keys
// are not affected, nor clicks and presses that come later.
class StrayClickGuard : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StrayClickGuard)

public:
    StrayClickGuard(const QList<QWidget *> &guarded, QObject *parent);
    ~StrayClickGuard() override;

    // The guarded controls were just shown, or now stand for another question.
    void arm();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool armed() const;

    QElapsedTimer m_armedAt;
    // The control whose press was ignored: its release goes the same way, whenever it comes.
    QPointer<QObject> m_swallowedPress;
};

} // namespace lanshan
