#pragma once

#include "filtersession.h"
#include "panelstack.h"

#include <QPointer>
#include <QWidget>

#include <cstddef>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;

namespace lanshan {

class AboutDialog;
class CommandUndo;
class DataOrResult;
class GrowthLayout;
class MatchingPanel;
class OverlayPanel;
class ReconcileView;
class ResultClipboard;
class StatusPanels;
class SyncView;
class VersionCheck;

// The program's one main window, "main": the working area with the key box, the data box and
// the result box in its place, the button row, and three panels that open over the working
// area (OverlayPanel): the manual matching of keys with several rows (MatchingPanel), the
// synchronized view (SyncView) and the reconciliation of the result (ReconcileView). The
// window builds its controls and connects them: FilterSession runs the filter and keeps which
// commands can be used, ResultClipboard hands the result over, PanelStack keeps the panels
// and WindowPlacement puts the window on the screen. The window shows and asks.
class MainWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    // While a panel is open, Tab and Shift+Tab stay among its controls.
    bool focusNextPrevChild(bool next) override;

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void setUpStartState();
    // The controls follow the window's size from the designed one.
    void followWindowSize();

    void runFilter();
    // The latest run again on its own texts, the keys looked for in one column (from 1) only.
    void runInKeyColumn(std::size_t column);
    // The run's signals to the panels, the clipboard and the buttons.
    void connectRun();
    void showResult(const QString &resultText);
    void fillDemoData();
    // A clearing command: the boxes emptied, each an undoable step.
    void clearBoxes(FilterSession::Cleared which);
    void showAbout();
    // A command changed these boxes: Ctrl+Z anywhere takes it back, which the line below the
    // buttons says.
    void recordCommand(const QList<QPlainTextEdit *> &changed, const QString &hint);
    // The boxes exchanged, each undoable, and the filter run on them.
    void swapBoxesAndRun();

    void showReconcileSummary();
    ReconcileView *reconcileView();
    // The inputs were cleared or replaced: the report and its counts go.
    void dropReport();

    FilterSession *m_session = nullptr;
    GrowthLayout *m_growth = nullptr;
    CommandUndo *m_commandUndo = nullptr;
    std::unique_ptr<DataOrResult> m_dataOrResult;

    QTimer *m_versionTimer = nullptr;
    QStatusBar *m_statusBar = nullptr;
    MatchingPanel *m_matchingPanel = nullptr;
    SyncView *m_syncView = nullptr;
    PanelStack m_panels;
    // Why keys found no row: the counts below the buttons, and the view they open.
    ReconcileView *m_reconcileView = nullptr;
    QLabel *m_reconcileSummary = nullptr;
    QPushButton *m_reconcileButton = nullptr;
    // The result's columns that go to the clipboard, chosen with "复制列" until the inputs change.
    QPushButton *m_columnsButton = nullptr;
    QLabel *m_columnsNote = nullptr;
    ResultClipboard *m_resultClipboard = nullptr;
    QPushButton *m_syncViewButton = nullptr;
    QPushButton *m_filterButton = nullptr;
    QPushButton *m_toggleButton = nullptr;
    QPushButton *m_aboutButton = nullptr;
    QPushButton *m_demoButton = nullptr;
    QPushButton *m_clearAllButton = nullptr;
    QPushButton *m_clearKeysButton = nullptr;
    QPushButton *m_clearDataButton = nullptr;
    QPlainTextEdit *m_demoRowsBox = nullptr;
    QPlainTextEdit *m_demoKeysBox = nullptr;
    QGroupBox *m_resultFrame = nullptr;
    QPlainTextEdit *m_resultBox = nullptr;
    QGroupBox *m_dataFrame = nullptr;
    QPlainTextEdit *m_dataBox = nullptr;
    QGroupBox *m_keysFrame = nullptr;
    QPlainTextEdit *m_keysBox = nullptr;

    // The status bar's panels and the version check that the timer drives.
    StatusPanels *m_statusPanels = nullptr;
    VersionCheck *m_versionCheck = nullptr;
    // The one about dialog while it is loaded; it unloads itself when closed.
    QPointer<AboutDialog> m_about;
};

} // namespace lanshan
