#include "messages.h"

#include "busycursor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QStyle>

namespace lanshan {

namespace {

MessageObserver &observer()
{
    static MessageObserver instance;
    return instance;
}

} // namespace

void showMessage(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    // No busy cursor over a box that waits for the user.
    BusyCursor::endAll();
    if (observer()) {
        observer()(text, icon, QString());
        return;
    }
    messageBox(parent, text, icon)->exec();
}

std::unique_ptr<QMessageBox> messageBox(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                        const QString &action)
{
    auto box = std::make_unique<QMessageBox>(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    // A short message makes a narrow box, whose title bar would cut the program's name: the box
    // is at least as wide as its title with the title bar's icon and buttons.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        const int bar = box->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + 5 * bar;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    if (!action.isEmpty()) {
        box->addButton(action, QMessageBox::AcceptRole);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    return box;
}

bool offerAction(QWidget *parent, const QString &text, QMessageBox::Icon icon, const QString &action)
{
    BusyCursor::endAll();
    if (observer())
        return observer()(text, icon, action);
    const std::unique_ptr<QMessageBox> box = messageBox(parent, text, icon, action);
    box->exec();
    QAbstractButton *clicked = box->clickedButton();
    // OK is the box's one standard button; the action is the other.
    return clicked && box->standardButton(clicked) == QMessageBox::NoButton;
}

void setMessageObserver(MessageObserver newObserver)
{
    observer() = std::move(newObserver);
}

} // namespace lanshan
