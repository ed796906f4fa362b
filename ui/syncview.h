#pragma once

#include "overlaypanel.h"

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace lanshan {

class FilterRun;
class ItemListModel;
class ListBox;

// The synchronized view "tongbuxianshi": the key lines settled so far and their result lines
// in two lists side by side, scrolling and selecting together. A double-click on either list,
// or Ctrl+C or Enter on it, puts the selected line on the clipboard; "返回" (or Escape) closes
// the view.
class SyncView : public OverlayPanel
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

    QList<QWidget *> tabChain() const override;

    // How long "已复制第 N 行" stands after a copy.
    static constexpr int copyNoteMilliseconds = 3000;

private:
    std::shared_ptr<const FilterRun> m_run;

    QGroupBox *m_noteFrame = nullptr;
    QLabel *m_note = nullptr;
    QPushButton *m_backButton = nullptr;
    QGroupBox *m_resultFrame = nullptr;
    ListBox *m_resultList = nullptr;
    QGroupBox *m_keysFrame = nullptr;
    ListBox *m_keyList = nullptr;

    QLabel *m_copyNote = nullptr;
    QTimer *m_copyNoteTimer = nullptr;

    ItemListModel *m_keyItems = nullptr;
    ItemListModel *m_resultItems = nullptr;
};

} // namespace lanshan
