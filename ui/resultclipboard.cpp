#include "resultclipboard.h"

#include "boxtext.h"
#include "busycursor.h"
#include "clipboard.h"
#include "columnspopup.h"
#include "filterrun.h"
#include "messagetexts.h"
#include "twips.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <new>

namespace lanshan {

ResultClipboard::ResultClipboard(QWidget *window, QPlainTextEdit *resultBox, QPushButton *columnsButton, QLabel *note,
                                 std::function<int()> noteEnd)
    : QObject(window)
    , m_window(window)
    , m_resultBox(resultBox)
    , m_columnsButton(columnsButton)
    , m_note(note)
    , m_noteEnd(std::move(noteEnd))
{ }

ResultClipboard::~ResultClipboard() = default;

void ResultClipboard::showRun(std::shared_ptr<const FilterRun> run)
{
    m_run = std::move(run);
    showNote();
}

bool ResultClipboard::handOver(const QString &wholeRows)
{
    // Whole rows as just made, without reading them back from the box. The result stands in the
    // result box where the clipboard does not take it, and the hand-over says so.
    return putOnClipboard(m_window, m_columns.wholeRows() ? wholeRows : clipboardText(), messageText::resultNotCopied);
}

void ResultClipboard::restore()
{
    // As a panel is left without a word: the result box as it stands, but never the empty lines
    // of a run that found no row.
    if (!m_blank)
        putOnClipboard(m_window, clipboardText(), messageText::resultNotCopied);
}

QString ResultClipboard::clipboardText() const
{
    if (m_columns.wholeRows() || !m_run)
        return boxQString(m_resultBox);
    return QString::fromStdU16String(selectedResultText(*m_run, m_columns));
}

void ResultClipboard::showNote()
{
    // Said once columns were chosen, until the inputs change.
    m_note->setVisible(m_columnsChosen && m_run);
    if (m_columnsChosen && m_run) {
        // As wide as its words, like a second caption: the frame's line goes on beside it.
        m_note->setText(messageText::columnsCopied(m_columns, m_run->countedLines()));
        m_note->resize(std::min(m_note->sizeHint().width() + toPixels(90), m_noteEnd() - m_note->x()),
                       m_note->height());
    }
}

void ResultClipboard::dropColumns()
{
    if (!m_columnsChosen)
        return;
    m_columns = {};
    m_columnsChosen = false;
    showNote();
}

void ResultClipboard::openColumnsBox()
{
    if (!m_run)
        return;
    if (!m_columnsBox) {
        m_columnsBox = new ColumnsPopup(m_window);
        connect(m_columnsBox, &ColumnsPopup::chosen, this, &ResultClipboard::copyColumns);
    }
    m_columnsBox->offer(headerNames(*m_run), widestResultLine(*m_run), QString::fromStdU16String(m_columns.text()));
    m_columnsBox->openAbove(m_columnsButton);
    if (m_outdated)
        m_columnsBox->refuse(messageText::runFirst);
}

void ResultClipboard::copyColumns(const QString &list)
{
    // The result no longer follows from the boxes: nothing of it goes to the clipboard.
    if (m_outdated) {
        m_columnsBox->refuse(messageText::runFirst);
        return;
    }
    ParsedColumns parsed = ColumnSelection::parse(list.toStdU16String());
    if (!parsed.selection) {
        m_columnsBox->refuse(messageText::columnsRefused(parsed));
        return;
    }
    // A column that no result line reaches is a slip: said, rather than a clipboard of empty
    // lines.
    const std::size_t widest = widestResultLine(*m_run);
    for (const ColumnSelection::Range &range : parsed.selection->ranges()) {
        if (range.last > widest) {
            m_columnsBox->refuse(messageText::columnBeyondResult(range.last, widest));
            return;
        }
    }
    BusyCursor busy;
    const ColumnSelection previous = m_columns;
    m_columns = std::move(*parsed.selection);
    QString text;
    try {
        text = clipboardText();
    } catch (const std::bad_alloc &) {
        m_columns = previous;
        m_columnsBox->refuse(messageText::columnsTooLarge);
        return;
    }
    m_columnsBox->hide();
    m_columnsButton->setFocus();
    // Said where the clipboard refused the columns; the choice then stays as it was.
    if (!putOnClipboard(m_window, text, messageText::resultNotCopied)) {
        m_columns = previous;
        return;
    }
    m_columnsChosen = true;
    showNote();
}

} // namespace lanshan
