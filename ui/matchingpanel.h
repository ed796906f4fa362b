#pragma once

#include "highlightframe.h"

#include <memory>

class QGroupBox;
class QLabel;
class QListView;
class QPushButton;

namespace lanshan {

class FilterRun;
class ItemListModel;

// The panel "Frame4" that opens over the working area while a run waits at a questionable
// line: List3 lists every key line with the awaited one marked, List4 the rows that belong to
// it and the hidden List5 their positions. Command6 settles the line with the selected row,
// Command5 leaves it empty, Command12 closes the panel for the data to be corrected.
class MatchingPanel : public HighlightFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MatchingPanel)

public:
    explicit MatchingPanel(QWidget *parent);
    ~MatchingPanel() override;

    // Shows the panel at the line that the run awaits a choice for.
    void open(const std::shared_ptr<FilterRun> &run);
    // Hides the panel and lets go of its run and of every list.
    void dropRun();

    // Its controls in the order that Tab visits them.
    QList<QWidget *> tabChain() const;

Q_SIGNALS:
    // The awaited line was settled by the user; the run goes on from there. Emitted while the
    // busy cursor shows.
    void lineSettled();
    // Command12 closed the panel for the data to be corrected.
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Command5_Click();
    void Command6_Click();
    void Command12_Click();
    void clearLists(bool keyListToo);
    bool awaitsChoice() const;

    std::shared_ptr<FilterRun> m_run;
    bool m_list3ShowsRun = false; // the key list presents m_run

    QGroupBox *Frame5 = nullptr;
    QLabel *Label1 = nullptr;
    QListView *List5 = nullptr;
    QPushButton *Command12 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QListView *List4 = nullptr;
    QListView *List3 = nullptr;

    ItemListModel *m_list3Items = nullptr;
    ItemListModel *m_list4Items = nullptr;
    ItemListModel *m_list5Items = nullptr;
};

} // namespace lanshan
