#pragma once

#include "cellgrid.h"

#include <QPointer>
#include <QStyledItemDelegate>

#include <map>
#include <vector>

class QAbstractItemView;

namespace lanshan {

// Draws each item's TAB-separated cells as columns that line up for all rows of the view: a
// key's own line, its near rows and the rows of every group of the report alike. A column is as
// wide as the widest of its cells among the first rows of each group (of a list: its first rows)
// and the rows drawn so far, within a cap (CellGrid), so that it is known before anything is
// drawn, costs the same for a million rows and only grows as rows further down come into sight.
// A cell wider than its column, or a row wider than its item, is cut with "…", and
// the item's whole text is then its tooltip. The item itself, what a copy or a screen reader
// gets, is left as it is. Selected text takes a colour that reads on the selection the style drew.
class CellGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CellGridDelegate)

public:
    explicit CellGridDelegate(QAbstractItemView *view);
    ~CellGridDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // An item's cells as the view draws them now: where each stands in the viewport, and its text
    // as drawn ("…" where it is cut).
    struct DrawnCell
    {
        QRectF rect;
        QString text;
        bool elided = false;
    };
    std::vector<DrawnCell> drawnCells(const QModelIndex &index) const;
    // The tooltip the item shows: its whole text where some of it is cut, else none.
    QString toolTipAt(const QModelIndex &index) const;

    // The rows under each top-level item, and the top-level items, that set the columns before
    // any row is drawn.
    static constexpr int sampledRows = 100;
    static constexpr int sampledGroups = 4;

private:
    struct Layout
    {
        QRectF textRect;
        std::vector<PlacedCell> cells;
        bool cut = false;
        bool grew = false; // the columns grew for this item
    };
    Layout layOut(const QStyleOptionViewItem &item, const QModelIndex &index) const;
    CellGrid &gridFor(const QModelIndex &index, const QFont &font, const QWidget *widget) const;
    QStyleOptionViewItem optionFor(const QModelIndex &index) const;
    QString toolTip(const QStyleOptionViewItem &item, const QModelIndex &index) const;
    void watch(const QAbstractItemModel *model) const;
    void forget() const;

    QAbstractItemView *m_view;
    // By the model's column.
    mutable std::map<int, CellGrid> m_grids;
    mutable QPointer<const QAbstractItemModel> m_watched;
    mutable bool m_repaintAsked = false;
};

} // namespace lanshan
