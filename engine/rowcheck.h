#pragma once

#include "filterrun.h"
#include "reconciliation.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace lanshan {

// The lines of a finished run whose rows may not be their own, whoever gave them the row (the
// rule, a choice, an adoption): the row holds the key only outside the run's key column, or other
// lines were given the same row. The key column is the one most keys stand in
// (FilterRun::likelyKeyColumn()); without one, no line is suspect for its column. Linear in the
// number of lines: the cells that hold a key come from the matcher, and only a row taken
// otherwise is read again.
struct SuspectLines
{
    std::optional<std::size_t> keyColumn;
    std::vector<SuspectLine> lines; // key order
};

SuspectLines findSuspectLines(const FilterRun &run);

} // namespace lanshan
