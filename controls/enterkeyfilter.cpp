#include "enterkeyfilter.h"

#include <QKeyEvent>
#include <QWidget>

namespace lanshan {

EnterKeyFilter::EnterKeyFilter(QWidget *widget)
    : QObject(widget)
{
    widget->installEventFilter(this);
}

EnterKeyFilter *EnterKeyFilter::install(QWidget *widget)
{
    return new EnterKeyFilter(widget);
}

bool EnterKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Q_EMIT pressed();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lanshan
