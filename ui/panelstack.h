#pragma once

#include <QList>

class QWidget;

namespace lanshan {

class OverlayPanel;

// The panels that open over the main window's working area: which of them lies on top, and
// Tab kept among its controls while it is open.
class PanelStack
{
public:
    // Each panel lies above those added before it, and Tab reaches its controls after theirs.
    void add(OverlayPanel *panel);
    const QList<OverlayPanel *> &panels() const { return m_panels; }
    // The tab order: the panels' controls, panel after panel, after the window's last control.
    void chainTabs(QWidget *after);
    // The open panel that was opened last, or none.
    OverlayPanel *top() const;
    // Tab or Shift+Tab (next false) from focus, among the top panel's usable controls; false
    // where no panel is open.
    bool moveFocus(bool next, QWidget *focus) const;

private:
    QList<OverlayPanel *> m_panels;
    // The tab order is set: a panel added now joins it.
    bool m_chained = false;
};

} // namespace lanshan
