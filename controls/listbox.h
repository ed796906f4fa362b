#pragma once

#include <QListView>

#include <optional>

namespace lanshan {

// A list of one selectable item at a time. Up, Down, Home, End and the page keys always leave an
// item selected, also where they find none beyond the current one and nothing was selected. Its
// copy (Ctrl+C, Ctrl+Insert, or the owner's own ways such as a double-click) takes the selected
// item's own text, which the model gives for copyTextRole, not the shown one, which may be cut
// short or carry marks for line breaks.
class ListBox : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListBox)

public:
    static constexpr int copyTextRole = Qt::UserRole + 1;

    // What a copy does with nothing selected.
    enum class EmptyCopy { LeavesClipboard, ClearsClipboard };

    explicit ListBox(QWidget *parent = nullptr);

    void setEmptyCopy(EmptyCopy emptyCopy);
    std::optional<int> selectedRow() const;
    // Puts the selected item's own text on the clipboard.
    void copySelectedItem();

Q_SIGNALS:
    // An item's text went to the clipboard.
    void itemCopied(int row);
    // Every double-click, also on blank space or an empty list, where doubleClicked() is not sent.
    void doubleClickedAnywhere();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    EmptyCopy m_emptyCopy = EmptyCopy::LeavesClipboard;
};

} // namespace lanshan
