#pragma once

#include <QStyledItemDelegate>

namespace lanshan {

// Draws a list's items with TAB stops every eight average characters, as the text boxes lay
// out the same lines, on one line each. A list of uniform items sizes them all after the
// widest item drawn so far, so that the end of a long line can be scrolled to once it shows.
// Selected text takes a colour that reads on the selection the style drew, which some styles
// draw pale whatever the palette says (the program's lists and the column box use it for that
// alone where they have no TABs; the report's grid takes the colour from here too).
class TabStopDelegate : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabStopDelegate)

public:
    explicit TabStopDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // New items: the widest is measured afresh.
    void forgetWidths();

    // The colour an item's text is drawn in: on a selection, one that reads on the selection the
    // style drew.
    static QColor textColour(const QStyleOptionViewItem &item);

private:
    mutable int m_widest = 0;
};

} // namespace lanshan
