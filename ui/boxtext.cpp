#include "boxtext.h"

#include "textbox.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFormat>

#include <algorithm>

namespace lanshan {

std::u16string boxText(const QPlainTextEdit *box)
{
    return documentText(box->document());
}

std::u16string documentText(const QTextDocument *document)
{
    // toPlainText() would turn no-break spaces into spaces and line separators into line
    // breaks; the raw text keeps them and marks each line end with a paragraph separator. Line
    // breaks kept inside a line (pasted on Windows) are given back as they were.
    const QString raw = TextBox::resolvedText(document, 0, document->toRawText());
    const auto breaks = static_cast<std::size_t>(raw.count(QChar::ParagraphSeparator));
    std::u16string text(static_cast<std::size_t>(raw.size()) + breaks, u'\0');
    char16_t *out = text.data();
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = static_cast<char16_t>(c.unicode());
        }
    }
    return text;
}

QString boxQString(const QPlainTextEdit *box)
{
    return QString::fromStdU16String(boxText(box));
}

bool boxIsEmpty(const QPlainTextEdit *box)
{
    return box->document()->isEmpty();
}

QString withCrLfLineBreaks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator) {
            out += QStringLiteral("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

bool setBoxText(QPlainTextEdit *box, const QString &text)
{
    if (boxQString(box) == withCrLfLineBreaks(text))
        return false;
    // One step of the box's own undo, as a paste is: Ctrl+Z gives back what a command cleared
    // or replaced. setPlainText() would forget the box's history.
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
    box->moveCursor(QTextCursor::Start);
    return true;
}

QList<QPlainTextEdit *> setBoxTexts(const QList<std::pair<QPlainTextEdit *, QString>> &texts)
{
    QList<QPlainTextEdit *> changed;
    for (const auto &[box, text] : texts) {
        if (setBoxText(box, text))
            changed.append(box);
    }
    return changed;
}

namespace {

// One step of the box's undo: the whole text replaced by lines that only CR LF ends.
void replaceLines(QPlainTextEdit *box, const QString &text)
{
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setCharFormat(QTextCharFormat());
    TextBox::insertLines(cursor, text);
    cursor.endEditBlock();
    box->moveCursor(QTextCursor::Start);
}

} // namespace

void exchangeBoxTexts(QPlainTextEdit *first, QPlainTextEdit *second)
{
    const QString firstText = boxQString(first);
    const QString secondText = boxQString(second);
    replaceLines(first, secondText);
    replaceLines(second, firstText);
}

void setBoxLines(QPlainTextEdit *box, const QString &text)
{
    if (!TextBox::hasLoneBreak(text)) {
        box->setPlainText(text);
        return;
    }
    box->clear();
    QTextCursor cursor(box->document());
    TextBox::insertLines(cursor, text);
}

qsizetype longestLineLength(QStringView text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\r' || text[i] == u'\n') {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    return longest;
}

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace lanshan
