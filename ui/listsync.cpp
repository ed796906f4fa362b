#include "listsync.h"

#include "listbox.h"

#include <QItemSelectionModel>
#include <QScrollBar>

namespace lanshan {

ListSync::ListSync(ListBox *first, ListBox *second, QObject *parent)
    : QObject(parent)
    , m_first(first)
    , m_second(second)
{
    connect(m_first->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { copyTop(m_first, m_second); });
    connect(m_second->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { copyTop(m_second, m_first); });
    for (ListBox *list : {m_first, m_second}) {
        ListBox *other = list == m_first ? m_second : m_first;
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, list, other] { copySelection(list, other); });
    }
}

void ListSync::copyTop(ListBox *from, ListBox *to)
{
    if (m_copying)
        return;
    m_copying = true;
    // Lists scroll by whole items, so the bar's value is the top item.
    to->verticalScrollBar()->setValue(from->verticalScrollBar()->value());
    m_copying = false;
}

void ListSync::copySelection(ListBox *from, ListBox *to)
{
    if (m_copying)
        return;
    const std::optional<int> row = from->selectedRow();
    if (row == to->selectedRow())
        return;
    m_copying = true;
    if (!row || *row >= to->model()->rowCount()) {
        to->selectionModel()->clearSelection();
        to->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        // The current item moves with the selection, so arrow keys go on from there.
        to->selectionModel()->setCurrentIndex(to->model()->index(*row, 0), QItemSelectionModel::ClearAndSelect);
    }
    m_copying = false;
}

} // namespace lanshan
