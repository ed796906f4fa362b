#include "strayclickguard.h"

#include <QEvent>
#include <QGuiApplication>
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
    default: return false;
    }
}

} // namespace lanshan
