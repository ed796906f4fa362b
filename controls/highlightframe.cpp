#include "highlightframe.h"

#include "contrast.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace lanshan {

HighlightFrame::HighlightFrame(const QString &title, QWidget *parent)
    : QGroupBox(title, parent)
{ }

QColor HighlightFrame::captionColour() const
{
    return readableColour(palette().color(QPalette::Highlight), palette(), QPalette::WindowText);
}

void HighlightFrame::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // Some styles take the title colour from the option's palette, others from textColor.
    const QColor caption = captionColour();
    option.textColor = caption;
    option.palette.setColor(QPalette::WindowText, caption);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace lanshan
