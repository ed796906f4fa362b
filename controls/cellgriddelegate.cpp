#include "cellgriddelegate.h"

#include "tabstopdelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

#include <cmath>

namespace lanshan {

namespace {

using namespace Qt::StringLiterals;

const QStyle *styleOf(const QStyleOptionViewItem &item)
{
    return item.widget ? item.widget->style() : QApplication::style();
}

// The text the item's cells come from: the model's cells where it gives them, else the text
// the item shows.
QString cellText(const QStyleOptionViewItem &item, const QModelIndex &index)
{
    const QVariant cells = index.data(cellTextRole);
    return cells.isValid() ? cells.toString() : item.text;
}

// The whole text for a tooltip, TABs kept: on one line where it fits in 80 average characters,
// else wrapped at that width. A tooltip narrows a short text of its own accord, which a table of
// fixed width prevents.
QString toolTipHtml(const QString &text)
{
    const QString escaped = text.toHtmlEscaped();
    const QString line = u"<p style=\"white-space:pre\">"_s + escaped + u"</p>"_s;
    QTextDocument document;
    document.setDefaultFont(QToolTip::font());
    document.setHtml(line);
    const int widest = static_cast<int>(80 * QFontMetricsF(QToolTip::font()).averageCharWidth());
    if (document.idealWidth() <= widest)
        return line;
    return u"<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\"><tr><td style=\"white-space:pre-wrap\">"_s.arg(
               widest)
           + escaped + u"</td></tr></table>"_s;
}

} // namespace

CellGridDelegate::CellGridDelegate(QAbstractItemView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
{ }

CellGridDelegate::~CellGridDelegate() = default;

void CellGridDelegate::watch(const QAbstractItemModel *model) const
{
    if (m_watched == model)
        return;
    if (m_watched)
        disconnect(m_watched, nullptr, this, nullptr);
    forget();
    m_watched = model;
    if (!model)
        return;
    // Other rows, other columns.
    auto *self = const_cast<CellGridDelegate *>(this);
    const auto drop = [self] { self->forget(); };
    connect(model, &QAbstractItemModel::modelReset, self, drop);
    connect(model, &QAbstractItemModel::layoutChanged, self, drop);
    connect(model, &QAbstractItemModel::rowsInserted, self, drop);
    connect(model, &QAbstractItemModel::rowsRemoved, self, drop);
    connect(model, &QAbstractItemModel::dataChanged, self, drop);
}

void CellGridDelegate::forget() const
{
    m_grids.clear();
}

CellGrid &CellGridDelegate::gridFor(const QModelIndex &index, const QFont &font, const QWidget *widget) const
{
    watch(index.model());
    const int column = index.column();
    // Measured in the font as drawn on the view's screen: another font or resolution, afresh.
    const int dpi = widget ? widget->logicalDpiY() : 0;
    if (const auto known = m_grids.find(column);
        known != m_grids.end() && known->second.font() == font && known->second.dpi() == dpi)
        return known->second;

    // The first rows under each top-level item in the order shown, a key's near rows after the
    // key; in a list, its first rows.
    CellGrid grid(font, widget);
    const QAbstractItemModel *model = index.model();
    const auto widenBy = [&](const QModelIndex &row) {
        const QVariant cells = row.data(cellTextRole);
        const QString text = (cells.isValid() ? cells : row.data(Qt::DisplayRole)).toString();
        grid.widen(GridRow::of(text));
    };
    struct Level
    {
        QModelIndex parent;
        int next;
        int count;
    };
    int budget = sampledGroups * sampledRows;
    for (int top = 0; top < model->rowCount() && budget > 0; ++top) {
        const QModelIndex item = model->index(top, 0);
        widenBy(item.siblingAtColumn(column));
        --budget;
        std::vector<Level> levels{{item, 0, model->rowCount(item)}};
        for (int seen = 0; !levels.empty() && seen < sampledRows && budget > 0;) {
            Level &level = levels.back();
            if (level.next >= level.count) {
                levels.pop_back();
                continue;
            }
            const QModelIndex row = model->index(level.next++, 0, level.parent);
            widenBy(row.siblingAtColumn(column));
            ++seen;
            --budget;
            if (const int children = model->rowCount(row); children > 0)
                levels.push_back({row, 0, children});
        }
    }
    return m_grids.insert_or_assign(column, std::move(grid)).first->second;
}

CellGridDelegate::Layout CellGridDelegate::layOut(const QStyleOptionViewItem &item, const QModelIndex &index) const
{
    Layout layout;
    // The text starts where the style puts it, and may take the item's width up to the style's
    // margin; the style measures no long text to say so.
    const QStyle *style = styleOf(item);
    QStyleOptionViewItem probe = item;
    probe.text = u"M"_s;
    const QRect styled = style->subElementRect(QStyle::SE_ItemViewItemText, &probe, item.widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, item.widget) + 1;
    layout.textRect = QRectF(QPointF(styled.left(), item.rect.top()),
                             QPointF(item.rect.right() + 1 - margin, item.rect.bottom() + 1));
    const QString text = cellText(item, index);
    if (text.isEmpty())
        return layout;
    CellGrid &grid = gridFor(index, item.font, item.widget);
    const GridRow row = GridRow::of(text);
    layout.grew = grid.widen(row);
    layout.cells = grid.place(row, layout.textRect.width());
    for (const PlacedCell &cell : layout.cells)
        layout.cut = layout.cut || cell.elided;
    return layout;
}

void CellGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const Layout layout = layOut(item, index);
    const QColor colour = TabStopDelegate::textColour(item);

    // The style draws the background, the selection and the focus; the cells are drawn here.
    item.text.clear();
    styleOf(item)->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(colour);
    painter->setClipRect(item.rect);
    const QRectF &rect = layout.textRect;
    for (const PlacedCell &cell : layout.cells) {
        painter->drawText(QRectF(rect.left() + cell.x, rect.top(), cell.width, rect.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cell.text);
    }
    painter->restore();

    // A cell wider than its column was: the rows drawn already move to the new columns.
    if (layout.grew && m_view && !m_repaintAsked) {
        m_repaintAsked = true;
        QMetaObject::invokeMethod(
            const_cast<CellGridDelegate *>(this),
            [this] {
                m_repaintAsked = false;
                m_view->viewport()->update();
            },
            Qt::QueuedConnection);
    }
}

QSize CellGridDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = cellText(item, index);
    // The line's height from the text's beginning, in the fonts it falls back to: a long text
    // costs no more.
    item.text = text.left(CellGrid::measuredUnits);
    if (!item.text.isEmpty() && item.text.back().isHighSurrogate())
        item.text.chop(1);
    QSize size = styleOf(item)->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), item.widget);
    if (!text.isEmpty()) {
        const CellGrid &grid = gridFor(index, item.font, item.widget);
        const int margin = styleOf(item)->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, item.widget) + 1;
        size.setWidth(static_cast<int>(std::ceil(grid.extent(GridRow::of(text)))) + 2 * margin);
    }
    return size;
}

