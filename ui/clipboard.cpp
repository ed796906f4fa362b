#include "clipboard.h"

#include "boxtext.h"
#include "clipboardtext.h"

#include <QClipboard>
#include <QGuiApplication>

namespace lanshan {

namespace {

ClipboardWriter &writer()
{
    static ClipboardWriter instance;
    return instance;
}

} // namespace

bool putOnClipboard(const QString &text)
{
    if (writer()) {
        writer()(withLfLineBreaks(text));
    } else {
        ClipboardText::write(text);
    }
    // Where the program owns the clipboard this reads its own text back; where it could not
    // take it, what the clipboard holds instead. Some platforms give line breaks back as CR LF.
    const QString readBack = ClipboardText::read();
    if (ClipboardText::keepsLoneBreaks())
        return readBack == text;
    const QString plain = withLfLineBreaks(text);
    return readBack == plain || withLfLineBreaks(readBack) == plain;
}

void setClipboardWriter(ClipboardWriter newWriter)
{
    writer() = std::move(newWriter);
}

} // namespace lanshan
