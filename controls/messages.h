#pragma once

#include "applicationtitle.h"

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

namespace lanshan {

// Every message of the program goes through here: one OK button, the application title and
// the given icon (Critical for errors, Information, or NoIcon); it waits until closed.
void showMessage(QWidget *parent, const QString &text, QMessageBox::Icon icon);

// A message that offers one way out besides OK, a button with that caption ("交换后重新筛选(&S)");
// OK stays the default, so that Enter only closes it. True when the user took the action.
bool offerAction(QWidget *parent, const QString &text, QMessageBox::Icon icon, const QString &action);

// The box that those two show and wait on: OK, and where action is not empty a button with that
// caption. The screenshot tool shows it without waiting.
std::unique_ptr<QMessageBox> messageBox(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                        const QString &action = {});

// Tests may observe the messages instead of having boxes shown, and answer those that offer an
// action (action is empty for the others; the answer is then ignored). An empty observer
// restores the real boxes.
using MessageObserver = std::function<bool(const QString &text, QMessageBox::Icon icon, const QString &action)>;
void setMessageObserver(MessageObserver observer);

} // namespace lanshan
