#pragma once

class QLabel;

namespace lanshan {

class FilterSession;
class ReconcileView;

// The line below the buttons says what a command's Ctrl+Z takes back, that the result no longer
// follows from the boxes, or the report's counts (view: the report's view, if made yet);
// resultShown: the result box holds a result.
void showSummary(QLabel *line, const FilterSession &session, const ReconcileView *view, bool resultShown);

} // namespace lanshan
