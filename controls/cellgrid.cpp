#include "cellgrid.h"

#include <QPaintDevice>

#include <algorithm>
#include <limits>

namespace lanshan {

namespace {

constexpr char16_t ellipsis = u'\u2026';

// The first units of a text, one fewer where the cut would split a surrogate pair.
QStringView head(QStringView text, qsizetype units)
{
    if (text.size() <= units)
        return text;
    if (units > 0 && text[units - 1].isHighSurrogate())
        --units;
    return text.first(units);
}

} // namespace

GridRow GridRow::of(QStringView line)
{
    GridRow row;
    for (qsizetype start = 0;;) {
        if (row.cells.size() == static_cast<std::size_t>(maxCells)) {
            row.more = true;
            break;
        }
        const qsizetype tab = line.indexOf(u'\t', start);
        const QStringView cell = line.sliced(start, (tab < 0 ? line.size() : tab) - start);
        const QStringView shown = head(cell, maxUnits);
        row.cells.push_back({shown, shown.size() < cell.size()});
        if (tab < 0)
            break;
        start = tab + 1;
    }
    return row;
}

CellGrid::CellGrid(const QFont &font, const QPaintDevice *device)
    : m_font(font)
    , m_dpi(device ? device->logicalDpiY() : 0)
    , m_metrics(font, device)
    , m_cap(capCharacters * m_metrics.averageCharWidth())
    , m_gap(gapCharacters * m_metrics.averageCharWidth())
    , m_starts{0}
{ }

qreal CellGrid::measure(const GridRow::Cell &cell) const
{
    const QStringView measured = head(cell.text, measuredUnits);
    if (cell.cut || measured.size() < cell.text.size())
        return m_cap;
    return std::min(m_metrics.horizontalAdvance(measured.toString()), m_cap);
}

bool CellGrid::widen(const GridRow &row)
{
    // The last cell stands alone at the end of its row, unless cells follow unseen.
    const std::size_t measured =
        row.more ? row.cells.size() : row.cells.size() - std::min<std::size_t>(row.cells.size(), 1);
    bool grew = false;
    for (std::size_t k = 0; k < measured; ++k) {
        const qreal width = measure(row.cells[k]);
        if (k >= m_widths.size()) {
            m_widths.push_back(width);
            grew = true;
        } else if (width > m_widths[k]) {
            m_widths[k] = width;
            grew = true;
        }
    }
    if (grew) {
        m_starts.resize(m_widths.size() + 1);
        for (std::size_t k = 0; k < m_widths.size(); ++k)
            m_starts[k + 1] = m_starts[k] + m_widths[k] + m_gap;
    }
    return grew;
}

qreal CellGrid::columnStart(int column) const
{
    return m_starts[std::clamp<std::size_t>(static_cast<std::size_t>(std::max(column, 0)), 0, m_widths.size())];
}

qreal CellGrid::columnWidth(int column) const
{
    return column >= 0 && column < columns() ? m_widths[static_cast<std::size_t>(column)] : m_cap;
}

QString CellGrid::elide(QStringView text, qreal room, bool more) const
{
    const QString whole = text.toString();
    if (!more) {
        QString elided = m_metrics.elidedText(whole, Qt::ElideRight, room);
        // Too narrow even for "…": the mark alone, clipped, rather than nothing.
        return elided.isEmpty() && !whole.isEmpty() ? QString(ellipsis) : elided;
    }
    // More follows: the text ends with "…" whether it fits or not.
    const QString marked = whole + ellipsis;
    if (m_metrics.horizontalAdvance(marked) <= room)
        return marked;
    QString elided = m_metrics.elidedText(whole, Qt::ElideRight, room - m_metrics.horizontalAdvance(ellipsis));
    if (!elided.endsWith(ellipsis))
        elided += ellipsis;
    // Some fonts round a short text narrower for eliding than when it is measured: "…" alone
    // then, rather than a text that spills over the next column.
    if (m_metrics.horizontalAdvance(elided) > room)
        elided = QString(ellipsis);
    return elided;
}

std::vector<PlacedCell> CellGrid::place(const GridRow &row, qreal width) const
{
    const std::size_t count = row.cells.size();
    // Where each cell starts, and where a cell after them would: in its column, or, past the
    // columns measured, after the cell before it.
    std::vector<qreal> starts(count + 1);
    for (std::size_t k = 0; k <= count; ++k) {
        if (k < m_starts.size())
            starts[k] = m_starts[k];
        else
            starts[k] = starts[k - 1] + measure(row.cells[k - 1]) + m_gap;
    }
    const qreal mark = m_metrics.horizontalAdvance(ellipsis);
    std::vector<PlacedCell> placed;
    for (std::size_t k = 0; k < count; ++k) {
        const bool follows = k + 1 < count || row.more;
        // The next cell shows where there is room for at least its "…".
        const bool nextShown = k + 1 < count && starts[k + 1] + mark <= width;
        const bool takesRest = !nextShown;
        const qreal room = std::max<qreal>(0, takesRest ? width - starts[k] : starts[k + 1] - starts[k] - m_gap);
        const GridRow::Cell &cell = row.cells[k];
        PlacedCell out{starts[k], room, elide(cell.text, room, cell.cut || (follows && takesRest)), false};
        out.elided = out.text != cell.text;
        placed.push_back(std::move(out));
        if (takesRest)
            break;
    }
    return placed;
}

qreal CellGrid::extent(const GridRow &row) const
{
    if (row.cells.empty())
        return 0;
    const std::vector<PlacedCell> all = place(row, std::numeric_limits<qreal>::max() / 4);
    const PlacedCell &last = all.back();
    return last.x + m_metrics.horizontalAdvance(last.text);
}

} // namespace lanshan
