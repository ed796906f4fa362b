#pragma once

#include <QFont>
#include <QList>
#include <QStyledItemDelegate>

class QTextLayout;

namespace lanshan {

// Draws a list's items on one line each, their TAB-separated cells in columns, as the text boxes
// lay out the same lines with TAB stops every eight average characters of the font in use. A
// column starts at the first such stop that leaves a gap after the widest cell of the column
// before it, among the items drawn so far; an item's entry number ("12." before its text, "[*]"
// or three spaces before that in a list that marks a line) is a column of its own, so that the
// cells after it line up whatever its number, and a row whose first cell is empty keeps the
// columns. A list of uniform items sizes them all after the widest line drawn so far, so that the
// end of a long line can be scrolled to once it shows. Only the items measured for drawing count,
// never a pass over the list. Selected text takes a colour that reads on the selection the style
// drew, which some styles draw pale whatever the palette says (the program's lists and the column
// box use it for that alone where they have no TABs; the report's grid takes the colour from here
// too).
class TabStopDelegate : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabStopDelegate)

public:
    explicit TabStopDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // New items: the columns are measured afresh.
    void forgetWidths();

    // Where the item's columns start as it is drawn, from the left of its text: the entry
    // number's (0) where it has one, then one for each cell.
    QList<qreal> cellStarts(const QStyleOptionViewItem &option, const QModelIndex &index) const;

    // The colour an item's text is drawn in: on a selection, one that reads on the selection the
    // style drew.
    static QColor textColour(const QStyleOptionViewItem &item);

private:
    // The item's text laid out in the columns, which grow to its cells first; grown: whether
    // they did. Returns where in the layout's text each of the item's columns starts.
    QList<int> layOut(QTextLayout &layout, const QStyleOptionViewItem &item, bool *grown) const;

    // The widest cell measured in each column, the entry numbers' first (0 where no item has
    // one), in pixels of m_font on the list's device.
    mutable QList<qreal> m_widths;
    mutable QFont m_font;
    mutable int m_dpi = 0;
};

} // namespace lanshan
