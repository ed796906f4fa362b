#pragma once

#include "overlaypanel.h"

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QShortcut;

namespace lanshan {

class FilterRun;
class ItemListModel;
class ListBox;
class StrayClickGuard;

// The panel "Frame4" that opens over the working area while a run waits at a questionable
// line: the key list shows every key line with the awaited one marked, the candidate list the
// rows that belong to it and a hidden list their positions. "确定" settles the line with the
// selected row, "忽略留空" leaves it empty, "返回修改" closes the panel for the data to be
// corrected, "余下全部留空" leaves this line and every later questionable one empty at once.
// The caption's line says which question of how many this is; where looking in the column that
// holds most keys would settle some of the questions, "按关键字列重新筛选" gives up the run for one
// that looks in that column only.
//
// A question opens with no row selected: the first is current and framed, Space or a click
// selects it, Down the next. Enter or "确定" takes the selected row and with none asks for one;
// a double-click on a row takes it. Escape goes back to editing.
class MatchingPanel : public OverlayPanel
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

    QList<QWidget *> tabChain() const override;

Q_SIGNALS:
    // The awaited line was settled by the user; the run goes on from there. Emitted while the
    // busy cursor shows.
    void lineSettled();
    // The user gave up the run for one with the keys looked for in this column (from 1) only.
    void keyColumnRunWanted(std::size_t column);

public:
    // Says in the caption's line that the run in the key column left the questions as they were.
    void sayKeyColumnChangedNothing();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void leaveEmpty();
    void leaveRestEmpty();
    void confirmChoice();
    // The caption's line: the position's text as wide as the buttons beside it leave room for,
    // cut with "…" and whole in its tooltip where it is wider.
    void placeCaptionLine();
    void runInKeyColumn();
    void clearLists(bool keyListToo);
    bool awaitsChoice() const;

    std::shared_ptr<FilterRun> m_run;
    bool m_keyListShowsRun = false; // the key list presents m_run

    QGroupBox *m_hintFrame = nullptr;
    QLabel *m_hint = nullptr;
    QLabel *m_position = nullptr;
    QPushButton *m_keyColumnButton = nullptr;
    QPushButton *m_leaveRestButton = nullptr;
    QShortcut *m_keyColumnKey = nullptr; // Alt+K while the button is hidden
    // The caption line's text, and a shorter one where that does not fit.
    QString m_positionText;
    QString m_positionShort;
    ListBox *m_positionList = nullptr;
    QPushButton *m_backButton = nullptr;
    QPushButton *m_leaveEmptyButton = nullptr;
    QPushButton *m_confirmButton = nullptr;
    ListBox *m_candidateList = nullptr;
    ListBox *m_keyList = nullptr;
    StrayClickGuard *m_strayClicks = nullptr;

    ItemListModel *m_keyItems = nullptr;
    ItemListModel *m_candidateItems = nullptr;
    ItemListModel *m_positionItems = nullptr;
};

} // namespace lanshan
