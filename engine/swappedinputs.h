#pragma once

#include "linetable.h"

namespace lanshan {

class FilterRun;

// Whether the run found a row for none of its key lines by its rule: whatever it hands over is
// empty lines only, which is no result to paste. False for a run stopped for too few lines.
bool foundNoRow(const FilterRun &run);

// Whether the two inputs look as if they were pasted into each other's box: the data's lines,
// read as keys against the key lines read as rows, would find rows for at least half of the
// data's non-empty lines (and for one at least). Linear in the two tables, as a run is.
bool inputsLookSwapped(const LineTable &keys, const LineTable &data);

} // namespace lanshan
