#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;

namespace lanshan {

class FilterRun;
class HighlightFrame;
class ItemListModel;
class StatusPanels;
class VersionCheck;
class frmAbout;

// The program's one main window, "main": the working area with the key box, the data box
// and the result box in its place, the button row, and two panels that open over the
// working area: the manual matching of keys with several rows, and the synchronized view.
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void setTabOrder();
    void connectHandlers();
    void Form_Load();

    void Command1_Click();
    void Command2_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command12_Click();
    void Command11_Click();
    void Command4_Click();
    void Command3_Click();
    void List1_DblClick();
    void List2_DblClick();
    void Text1_Change();
    void Text2_Change();

    void changeRule(QPushButton *clearButton);
    void showDataView();
    // Runs the filter on from where it stands: opens the manual matching at the next
    // questionable line, or delivers the result.
    void continueRun();
    void openFrame4();
    void clearFrame4Lists(bool keyListToo);
    void finishRun();

    std::shared_ptr<FilterRun> m_run;
    bool m_list3ShowsRun = false; // the key list of the panel presents m_run

    QTimer *Timer1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    HighlightFrame *Frame4 = nullptr;
    QGroupBox *Frame5 = nullptr;
    QLabel *Label1 = nullptr;
    QListView *List5 = nullptr;
    QPushButton *Command12 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QListView *List4 = nullptr;
    QListView *List3 = nullptr;
    HighlightFrame *tongbuxianshi = nullptr;
    QGroupBox *Frame6 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Command4 = nullptr;
    QGroupBox *result = nullptr;
    QListView *List2 = nullptr;
    QGroupBox *fixdata = nullptr;
    QListView *List1 = nullptr;
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

    ItemListModel *m_list1Items = nullptr;
    ItemListModel *m_list2Items = nullptr;
    ItemListModel *m_list3Items = nullptr;
    ItemListModel *m_list4Items = nullptr;
    ItemListModel *m_list5Items = nullptr;

    // The panels of StatusBar1 and the version check that Timer1 drives.
    StatusPanels *m_panels = nullptr;
    VersionCheck *m_versionCheck = nullptr;
    // The one about dialog while it is loaded; it unloads itself when closed.
    QPointer<frmAbout> m_about;
};

} // namespace lanshan
