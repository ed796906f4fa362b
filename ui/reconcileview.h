#pragma once

#include "overlaypanel.h"

#include <memory>

class QLabel;
class QPushButton;
class QTreeView;

namespace lanshan {

class FilterRun;
class ReconciliationModel;

// The panel "reconcileView" that opens over the working area after a run: why each key found
// no row, which keys were left empty, which rows no key took (ReconciliationModel). Nothing in
// the result changes unless the user takes a near row or a row of a key left empty with "采用",
// or every near row that differs from its key only in spaces, invisible characters, width, case
// or variant with "采用全部可靠行". "复制报告" puts the report on the clipboard as a table for a
// spreadsheet (reportsheet.h).
class ReconcileView : public OverlayPanel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReconcileView)

public:
    // window: the main window, whose Escape key closes the view while it is open.
    explicit ReconcileView(QWidget *window);
    ~ReconcileView() override;

    // The report of the run as it stands; none for a run that has not finished, and the view
    // closed. A report too large for memory leaves none, and reportTooLarge() says so.
    void showRun(const std::shared_ptr<FilterRun> &run);
    void open();
    bool hasReport() const;
    bool reportTooLarge() const { return m_tooLarge; }
    // Whether "复制报告" put the report on the clipboard since the view last opened.
    bool reportCopied() const { return m_copied; }
    std::size_t missingCount() const;
    std::size_t unusedCount() const;

    QList<QWidget *> tabChain() const override;

Q_SIGNALS:
    // Near rows were taken into the run's result.
    void resultChanged();

private:
    void adoptSelected();
    void adoptReliable();
    void copyReport();
    void refresh();
    void updateButtons();

    std::shared_ptr<FilterRun> m_run;
    bool m_tooLarge = false;
    bool m_copied = false;
    ReconciliationModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_adoptButton = nullptr;
    QPushButton *m_adoptReliableButton = nullptr;
    QPushButton *m_copyButton = nullptr;
    QPushButton *m_backButton = nullptr;
};

} // namespace lanshan
