#include "textbox.h"

#include "clipboard.h"
#include "clipboardtext.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace lanshan {

namespace {

constexpr QChar frameStart(0xFDD0);
constexpr QChar frameEnd(0xFDD1);

// What a drag from one box to another carries besides plain text: the text exactly, CR LF
// between lines and a line break inside a line as itself, as UTF-16.
const QString boxTextFormat = u"application/x-lanshan-box-text"_s;

// Paragraph separators as CR LF, in one pass (QString::replace moves the rest of the text for
// every batch of matches).
QString withCrLfLineEnds(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.count(QChar::ParagraphSeparator));
    for (const QChar c : text) {
        if (c == QChar::ParagraphSeparator)
            out += u"\r\n"_s;
        else
            out += c;
    }
    return out;
}

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

Qt::KeyboardModifiers commandModifiers(const QKeyEvent *event)
{
    return event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
}

// Keys that would put a line or paragraph separator into the line instead of ending it.
bool breaksLineOtherwise(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = commandModifiers(event);
    if (isEnter(event))
        return modifiers != Qt::NoModifier
               && (modifiers & ~(Qt::ShiftModifier | Qt::ControlModifier)) == Qt::NoModifier;
    const QString text = event->text();
    return event->matches(QKeySequence::InsertLineSeparator) || event->matches(QKeySequence::InsertParagraphSeparator)
           || text == QChar(QChar::LineSeparator) || text == QChar(QChar::ParagraphSeparator);
}

// Ctrl+Insert and Shift+Del copy and cut on every platform, as they do on Windows.
bool isCopy(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Copy)
           || (event->key() == Qt::Key_Insert && commandModifiers(event) == Qt::ControlModifier);
}

bool isCut(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Cut)
           || (event->key() == Qt::Key_Delete && commandModifiers(event) == Qt::ShiftModifier);
}

} // namespace

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    followFontTabStops();
}

void TextBox::followFontTabStops()
{
    // Every eight average characters of the font the text is drawn in, measured at the
    // resolution of the screen it is drawn on: a larger font or a denser screen moves the stops
    // as far as it moves the text.
    const QFontMetricsF metrics(document()->defaultFont(), viewport());
    setTabStopDistance(8.0 * metrics.averageCharWidth());
}

void TextBox::changeEvent(QEvent *event)
{
    // The box hands its new font to the document first.
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        followFontTabStops();
}

bool TextBox::event(QEvent *event)
{
    const bool handled = QPlainTextEdit::event(event);
    if (event->type() == QEvent::ScreenChangeInternal)
        followFontTabStops();
    return handled;
}

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

QString TextBox::selectedBoxText() const
{
    const QTextCursor selection = textCursor();
    return withCrLfLineEnds(resolvedText(document(), selection.selectionStart(), selection.selectedText()));
}

bool TextBox::copySelection() const
{
    return textCursor().hasSelection() && putOnClipboard(window(), selectedBoxText());
}

void TextBox::cutSelection()
{
    QTextCursor selection = textCursor();
    if (isReadOnly() || !selection.hasSelection())
        return;
    // What the clipboard did not take stays in the box.
    if (!copySelection())
        return;
    selection.removeSelectedText();
    setTextCursor(selection);
}

QMimeData *TextBox::createMimeDataFromSelection() const
{
    // A drag: other programs get plain text, every line break of it a line break of the
    // platform (a drag has no way to keep a break inside a cell apart); the program's own
    // boxes get the exact text as well.
    const QString text = selectedBoxText();
    auto *data = new QMimeData;
    data->setText(withLfLineBreaks(text));
    data->setData(boxTextFormat, QByteArray(reinterpret_cast<const char *>(text.utf16()),
                                            text.size() * static_cast<qsizetype>(sizeof(char16_t))));
    return data;
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu's 复制 and 剪切 take the box's own way, as the keys do.
    QMenu *menu = createStandardContextMenu(event->pos());
    for (QAction *action : menu->actions()) {
        const QString name = action->objectName();
        if (name != u"edit-copy"_s && name != u"edit-cut"_s)
            continue;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        if (name == u"edit-copy"_s)
            connect(action, &QAction::triggered, this, [this] { copySelection(); });
        else
            connect(action, &QAction::triggered, this, [this] { cutSelection(); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (isCopy(event)) {
        copySelection();
        event->accept();
        return;
    }
    if (isCut(event) && !isReadOnly()) {
        cutSelection();
        event->accept();
        return;
    }
    // Alt with a letter is a button's key: with its button disabled (核对详情 before a run) it
    // must not type the letter into the text. AltGr, which types characters on some keyboards,
    // comes as Ctrl+Alt on Windows and as its own key elsewhere.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers == Qt::AltModifier && !event->text().isEmpty()) {
        event->ignore();
        return;
    }
    if (breaksLineOtherwise(event)) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, event->modifiers() & Qt::KeypadModifier, u"\r"_s,
                        event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&enter);
        event->setAccepted(enter.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly())
        return;
    // A paste takes its text with the line breaks the clipboard holds (on Windows, CR LF
    // between rows and a lone LF inside a cell), and so does a drag from one of the boxes. The
    // text of a drag from another program no longer tells the two apart (Qt gives LF for
    // both): every line break of it ends a line, so that rows never merge.
    QString text;
    bool breaksInsideLines = ClipboardText::keepsLoneBreaks();
    if (source == QGuiApplication::clipboard()->mimeData()) {
        text = ClipboardText::read();
    } else if (source->hasFormat(boxTextFormat)) {
        const QByteArray bytes = source->data(boxTextFormat);
        text = QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
    } else {
        text = source->text();
        breaksInsideLines = false;
    }
    if (text.isNull())
        return;
    text.replace(frameStart, QChar::ReplacementCharacter).replace(frameEnd, QChar::ReplacementCharacter);
    // Straight into the document, as one step to undo: the box's own way builds a document of
    // the text first and copies that in, which takes twice as long for a million lines.
    QTextCursor cursor = textCursor();
    if (breaksInsideLines)
        TextBox::insertLines(cursor, text);
    else
        cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace lanshan
