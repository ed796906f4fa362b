#include "listbox.h"

#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>

#include <algorithm>
#include <array>

namespace lanshan {

ListBox::ListBox(QWidget *parent)
    : QListView(parent)
{ }

void ListBox::setEmptyCopy(EmptyCopy emptyCopy)
{
    m_emptyCopy = emptyCopy;
}

std::optional<int> ListBox::selectedRow() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first().row();
}

void ListBox::copySelectedItem()
{
    const std::optional<int> row = selectedRow();
    if (!row) {
        if (m_emptyCopy == EmptyCopy::ClearsClipboard)
            QGuiApplication::clipboard()->clear();
        return;
    }
    const QModelIndex item = model()->index(*row, 0);
    const QVariant own = item.data(copyTextRole);
    // Claimed only where the clipboard took it; else the hand-off has said so.
    if (putOnClipboard(window(), own.isValid() ? own.toString() : item.data().toString()))
        Q_EMIT itemCopied(*row);
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    const bool ctrlInsert =
        event->key() == Qt::Key_Insert && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    if (event->matches(QKeySequence::Copy) || ctrlInsert) {
        copySelectedItem();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
    // An arrow key that finds no item beyond the current one (Up on the first) selects the
    // current one, as one that moves on selects where it lands: a list shown with its current
    // item unselected answers every arrow key alike.
    static constexpr std::array moves{Qt::Key_Up,  Qt::Key_Down,   Qt::Key_Home,
                                      Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && std::ranges::find(moves, event->key()) != moves.end() && !selectedRow() && currentIndex().isValid()
        && selectionMode() == SingleSelection)
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Before the view's own handling, which on blank space may change the selection.
    Q_EMIT doubleClickedAnywhere();
    QListView::mouseDoubleClickEvent(event);
}

} // namespace lanshan
