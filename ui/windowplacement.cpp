#include "windowplacement.h"

#include "twips.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace lanshan {

WindowPlacement::WindowPlacement(QWidget *window, QSize designed, int lowest)
    : QObject(window)
    , m_window(window)
    , m_designed(designed)
    , m_lowest(lowest)
{
    window->installEventFilter(this);
}

WindowPlacement::~WindowPlacement() = default;

void WindowPlacement::place()
{
    placeWith(guessedFrame());
}

QMargins WindowPlacement::guessedFrame() const
{
    // A title bar and thin borders as most desktops draw them.
    const int border = toPixels(60);
    return {border, m_window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + toPixels(150), border, border};
}

void WindowPlacement::placeWith(QMargins frame)
{
    const QScreen *screen = m_window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize size(m_designed.width(),
                     std::clamp(available.height() - frame.top() - frame.bottom(), m_lowest, m_designed.height()));
    m_window->setMinimumSize(size);
    m_window->resize(size);
    // move() places the frame's corner.
    const QSize outer = size.grownBy(frame);
    m_window->move(available.topLeft()
                   + QPoint(std::max(0, (available.width() - outer.width()) / 2),
                            std::max(0, (available.height() - outer.height()) / 2)));
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Show && !m_framed) {
        m_framed = true;
        // The frame comes with the platform's next turn.
        QTimer::singleShot(0, this, &WindowPlacement::refitWithItsFrame);
    }
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::refitWithItsFrame()
{
    const QRect inner = m_window->geometry();
    const QRect outer = m_window->frameGeometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    const QScreen *screen = m_window->screen();
    if (screen && !m_window->isMaximized() && !screen->availableGeometry().contains(outer) && !frame.isNull())
        placeWith(frame);
}

} // namespace lanshan
