#include "overlaypanel.h"

#include "controls.h"
#include "twips.h"

#include <QPushButton>
#include <QShortcut>

namespace lanshan {

OverlayPanel::OverlayPanel(const QString &caption, const QString &name, QRect geometry, QWidget *window)
    : HighlightFrame(caption, window)
{
    opaque(place(this, name, geometry));
    hide();
    m_growth = new GrowthLayout(this);
}

OverlayPanel::~OverlayPanel() = default;

void OverlayPanel::setCloseButton(QPushButton *button, Escape escape)
{
    connect(button, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT closed();
    });
    if (escape == Escape::Ignored)
        return;
    // Only while the focus is in this panel: a panel opened over it has its own.
    auto *shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, button, [this, button] {
        if (!isHidden())
            button->click();
    });
}

void OverlayPanel::follow(QWidget *control, Growth growth)
{
    m_growth->add(control, growth);
}

void OverlayPanel::showOver(QWidget *focus)
{
    move(toPixels(120), toPixels(120));
    show();
    raise();
    focus->setFocus();
}

} // namespace lanshan
