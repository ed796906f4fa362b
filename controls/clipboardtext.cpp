#include "clipboardtext.h"

#include <QClipboard>
#include <QGuiApplication>

#ifdef Q_OS_WIN
#include <QThread>

#include <windows.h>
#endif

namespace lanshan {

namespace {

#ifdef Q_OS_WIN

// Only Qt's own Windows platform talks to the system clipboard; under the headless platform
// (tests) Qt keeps a clipboard of its own, which is used as it is.
bool nativeClipboard()
{
    return QGuiApplication::platformName() == u"windows";
}

// Another program may hold the clipboard open for a moment.
bool openClipboard(HWND owner)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        QThread::msleep(20);
    }
    return false;
}

// SetClipboardData needs an owner window; a message-only window serves for the program's life.
HWND clipboardOwner()
{
    static const HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    return window;
}

QString readNative()
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !openClipboard(nullptr))
        return {};
    QString text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            // The text ends at its NUL, within the block's size.
            const SIZE_T capacity = GlobalSize(data) / sizeof(wchar_t);
            SIZE_T length = 0;
            while (length < capacity && chars[length] != L'\0')
                ++length;
            text = QString::fromWCharArray(chars, static_cast<qsizetype>(length));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void writeNative(const QString &text)
{
    if (!openClipboard(clipboardOwner()))
        return;
    EmptyClipboard();
    const SIZE_T bytes = (static_cast<SIZE_T>(text.size()) + 1) * sizeof(wchar_t);
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (auto *chars = static_cast<wchar_t *>(GlobalLock(block))) {
            text.toWCharArray(chars);
            chars[text.size()] = L'\0';
            GlobalUnlock(block);
            if (!SetClipboardData(CF_UNICODETEXT, block))
                GlobalFree(block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

#endif

} // namespace

QString withLfLineBreaks(QString text)
{
    // One pass: QString::replace moves the rest of the text for every batch of matches,
    // which is quadratic on a million lines.
    QChar *data = text.data();
    const qsizetype size = text.size();
    qsizetype out = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            continue;
        data[out++] = data[i];
    }
    text.truncate(out);
    return text;
}

bool ClipboardText::keepsLoneBreaks()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

QString ClipboardText::read()
{
#ifdef Q_OS_WIN
    if (nativeClipboard())
        return readNative();
#endif
    return QGuiApplication::clipboard()->text();
}

void ClipboardText::write(const QString &text)
{
#ifdef Q_OS_WIN
    if (nativeClipboard())
        return writeNative(text);
#endif
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(keepsLoneBreaks() ? text : withLfLineBreaks(text));
}

} // namespace lanshan
