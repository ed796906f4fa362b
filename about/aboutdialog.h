#pragma once

#include "makerinfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace lanshan {

// The about dialog: the application's title, its version, what it is for, the author's contact
// lines and a link to the maker's home page. It is not modal, stays above other windows and
// has no taskbar button of its own. Creating it loads it and fills in its texts; closing it in any
// way (its OK button, Enter, Escape, the close box) unloads it: it deletes itself, so that the next
// opening loads it anew.
class AboutDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    // parent: the window that owns the dialog, which keeps it off the taskbar.
    explicit AboutDialog(const MakerInfo &maker, QWidget *parent = nullptr);
    ~AboutDialog() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void fillTexts();
    void closeDialog();
    void openHomePage();

    MakerInfo m_maker;

    QPushButton *m_okButton = nullptr;
    QLabel *m_picture = nullptr;
    QLabel *m_description = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_contact = nullptr;
    QLabel *m_siteCaption = nullptr;
    QLabel *m_homePageLink = nullptr;
};

} // namespace lanshan
