#include "growthlayout.h"

#include <QEvent>
#include <QWidget>

#include <cmath>

namespace lanshan {

GrowthLayout::GrowthLayout(QWidget *container)
    : QObject(container)
    , m_container(container)
    , m_designedSize(container->size())
{
    container->installEventFilter(this);
}

GrowthLayout::~GrowthLayout() = default;

void GrowthLayout::add(QWidget *control, Growth growth)
{
    m_entries.push_back({control, control->geometry(), growth});
    if (m_container->size() != m_designedSize)
        apply();
}

bool GrowthLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

void GrowthLayout::apply()
{
    const int dx = m_container->width() - m_designedSize.width();
    const int dy = m_container->height() - m_designedSize.height();
    const auto share = [](double factor, int delta) { return static_cast<int>(std::lround(factor * delta)); };
    for (const Entry &entry : m_entries) {
        if (!entry.control)
            continue;
        const Growth &g = entry.growth;
        // Edges are rounded, not sizes, so that controls that meet at the design meet here too.
        const int left = entry.designed.left() + share(g.left, dx);
        const int top = entry.designed.top() + share(g.top, dy);
        const int right = entry.designed.left() + entry.designed.width() + share(g.left + g.width, dx);
        const int bottom = entry.designed.top() + entry.designed.height() + share(g.top + g.height, dy);
        const QSize size(std::max(0, right - left), std::max(0, bottom - top));
        switch (g.follows) {
        case Growth::Follows::Size: entry.control->resize(size); break;
        case Growth::Follows::Place: entry.control->move(left, top); break;
        case Growth::Follows::Geometry: entry.control->setGeometry(QRect(QPoint(left, top), size)); break;
        }
    }
}

} // namespace lanshan
