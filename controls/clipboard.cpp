#include "clipboard.h"

#include "clipboardtext.h"
#include "logging.h"
#include "messages.h"

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

ClipboardWriter &writer()
{
    static ClipboardWriter instance;
    return instance;
}

// Whether the clipboard now holds the text. Where the program owns the clipboard this reads its
// own text back; where it could not take it, what the clipboard holds instead. Some platforms
// give line breaks back as CR LF.
bool clipboardHolds(const QString &text)
{
    const QString readBack = ClipboardText::read();
    const QString expected = ClipboardText::keepsLoneBreaks() ? text : withLfLineBreaks(text);
    const bool taken = readBack == expected || withLfLineBreaks(readBack) == expected;
    if (!taken)
        qCDebug(lcDesktop) << "the clipboard reads back" << readBack.size() << "characters instead of"
                           << expected.size();
    return taken;
}

} // namespace

QString clipboardRefusedText()
{
    return u"未能复制到剪贴板！剪贴板可能正被其他程序占用，请稍后再试。"_s;
}

bool putOnClipboard(QWidget *parent, const QString &text, const QString &failureText)
{
    if (writer())
        writer()(withLfLineBreaks(text));
    else
        ClipboardText::write(text);
    if (clipboardHolds(text))
        return true;
    showMessage(parent, failureText.isEmpty() ? clipboardRefusedText() : failureText, QMessageBox::Critical);
    return false;
}

void setClipboardWriter(ClipboardWriter newWriter)
{
    writer() = std::move(newWriter);
}

} // namespace lanshan
