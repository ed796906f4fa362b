#include "tabstopdelegate.h"

#include "contrast.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QStringTokenizer>
#include <QStyleOption>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace lanshan {

namespace {

// An item's entry number and its cells: "12.李四\t80" is "12." and "李四", "80"; "   3. 3"
// (a list that marks a line, the number set apart) is "   3." and "3"; "5.\t80" the number, an
// empty cell and "80". An item without one starts with its first cell.
struct ItemColumns
{
    qsizetype numberLength = 0; // 0: no entry number
    qsizetype cellsFrom = 0;
};

ItemColumns splitItem(QStringView text)
{
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype at = text.startsWith(u"[*]") || text.startsWith(u"   ") ? 3 : 0;
    const qsizetype digits = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    if (at == digits || at >= text.size() || text[at] != u'.')
        return {};
    ++at;
    // The space that sets a number apart ends the column; a TAB starts an empty first cell.
    const bool apart = at < text.size() && text[at] == u' ';
    return {at, apart ? at + 1 : at};
}

// The colour the style fills a selected item with, as drawn: some styles draw a selection of
// their own (a pale one) rather than the palette's highlight. Drawn once per style, palette and
// state into a small picture and read in its middle.
QColor selectionBackground(const QStyle *style, const QStyleOptionViewItem &item, const QWidget *widget)
{
    static QHash<QString, QColor> drawn;
    const QStyle::State state = item.state & (QStyle::State_Selected | QStyle::State_Active | QStyle::State_Enabled);
    const QString key = QString::number(reinterpret_cast<quintptr>(style)) + u' '
                        + QString::number(item.palette.cacheKey()) + u' ' + QString::number(int(state));
    if (const auto known = drawn.constFind(key); known != drawn.constEnd())
        return *known;
    QStyleOptionViewItem sample = item;
    sample.text.clear();
    sample.icon = {};
    sample.state = state;
    sample.rect = QRect(0, 0, 64, 20);
    QImage picture(sample.rect.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(item.palette.color(QPalette::Base));
    {
        QPainter painter(&picture);
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &sample, &painter, widget);
    }
    const QColor colour = picture.pixelColor(sample.rect.center());
    drawn.insert(key, colour);
    return colour;
}

// Where each column starts, from the widest cells: the cells after the entry number a space
// after the widest number, every later column at the first TAB stop (eight average characters,
// counted from the first cell as the boxes count from a line's start) that leaves a gap of one
// average character after the widest cell before it. A column empty in every item takes no
// room: the row after the number and TAB of a candidate entry ("5.\trow") starts beside it.
QList<qreal> columnStarts(const QList<qreal> &widths, const QFontMetricsF &metrics)
{
    const qreal unit = 8.0 * metrics.averageCharWidth();
    const qreal gap = metrics.averageCharWidth();
    QList<qreal> starts(widths.size(), 0.0);
    if (widths.size() > 1)
        starts[1] = widths[0] > 0 ? widths[0] + metrics.horizontalAdvance(u' ') : 0.0;
    for (qsizetype c = 2; c < widths.size(); ++c)
        starts[c] = widths[c - 1] > 0
                        ? starts[1] + std::ceil((starts[c - 1] - starts[1] + widths[c - 1] + gap) / unit) * unit
                        : starts[c - 1];
    return starts;
}

} // namespace

TabStopDelegate::TabStopDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{ }

void TabStopDelegate::forgetWidths()
{
    m_widths.clear();
}

