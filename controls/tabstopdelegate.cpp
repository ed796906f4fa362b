#include "tabstopdelegate.h"

#include "contrast.h"

#include <QApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStyleOption>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace lanshan {

namespace {

// The text on one line, TAB stops every eight average characters, as the boxes have them.
QTextLine layOut(QTextLayout &layout)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(8.0 * QFontMetrics(layout.font()).averageCharWidth());
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
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

int naturalWidth(const QTextLine &line)
{
    return line.isValid() ? static_cast<int>(std::ceil(line.naturalTextWidth())) : 0;
}

} // namespace

TabStopDelegate::TabStopDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{ }

void TabStopDelegate::forgetWidths()
{
    m_widest = 0;
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    QTextLayout layout(item.text, item.font);
    const int width = std::max(m_widest, naturalWidth(layOut(layout)));
    // The style's margins on either side of the text.
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, widget) + 1;
    size.setWidth(width + 2 * margin);
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
    const QString text = item.text;

    // The style draws the background and the selection; the text and the focus frame are drawn
    // here. The frame marks the current item also where nothing is selected, whatever the
    // style would do with it, so it is drawn here for every style alike.
    item.text.clear();
    const bool framed = item.state & QStyle::State_HasFocus;
    item.state &= ~QStyle::State_HasFocus;
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    QTextLayout layout(text, item.font);
    const QTextLine line = layOut(layout);
    painter->save();
    painter->setPen(textColour(item));
    const qreal top = textRect.top() + (textRect.height() - (line.isValid() ? line.height() : 0.0)) / 2;
    painter->setClipRect(item.rect);
    layout.draw(painter, QPointF(textRect.left(), top));
    painter->restore();

    if (framed) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(item);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &item, widget);
        // Shown from the start, not only once a key was pressed in the window.
        focus.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        focus.backgroundColor =
            item.palette.color(group, (item.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }

    // A wider item than any before: the list's items grow to it, and the list's scroll range.
    const int width = naturalWidth(line);
    if (width > m_widest) {
        m_widest = width;
        Q_EMIT const_cast<TabStopDelegate *>(this)->sizeHintChanged(index);
    }
}

} // namespace lanshan
