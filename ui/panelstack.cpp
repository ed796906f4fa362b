#include "panelstack.h"

#include "overlaypanel.h"

namespace lanshan {

namespace {

void setTabOrder(const QList<QWidget *> &order)
{
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace

void PanelStack::add(OverlayPanel *panel)
{
    // Qt moves the second of each pair behind the first: a panel added later is chained in
    // one sweep from the last control before it.
    if (m_chained)
        setTabOrder(QList<QWidget *>{m_panels.last()->tabChain().last()} + panel->tabChain());
    m_panels.append(panel);
}

void PanelStack::chainTabs(QWidget *after)
{
    QList<QWidget *> order{after};
    for (const OverlayPanel *panel : m_panels)
        order += panel->tabChain();
    setTabOrder(order);
    m_chained = true;
}

OverlayPanel *PanelStack::top() const
{
    OverlayPanel *top = nullptr;
    for (OverlayPanel *panel : m_panels) {
        if (!panel->isHidden()
            && (!top
                || panel->parentWidget()->children().indexOf(panel) > top->parentWidget()->children().indexOf(top)))
            top = panel;
    }
    return top;
}

bool PanelStack::moveFocus(bool next, QWidget *focus) const
{
    const OverlayPanel *panel = top();
    if (!panel)
        return false;
    // What lies outside the panel is covered by it.
    QList<QWidget *> chain;
    for (QWidget *w : panel->tabChain()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            chain.append(w);
    }
    if (chain.isEmpty())
        return true;
    const qsizetype count = chain.size();
    const qsizetype at = chain.indexOf(focus);
    const qsizetype to = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    chain[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

} // namespace lanshan
