#include "summaryline.h"

#include "contrast.h"
#include "filterrun.h"
#include "filtersession.h"
#include "messagetexts.h"
#include "reconcileview.h"

#include <QLabel>

namespace lanshan {

void showSummary(QLabel *line, const FilterSession &session, const ReconcileView *view, bool resultShown)
{
    const bool reported = view && view->hasReport();
    const std::size_t suspect = reported ? view->suspectCount() : 0;
    const FilterRun *run = session.run().get();
    QString summary;
    if (!session.undoHint().isEmpty())
        summary = session.undoHint();
    else if (session.resultOutdated() && resultShown)
        summary = messageText::resultOutdated;
    else if (view && view->reportTooLarge())
        summary = messageText::reportTooLarge;
    else if (reported)
        summary = messageText::reconcileSummary(
            view->missingCount(), view->unusedCount(), view->leftEmptyCount(), suspect, run ? run->keyListColumns() : 1,
            run ? run->options().keyCells : std::vector<std::size_t>(), view->takenCount());
    // Lines that may hold a wrong row stand out, in a colour that reads on this palette's face.
    // Only the roles set here; the rest, and all of it without such lines, as the window has it.
    QFont font;
    QPalette colours;
    if (suspect > 0 && !session.resultOutdated() && session.undoHint().isEmpty()) {
        font.setBold(true);
        colours.setColor(QPalette::WindowText,
                         readableColour(QColor(0xb0, 0x00, 0x00), line->window()->palette(), QPalette::Link));
    }
    line->setFont(font);
    line->setPalette(colours);
    // The counts matter most: where the line is too narrow for the words on the list's columns as
    // well, which the message after the run said, they give way, and stand whole in the tooltip.
    QString shown = summary;
    if (reported && run && run->keyListColumns() > 1 && session.undoHint().isEmpty() && !session.resultOutdated()
        && line->fontMetrics().horizontalAdvance(summary) > line->contentsRect().width()) {
        shown = messageText::reconcileSummary(view->missingCount(), view->unusedCount(), view->leftEmptyCount(),
                                              suspect, 1, {}, view->takenCount());
    }
    line->setText(shown);
    line->setToolTip(shown == summary ? QString() : summary);
    line->setAccessibleDescription(line->toolTip());
}

} // namespace lanshan
