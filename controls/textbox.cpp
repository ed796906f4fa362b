#include "textbox.h"

#include "clipboardtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextCursor>

namespace lanshan {

namespace {

constexpr QChar frameStart(0xFDD0);
constexpr QChar frameEnd(0xFDD1);
} // namespace

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{ }

bool TextBox::hasLoneBreak(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        else if (text[i] == u'\r' || text[i] == u'\n')
            return true;
    }
    return false;
}

void TextBox::insertLines(QTextCursor &cursor, const QString &text)
{
    if (!hasLoneBreak(text)) {
        cursor.insertText(text);
        return;
    }
    const QTextCharFormat plain = cursor.charFormat();
    cursor.beginEditBlock();
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            cursor.insertText(text.mid(start, i - start), plain);
            QTextCharFormat kept = plain;
            kept.setProperty(TextBox::inLineBreakProperty, static_cast<int>(c.unicode()));
            cursor.insertText(QString(QChar::LineSeparator), kept);
            start = i + 1;
        }
    }
    cursor.insertText(text.mid(start), plain);
    cursor.endEditBlock();
}

QMimeData *TextBox::createMimeDataFromSelection() const
{
    // The selection as the document holds it, a paragraph separator at every line end.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    auto *data = new QMimeData;
    data->setText(text);
    return data;
}

void TextBox::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly())
        return;
    // A paste from the clipboard takes its text with the line breaks the clipboard holds (on
    // Windows, CR LF between rows and a lone LF inside a cell); a drop takes the dragged text.
    const bool fromClipboard = source == QGuiApplication::clipboard()->mimeData();
    QString text = fromClipboard ? ClipboardText::read() : source->text();
    if (text.isNull())
        return;
    text.replace(frameStart, QChar::ReplacementCharacter).replace(frameEnd, QChar::ReplacementCharacter);
    // Straight into the document, as one step to undo: the box's own way builds a document of
    // the text first and copies that in, which takes twice as long for a million lines.
    QTextCursor cursor = textCursor();
    if (ClipboardText::keepsLoneBreaks())
        TextBox::insertLines(cursor, text);
    else
        cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace lanshan
