#include "listsync.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QScrollBar>

namespace lanshan {

namespace {

int selectedRow(const QListView *list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

} // namespace

ListSync::ListSync(QListView *first, QListView *second, QObject *parent)
    : QObject(parent)
    , m_first(first)
    , m_second(second)
{
    connect(m_first->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { copyTop(m_first, m_second); });
    connect(m_second->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { copyTop(m_second, m_first); });
    for (QListView *list : {m_first, m_second}) {
        QListView *other = list == m_first ? m_second : m_first;
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, list, other] { copySelection(list, other); });
    }
}

void ListSync::copyTop(QListView *from, QListView *to)
{
    if (m_copying)
        return;
    m_copying = true;
    // Lists scroll by whole items, so the bar's value is the top item.
    to->verticalScrollBar()->setValue(from->verticalScrollBar()->value());
    m_copying = false;
}

void ListSync::copySelection(QListView *from, QListView *to)
{
    if (m_copying)
        return;
    const int row = selectedRow(from);
    if (row == selectedRow(to))
        return;
    m_copying = true;
    if (row < 0 || row >= to->model()->rowCount()) {
        to->selectionModel()->clearSelection();
        to->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        // The current item moves with the selection, so arrow keys go on from there.
        to->selectionModel()->setCurrentIndex(to->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }
    m_copying = false;
}

} // namespace lanshan
