#include "strayclickguard.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyleHints>
#include <QWidget>

namespace lanshan {

StrayClickGuard::StrayClickGuard(const QList<QWidget *> &guarded, QObject *parent)
    : QObject(parent)
{
    for (QWidget *widget : guarded)
        widget->installEventFilter(this);
}

StrayClickGuard::~StrayClickGuard() = default;

void StrayClickGuard::arm()
{
    m_armedAt.start();
    m_swallowedPress.clear();
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
