#include "clipboard.h"

#include "boxtext.h"
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
    const QString plain = withLfLineBreaks(text);
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (writer()) {
        writer()(plain);
    } else {
        clipboard->clear();
        clipboard->setText(plain);
    }
    // Where the program owns the clipboard this reads its own text back; where it could not
    // take it, what the clipboard holds instead. Some platforms give line breaks back as CR LF.
    const QString readBack = clipboard->text();
    const bool taken = readBack == plain || withLfLineBreaks(readBack) == plain;
    if (!taken)
        qCDebug(lcDesktop) << "the clipboard reads back" << readBack.size() << "characters instead of" << plain.size();
    return taken;
}

void setClipboardWriter(ClipboardWriter newWriter)
{
    writer() = std::move(newWriter);
}

} // namespace lanshan