QString CellGridDelegate::toolTip(const QStyleOptionViewItem &item, const QModelIndex &index) const
{
    if (!layOut(item, index).cut)
        return {};
    const QString whole = index.data(Qt::ToolTipRole).toString();
    return whole.isEmpty() ? item.text : whole;
}

bool CellGridDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    if (!event || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString tip = toolTip(item, index);
    if (tip.isEmpty()) {
        // All of it is in sight: nothing to add.
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), toolTipHtml(tip), view->viewport(), option.rect);
    return true;
}

QStyleOptionViewItem CellGridDelegate::optionFor(const QModelIndex &index) const
{
    // As the view sets up an item's option before it draws the item.
    QStyleOptionViewItem option;
    option.initFrom(m_view);
    option.state &= ~QStyle::State_HasFocus;
    option.font = m_view->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.widget = m_view;
    option.textElideMode = m_view->textElideMode();
    option.rect = m_view->visualRect(index);
    initStyleOption(&option, index);
    return option;
}

std::vector<CellGridDelegate::DrawnCell> CellGridDelegate::drawnCells(const QModelIndex &index) const
{
    const Layout layout = layOut(optionFor(index), index);
    std::vector<DrawnCell> drawn;
    for (const PlacedCell &cell : layout.cells) {
        drawn.push_back(
            {QRectF(layout.textRect.left() + cell.x, layout.textRect.top(), cell.width, layout.textRect.height()),
             cell.text, cell.elided});
    }
    return drawn;
}

QString CellGridDelegate::toolTipAt(const QModelIndex &index) const
{
    return toolTip(optionFor(index), index);
}

} // namespace lanshan
