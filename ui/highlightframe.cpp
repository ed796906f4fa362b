#include "highlightframe.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace lanshan {

HighlightFrame::HighlightFrame(const QString &title, QWidget *parent)
    : QGroupBox(title, parent)
{
}

void HighlightFrame::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.textColor = palette().color(QPalette::Highlight);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace lanshan
