#pragma once

#include <QString>

#include <functional>

namespace lanshan {

// Every write of the whole result to the clipboard: the clipboard is cleared, then given the
// text as plain text (CR LF as LF, which Qt turns into the platform's line breaks). Returns
// whether the clipboard reads back that very text afterwards: false when it could not take it,
// because another program holds it, the platform refused it, or it keeps only part of it.
bool putOnClipboard(const QString &text);

// Tests may stand in for the platform's clear-and-put step (given the plain text) to make the
// clipboard fail; the read-back stays the real one. An empty writer restores the platform's.
using ClipboardWriter = std::function<void(const QString &plainText)>;
void setClipboardWriter(ClipboardWriter writer);

} // namespace lanshan
