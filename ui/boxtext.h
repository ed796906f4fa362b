#pragma once

#include <QList>
#include <QString>

#include <string>
#include <string_view>
#include <utility>

class QPlainTextEdit;
class QTextDocument;

// The text of a multi-line box as the filter sees it: lines joined by CR LF, every other
// character exactly as typed or pasted (no-break spaces, line separators and NUL included).
namespace lanshan {

std::u16string boxText(const QPlainTextEdit *box);
// The same for a box's document.
std::u16string documentText(const QTextDocument *document);
QString boxQString(const QPlainTextEdit *box);

// True when the box holds the empty text (a lone line break is text).
bool boxIsEmpty(const QPlainTextEdit *box);

// Sets the box's text as one step that Ctrl+Z in the box takes back; CR LF, lone CR and lone
// LF each start a new line. Returns false, and leaves the box alone, when it already holds
// that very text.
bool setBoxText(QPlainTextEdit *box, const QString &text);
// setBoxText() for each box; the boxes whose text it changed.
QList<QPlainTextEdit *> setBoxTexts(const QList<std::pair<QPlainTextEdit *, QString>> &texts);

// The two boxes exchange their texts, each as one step that Ctrl+Z in the box takes back; a
// line break kept inside a line stays inside it.
void exchangeBoxTexts(QPlainTextEdit *first, QPlainTextEdit *second);

// Sets the box's text, in which only CR LF ends a line (TextBox::insertLines()): a lone LF or
// CR stays inside its line, and boxText() reads it back as it was.
void setBoxLines(QPlainTextEdit *box, const QString &text);

// Every CR LF, lone CR, lone LF and paragraph separator turned into CR LF, as a box reads
// back a text that was set into it.
QString withCrLfLineBreaks(const QString &text);

// The length of the longest line of the text, lines ending at CR or LF.
qsizetype longestLineLength(QStringView text);

// A line of the engine's tables as a QString.
QString toQString(std::u16string_view text);

} // namespace lanshan
