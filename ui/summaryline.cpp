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
    line->setText(summary);
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
}

} // namespace lanshan
