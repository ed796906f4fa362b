#pragma once

#include <QListView>

namespace lanshan {

// A list of one selectable item at a time. Its copy (Ctrl+C, Ctrl+Insert, or the caller's own
// ways such as a double-click) takes the selected item's own text, which the model gives for
// copyTextRole, not the shown one, which may be cut short or carry marks for line breaks.
class ListBox : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListBox)

public:
    static constexpr int copyTextRole = Qt::UserRole + 1;

    explicit ListBox(QWidget *parent = nullptr);

    // Puts the selected item's own text on the clipboard; nothing happens without a selection.
    void copySelectedItem() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace lanshan
