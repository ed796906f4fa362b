#pragma once

#include "growthlayout.h"
#include "highlightframe.h"

#include <QList>

class QPushButton;

namespace lanshan {

// A panel that opens over the main window's working area, all of them at the same place, above
// whatever was open before it. While one is open the main window keeps Tab among the controls
// of its tabChain(). Its close button hides it and emits closed(); Escape may press it.
class OverlayPanel : public HighlightFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OverlayPanel)

public:
    ~OverlayPanel() override;

    // Its controls in the order that Tab visits them.
    virtual QList<QWidget *> tabChain() const = 0;

Q_SIGNALS:
    // The user closed the panel with its close button (or Escape).
    void closed();

protected:
    // name and geometry: the panel's object name and where it lies, hidden, until it opens.
    OverlayPanel(const QString &caption, const QString &name, QRect geometry, QWidget *window);

    enum class Escape { Closes, Ignored };
    void setCloseButton(QPushButton *button, Escape escape);
    // Shows the panel over the working area and gives the keyboard to `focus`.
    void showOver(QWidget *focus);
    // How a control of the panel, placed as designed, follows the panel's size.
    void follow(QWidget *control, Growth growth);

private:
    GrowthLayout *m_growth = nullptr;
};

} // namespace lanshan
