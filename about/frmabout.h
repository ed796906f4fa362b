#pragma once

#include "makerinfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace lanshan {

// The about dialog: the application's title, its version, what it is for, the author's contact
// lines and a link to the maker's home page. It is not modal, stays above other windows and
// has no taskbar button of its own. Creating it loads it and runs Form_Load; closing it in any
// way (cmdOK, Enter, Escape, the close box) unloads it: it deletes itself, so that the next
// opening loads it anew.
class frmAbout : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    // parent: the window that owns the dialog, which keeps it off the taskbar.
    explicit frmAbout(const MakerInfo &maker, QWidget *parent = nullptr);
    ~frmAbout() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void Form_Load();
    void cmdOK_Click();
    void Label3_Click();

    MakerInfo m_maker;

    QPushButton *cmdOK = nullptr;
    QLabel *picIcon = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
};

} // namespace lanshan
