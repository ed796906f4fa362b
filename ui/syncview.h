#pragma once

#include "highlightframe.h"

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;

namespace lanshan {

class FilterRun;
class ItemListModel;
class ListBox;

// The synchronized view "tongbuxianshi": the key lines settled so far in List1 and their
// result lines in List2, side by side, scrolling and selecting together. A double-click on
// either list, or Ctrl+C or Enter on it, puts the selected line on the clipboard; Command4 (or
// Escape) closes the view.
class SyncView : public HighlightFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SyncView)

public:
    // window: the main window, whose Escape key closes the view while it is open.
    explicit SyncView(QWidget *window);
    ~SyncView() override;

    // The lists present this run from now on, empty until lines are settled.
    void showRun(const std::shared_ptr<const FilterRun> &run);
    // The run has settled more lines; selection and scroll stay.
    void linesSettled();
    void open();

    // Its controls in the order that Tab visits them.
    QList<QWidget *> tabChain() const;

Q_SIGNALS:
    // Command4 closed the view.
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Command4_Click();
    void List1_DblClick();
    void List2_DblClick();

    std::shared_ptr<const FilterRun> m_run;

    QGroupBox *Frame6 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Command4 = nullptr;
    QGroupBox *result = nullptr;
    ListBox *List2 = nullptr;
    QGroupBox *fixdata = nullptr;
    ListBox *List1 = nullptr;

    ItemListModel *m_list1Items = nullptr;
    ItemListModel *m_list2Items = nullptr;
};

} // namespace lanshan
