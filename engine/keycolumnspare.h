#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lanshan {

class FilterRun;

// Whether the run again, with the keys looked for in one column (or, of a list of several
// columns, each cell in its own), would settle at least one of this run's questions: give a
// questionable line exactly one row. Only then is it worth offering.
//
// column: the data column (from 1) of single keys; listColumns: per cell of a list line (from 0),
// the data column (from 0) it would be looked for in, UINT32_MAX for any.
bool keyColumnSettlesAQuestion(const FilterRun &run, std::size_t column);
bool listColumnsSettleAQuestion(const FilterRun &run, const std::vector<std::uint32_t> &listColumns);

} // namespace lanshan
