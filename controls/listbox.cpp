#include "listbox.h"

#include "clipboardtext.h"

#include <QItemSelectionModel>
#include <QKeyEvent>

namespace lanshan {

ListBox::ListBox(QWidget *parent)
    : QListView(parent)
{ }

void ListBox::copySelectedItem() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (selected.isEmpty())
        return;
    const QVariant own = selected.first().data(copyTextRole);
    ClipboardText::write(own.isValid() ? own.toString() : selected.first().data().toString());
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
}

} // namespace lanshan
