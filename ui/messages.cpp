#include "messages.h"

#include "busycursor.h"

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
        observer()(text, icon);
        return;
    }
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void setMessageObserver(MessageObserver newObserver)
{
    observer() = std::move(newObserver);
}

} // namespace lanshan
