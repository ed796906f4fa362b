#pragma once

#include <QGroupBox>

namespace lanshan {

// A frame whose caption is drawn in the palette's highlight colour, or in its text colour where
// the highlight would not read well on the background, leaving the colours of everything inside
// it alone.
class HighlightFrame : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HighlightFrame)

public:
    explicit HighlightFrame(const QString &title, QWidget *parent = nullptr);

    QColor captionColour() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace lanshan
