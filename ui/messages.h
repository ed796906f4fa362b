#pragma once

#include "applicationtitle.h"

#include <QMessageBox>
#include <QString>

#include <functional>

namespace lanshan {

// Every message of the program goes through here: one OK button, the application title and
// the given icon (Critical for errors, Information, or NoIcon); it waits until closed.
void showMessage(QWidget *parent, const QString &text, QMessageBox::Icon icon);

// Tests may observe the messages instead of having boxes shown; an empty observer restores
// the real boxes.
using MessageObserver = std::function<void(const QString &text, QMessageBox::Icon icon)>;
void setMessageObserver(MessageObserver observer);

} // namespace lanshan