QList<int> TabStopDelegate::layOut(QTextLayout &layout, const QStyleOptionViewItem &item, bool *grown) const
{
    *grown = false;
    // Pixels of one font on one device: the list in another font, or on a screen of another
    // resolution, is measured afresh.
    const QFont &font = item.widget ? item.widget->font() : item.font;
    const int dpi = item.widget ? item.widget->logicalDpiX() : 0;
    if (font != m_font || dpi != m_dpi) {
        m_widths.clear();
        m_font = font;
        m_dpi = dpi;
    }
    const QFontMetricsF metrics(item.font, item.widget);
    const QString &text = item.text;
    const ItemColumns split = splitItem(text);
    const QStringView number = QStringView(text).first(split.numberLength);
    QList<QStringView> cells;
    for (const QStringView cell : QStringView(text).mid(split.cellsFrom).tokenize(u'\t'))
        cells.append(cell);
    const auto measure = [&](qsizetype column, QStringView cell) {
        if (m_widths.size() <= column)
            m_widths.resize(column + 1, 0.0);
        const qreal width = metrics.horizontalAdvance(cell.toString());
        if (width > m_widths[column]) {
            m_widths[column] = width;
            *grown = true;
        }
    };
    measure(0, number);
    for (qsizetype k = 0; k < cells.size(); ++k)
        measure(k + 1, cells[k]);

    // The number, then each cell after a TAB that takes it to its column's stop; a column empty
    // in every item takes no room, and no TAB. An item without a number in a list whose other
    // items have one starts at a TAB too.
    const QList<qreal> starts = columnStarts(m_widths, metrics);
    QString laidOut = number.toString();
    QList<QTextOption::Tab> tabs;
    QList<int> columnAt;
    if (!number.isEmpty())
        columnAt.append(0);
    for (qsizetype k = 0; k < cells.size(); ++k) {
        const qsizetype column = k + 1;
        const bool collapsed = column >= 2 && m_widths[column - 1] <= 0;
        if (starts[column] > 0 && !collapsed) {
            laidOut += u'\t';
            if (tabs.isEmpty() || starts[column] > tabs.last().position)
                tabs.append(QTextOption::Tab(starts[column], QTextOption::LeftTab));
        }
        columnAt.append(static_cast<int>(laidOut.size()));
        laidOut += cells[k];
    }
    layout.setText(laidOut);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(8.0 * metrics.averageCharWidth());
    option.setTabs(tabs);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    return columnAt;
}

QList<qreal> TabStopDelegate::cellStarts(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QTextLayout layout(QString(), item.font, item.widget);
    bool grown = false;
    const QList<int> columnAt = layOut(layout, item, &grown);
    const QTextLine line = layout.lineAt(0);
    QList<qreal> starts;
    for (const int at : columnAt)
        starts.append(line.cursorToX(at));
    return starts;
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    QTextLayout layout(QString(), item.font, item.widget);
    bool grown = false;
    layOut(layout, item, &grown);
    // The widest line any item measured so far can make: each column's start and widest cell.
    const QList<qreal> starts = columnStarts(m_widths, QFontMetricsF(item.font, item.widget));
    qreal width = 0;
    for (qsizetype c = 0; c < m_widths.size(); ++c)
        width = std::max(width, starts[c] + m_widths[c]);
    width = std::max(width, layout.lineAt(0).naturalTextWidth());
    // The style's margins on either side of the text.
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, widget) + 1;
    size.setWidth(static_cast<int>(std::ceil(width)) + 2 * margin);
    return size;
}

QColor TabStopDelegate::textColour(const QStyleOptionViewItem &item)
{
    const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (item.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    if (!(item.state & QStyle::State_Selected))
        return item.palette.color(group, QPalette::Text);
    const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
    return selectedTextColour(selectionBackground(style, item, item.widget), item.palette, group);
}

void TabStopDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);

    QTextLayout layout(QString(), item.font, widget);
    bool grown = false;
    layOut(layout, item, &grown);

    // The style draws the background and the selection; the text and the focus frame are drawn
    // here. The frame marks the current item also where nothing is selected, whatever the
    // style would do with it, so it is drawn here for every style alike.
    const QColor colour = textColour(item);
    item.text.clear();
    const bool framed = item.state & QStyle::State_HasFocus;
    item.state &= ~QStyle::State_HasFocus;
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QTextLine line = layout.lineAt(0);
    painter->save();
    painter->setPen(colour);
    const qreal top = textRect.top() + (textRect.height() - (line.isValid() ? line.height() : 0.0)) / 2;
    painter->setClipRect(item.rect);
    layout.draw(painter, QPointF(textRect.left(), top));
    painter->restore();

    if (framed) {
        // Drawn here on every style, as some (the Windows Vista one) draw no focus frame in an
        // item view at all: the selection's colour on the base, the text's on a selection.
        const QRect frame = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &item, widget);
        const QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QColor frameColour =
            (item.state & QStyle::State_Selected) ? colour : item.palette.color(group, QPalette::Highlight);
        painter->save();
        painter->setPen(QPen(frameColour, 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(frame.adjusted(0, 0, -1, -1));
        painter->restore();
    }

    // A wider column than any before: the items drawn before this one move their columns, the
    // list's items grow, and with them the list's scroll range.
    if (grown)
        Q_EMIT const_cast<TabStopDelegate *>(this)->sizeHintChanged(index);
}

} // namespace lanshan
