#include "messages.h"

#include "busycursor.h"

#include <QPushButton>

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
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool offerAction(QWidget *parent, const QString &text, QMessageBox::Icon icon, const QString &action)
{
    BusyCursor::endAll();
    if (observer())
        return observer()(text, icon, action);
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    QPushButton *actionButton = box.addButton(action, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == actionButton;
}

void setMessageObserver(MessageObserver newObserver)
{
    observer() = std::move(newObserver);
}

} // namespace lanshan
