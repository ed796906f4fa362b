#include "textbox.h"

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
    QString text = source->text();
    if (text.isNull())
        return;
    text.replace(frameStart, QChar::ReplacementCharacter).replace(frameEnd, QChar::ReplacementCharacter);
    // Straight into the document, as one step to undo: the box's own way builds a document of
    // the text first and copies that in, which takes twice as long for a million lines.
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace lanshan
