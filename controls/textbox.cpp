#include "textbox.h"

#include "clipboardtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

using namespace Qt::StringLiterals;

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
    QTextCharFormat mark = plain;
    mark.setProperty(inLineBreakProperty, 0);
    mark.setForeground(QColor(Qt::gray));
    cursor.beginEditBlock();
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            cursor.insertText(text.mid(start, i - start), plain);
            cursor.insertText(QString(inLineBreakMark), mark);
            QTextCharFormat kept = plain;
            kept.setProperty(inLineBreakProperty, static_cast<int>(c.unicode()));
            cursor.insertText(QString(QChar::LineSeparator), kept);
            start = i + 1;
        }
    }
    cursor.insertText(text.mid(start), plain);
    cursor.endEditBlock();
}

QString TextBox::resolvedText(const QTextDocument *document, int from, const QString &raw)
{
    if (!raw.contains(QChar::LineSeparator) && !raw.contains(inLineBreakMark))
        return raw;
    QString text;
    text.reserve(raw.size());
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == QChar::LineSeparator || c == inLineBreakMark) {
            cursor.setPosition(from + static_cast<int>(i) + 1);
            const QVariant kept = cursor.charFormat().property(inLineBreakProperty);
            if (kept.isValid()) {
                if (kept.toInt() != 0)
                    text += QChar(static_cast<char16_t>(kept.toInt()));
                continue;
            }
        }
        text += c;
    }
    return text;
}

QMimeData *TextBox::createMimeDataFromSelection() const
{
    // The selection as the document holds it, a paragraph separator at every line end.
    const QTextCursor selection = textCursor();
    QString text = resolvedText(document(), selection.selectionStart(), selection.selectedText());
    text.replace(QChar::ParagraphSeparator, u'\n');
    auto *data = new QMimeData;
    data->setText(text);
    return data;
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    // Qt's clipboard on Windows would make a row break of every line break inside a cell: a
    // selection that holds one goes onto the clipboard as it is, CR LF between its lines.
    const QTextCursor selection = textCursor();
    if (event == QKeySequence::Copy && ClipboardText::keepsLoneBreaks() && selection.hasSelection()) {
        const QString raw = selection.selectedText();
        if (raw.contains(inLineBreakMark)) {
            ClipboardText::write(resolvedText(document(), selection.selectionStart(), raw)
                                     .replace(QChar::ParagraphSeparator, u"\r\n"_s));
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
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
