#include "columnshare.h"

#include <QEvent>
#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace lanshan {

namespace {

// A share the user dragged to: never so far that a neighbour vanishes.
constexpr double fewest = 0.05;
constexpr double most = 0.95;

} // namespace

ColumnShare::ColumnShare(QHeaderView *header, int section, double share)
    : QObject(header)
    , m_header(header)
    , m_section(section)
    , m_share(std::clamp(share, fewest, most))
{
    header->installEventFilter(this);
    connect(header, &QHeaderView::sectionResized, this, &ColumnShare::resized);
    apply();
}

int ColumnShare::room() const
{
    int fixed = 0;
    for (int section = 0; section < m_section; ++section)
        fixed += m_header->sectionSize(section);
    return m_header->width() - fixed;
}

void ColumnShare::apply()
{
    const int room = this->room();
    if (room <= 0 || m_section >= m_header->count())
        return;
    m_applying = true;
    m_header->resizeSection(m_section, static_cast<int>(std::lround(m_share * room)));
    m_applying = false;
}

bool ColumnShare::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

void ColumnShare::resized(int section, int, int newSize)
{
    if (m_applying || section > m_section || section == m_header->count() - 1)
        return;
    if (section == m_section) {
        if (const int room = this->room(); room > 0)
            m_share = std::clamp(static_cast<double>(newSize) / room, fewest, most);
    }
    // A section before it took or gave room: the share holds in what is left.
    apply();
}

} // namespace lanshan
