#include "clipboard.h"

#include "boxtext.h"
#include "clipboardtext.h"
#include "logging.h"

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
    const QString expected = ClipboardText::keepsLoneBreaks() ? text : withLfLineBreaks(text);
    const bool taken = readBack == expected || withLfLineBreaks(readBack) == expected;
    if (!taken)
        qCDebug(lcDesktop) << "the clipboard reads back" << readBack.size() << "characters instead of"
                           << expected.size();
    return taken;
}

void setClipboardWriter(ClipboardWriter newWriter)
{
    writer() = std::move(newWriter);
}

} // namespace lanshan
