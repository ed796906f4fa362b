#pragma once

#include "overlaypanel.h"

#include <cstddef>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTreeView;

namespace lanshan {

class ColumnsPopup;
class FilterRun;
class ReconciliationModel;

// The panel "reconcileView" that opens over the working area after a run: why each key found
// no row, which keys were left empty, which rows no key took, which lines may hold a row not
// their own (ReconciliationModel). Nothing in the result changes unless the user takes a near
// row or a row of a key left empty with "采用", or every near row that differs from its key only
// in spaces, invisible characters, width, case or variant with "采用全部可靠行", or empties a
// line that may hold a wrong row with "留空". "按关键字列重新筛选" asks for the run again with
// the keys looked for in the column where most of them stand. "复制报告" puts the report on the
// clipboard as a table for a spreadsheet (reportsheet.h).
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
    // Key lines that rows belong to, left empty by the user's choice.
    std::size_t leftEmptyCount() const;
    // While the boxes differ from the texts of the run, taking rows or emptying lines would put
    // an out-of-date result on the clipboard: the buttons then say so and change nothing.
    void setInputsChanged(bool changed);
    std::size_t suspectCount() const;
    // Key lines given a near row from the report, by the user or "采用全部可靠行".
    std::size_t takenCount() const;
    // The keys of the first lines the result leaves empty, in key order.
    std::vector<std::u16string> emptyLineKeys(std::size_t most) const;

    QList<QWidget *> tabChain() const override;

Q_SIGNALS:
    // Rows were taken into the run's result, or a line of it emptied.
    void resultChanged();
    // The user wants the run again, the keys looked for in this column (from 1) only.
    void keyColumnRunWanted(std::size_t column);
    // The user wants the run again, a list of several columns matched on these of its columns
    // (from 1, ascending) only.
    void keyCellsRunWanted(const std::vector<std::size_t> &cells);

private:
    void adoptSelected();
    void adoptReliable();
    void leaveSelectedEmpty();
    // Takes back the row a line was given: the line is empty again, as before it was taken.
    void giveBack(std::size_t line);
    void selectKeyLine(int group, std::size_t line);
    void copyReport();
    void chooseKeyCells();
    void keyCellsChosen(const QString &list);
    void refresh();
    void updateButtons();
    void currentChanged(const QModelIndex &current);
    // What was done, in the hint.
    void tell(const QString &text);
    // Said in the hint, where the inputs changed since the run.
    bool refusedForChangedInputs();

    std::shared_ptr<FilterRun> m_run;
    bool m_tooLarge = false;
    bool m_copied = false;
    bool m_inputsChanged = false;
    bool m_hasReliableRows = false;
    bool m_hintExplains = false; // the hint tells of the current line, not of what was done
    ReconciliationModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_adoptButton = nullptr;
    QPushButton *m_leaveEmptyButton = nullptr;
    QPushButton *m_adoptReliableButton = nullptr;
    QPushButton *m_keyColumnButton = nullptr;
    QPushButton *m_copyButton = nullptr;
    QPushButton *m_backButton = nullptr;
    // Where the list has several columns: the run again on some of them.
    QPushButton *m_keyCellsButton = nullptr;
    ColumnsPopup *m_keyCellsPopup = nullptr;
};

} // namespace lanshan
