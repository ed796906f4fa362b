#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace lanshan {

// Every copy the program makes goes through here: the result, its chosen columns, the report's
// table, a line of a list, a box's selection. The clipboard is cleared and given the text as
// plain text (ClipboardText), then read back. Where it does not hold that very text (another
// program holds it, the platform refused it, or it kept only part of it), the user is told in
// a message with the error icon, failureText or else a general one, and false is returned, so
// that the caller claims nothing.
bool putOnClipboard(QWidget *parent, const QString &text, const QString &failureText = {});

// The general words of a copy that the clipboard did not take.
QString clipboardRefusedText();

// Tests may stand in for the platform's clear-and-put step (given the plain text) to make the
// clipboard fail; the read-back stays the real one. An empty writer restores the platform's.
using ClipboardWriter = std::function<void(const QString &plainText)>;
void setClipboardWriter(ClipboardWriter writer);

} // namespace lanshan
