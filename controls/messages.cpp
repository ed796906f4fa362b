#include "messages.h"

#include "busycursor.h"

#include <QAbstractButton>

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
