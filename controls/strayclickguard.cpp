#include "strayclickguard.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyleHints>
#include <QWidget>

#include <algorithm>

namespace lanshan {

StrayClickGuard::StrayClickGuard(const QList<QWidget *> &guarded, QObject *parent)
    : QObject(parent)
{
    for (QWidget *widget : guarded) {
        m_guarded.append(widget);
        widget->installEventFilter(this);
        if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
            area->viewport()->installEventFilter(this);
    }
    // Precise: a coarse timer may fire a little early, and a click then would move the focus
    // though it answers nothing.
    m_disarm.setSingleShot(true);
    m_disarm.setTimerType(Qt::PreciseTimer);
    connect(&m_disarm, &QTimer::timeout, this, [this] {
        if (armed())
            m_disarm.start(remainingMs());
        else
            restoreClickFocus();
    });
}

StrayClickGuard::~StrayClickGuard()
{
    restoreClickFocus();
}

void StrayClickGuard::arm()
{
    m_armedAt.start();
    m_swallowedPress.clear();
    // Armed again before the end: the policies kept are still the controls' own.
    if (m_clickFocus.empty()) {
        for (const QPointer<QWidget> &widget : std::as_const(m_guarded)) {
            if (!widget || !(widget->focusPolicy() & Qt::ClickFocus))
                continue;
            m_clickFocus.emplace_back(widget, widget->focusPolicy());
            widget->setFocusPolicy((widget->focusPolicy() & Qt::TabFocus) ? Qt::TabFocus : Qt::NoFocus);
        }
    }
    m_disarm.start(remainingMs());
}

int StrayClickGuard::remainingMs() const
{
    const qint64 left = QGuiApplication::styleHints()->mouseDoubleClickInterval() - m_armedAt.elapsed();
    return static_cast<int>(std::max<qint64>(1, left));
}

void StrayClickGuard::restoreClickFocus()
{
    for (const auto &[widget, policy] : m_clickFocus) {
        if (widget)
            widget->setFocusPolicy(policy);
    }
    m_clickFocus.clear();
}

bool StrayClickGuard::armed() const
{
    return m_armedAt.isValid() && m_armedAt.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

bool StrayClickGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!armed())
            return false;
        m_swallowedPress = watched;
        return true;
    case QEvent::MouseButtonRelease:
        if (m_swallowedPress != watched)
            return false;
        m_swallowedPress.clear();
        return true;
    case QEvent::KeyPress: {
        // The keys that answer: a second Enter right after the one that ran the filter, or one
        // held down, answers nothing.
        const auto *key = static_cast<const QKeyEvent *>(event);
        const bool answers = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
        return answers && (armed() || key->isAutoRepeat());
    }
    default: return false;
    }
}

} // namespace lanshan
