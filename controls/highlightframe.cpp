#include "highlightframe.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace lanshan {

HighlightFrame::HighlightFrame(const QString &title, QWidget *parent)
    : QGroupBox(title, parent)
{ }

void HighlightFrame::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // Some styles take the title colour from the option's palette, others from textColor.
    const QColor highlight = palette().color(QPalette::Highlight);
    option.textColor = highlight;
    option.palette.setColor(QPalette::WindowText, highlight);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace lanshan
