#pragma once

#include <QPlainTextEdit>

class QMimeData;
class QTextCursor;
class QTextDocument;

namespace lanshan {

// The program's multi-line boxes. Every copy and cut (keys and context menu alike) puts the
// selection on the clipboard as plain text, exactly as the box holds it, the way the program
// puts a result there: the box's own copy would add HTML and turn no-break spaces into spaces
// and line separators into line breaks. A paste goes into the document as plain text in one
// step; the noncharacters U+FDD0 and U+FDD1, which the document takes for frame marks and
// would turn into line breaks, arrive as U+FFFD, so that a paste never gains a line that its
// text does not have. Where the clipboard keeps line breaks inside spreadsheet cells apart
// from those between rows (Windows), a pasted line keeps its inner breaks, and a copy puts
// them back. Every key that would break a line (Shift+Enter, Ctrl+Enter) makes the same
// line break as Enter: a separator typed into a line would hide a line from the filter. TAB
// stops stand every eight average characters of the box's font, as in a classic text box,
// following the font and the screen's resolution.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextBox)

public:
    explicit TextBox(QWidget *parent = nullptr);

    // Inserts a text in which only CR LF ends a line, as spreadsheets on Windows put rows on
    // the clipboard: a lone LF or CR (a line break inside a cell) stays a character of its line.
    // The box shows it as a grey mark "↵" and a soft break; both carry inLineBreakProperty in
    // their format (the break the character it stands for, the mark 0), so that resolvedText()
    // gives back the very text.
    static void insertLines(QTextCursor &cursor, const QString &text);
    static bool hasLoneBreak(QStringView text);
    static constexpr int inLineBreakProperty = 0x100000 + 1; // QTextFormat::UserProperty + 1
    static constexpr QChar inLineBreakMark{0x21B5};

    // The document's raw text from position `from` (raw holds the document's characters there)
    // with the in-line breaks as the characters they stand for and their marks left out;
    // paragraph separators stay.
    static QString resolvedText(const QTextDocument *document, int from, const QString &raw);

    // The selection as it goes onto the clipboard: CR LF between lines, a break inside a line
    // as the character it stands for.
    QString selectedBoxText() const;
    // The one way text leaves the box for the clipboard; nothing happens without a selection.
    // True where the clipboard took it.
    bool copySelection() const;
    void cutSelection();

protected:
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void followFontTabStops();
};

} // namespace lanshan
