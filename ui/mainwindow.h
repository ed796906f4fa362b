#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;

namespace lanshan {

class FilterRun;
class MatchingPanel;
class ReconcileView;
class StatusPanels;
class SyncView;
class VersionCheck;
class frmAbout;

// The program's one main window, "main": the working area with the key box, the data box
// and the result box in its place, the button row, and two panels that open over the
// working area: the manual matching of keys with several rows (MatchingPanel), the
// synchronized view (SyncView) and the reconciliation of the result (ReconcileView). The window runs the filter,
// decides which panel shows and gives the messages.
class MainWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The latest filter run, or none before the first one.
    const FilterRun *filterRun() const { return m_run.get(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    // While a panel is open, Tab and Shift+Tab stay among its controls.
    bool focusNextPrevChild(bool next) override;

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void Form_Load();

    void Command1_Click();
    void Command2_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command3_Click();
    void Text1_Change();
    void Text2_Change();

    void changeRule(QPushButton *clearButton);
    void showDataView();
    // Runs the filter on from where it stands: opens the manual matching at the next
    // questionable line, or delivers the result.
    void continueRun();
    void finishRun();
    // The panel over the working area, or none.
    QWidget *openPanel() const;
    // Near rows taken into the result: the result box, the lists and the clipboard follow.
    void showAdoptedResult();
    void showReconcileSummary();

    std::shared_ptr<FilterRun> m_run;

    QTimer *Timer1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    MatchingPanel *Frame4 = nullptr;
    SyncView *tongbuxianshi = nullptr;
    // Why keys found no row: the counts below the buttons, and the view they open.
    ReconcileView *m_reconcileView = nullptr;
    QLabel *m_reconcileSummary = nullptr;
    QPushButton *m_reconcileButton = nullptr;
    QPushButton *Command11 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command8 = nullptr;
    QPushButton *Command9 = nullptr;
    QPushButton *Command10 = nullptr;
    QPlainTextEdit *Text5 = nullptr;
    QPlainTextEdit *Text4 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;

    // The panels of StatusBar1 and the version check that Timer1 drives.
    StatusPanels *m_panels = nullptr;
    VersionCheck *m_versionCheck = nullptr;
    // The one about dialog while it is loaded; it unloads itself when closed.
    QPointer<frmAbout> m_about;
};

} // namespace lanshan
