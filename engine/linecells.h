#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lanshan {

// The cells (from 0, ascending) of a row that hold a key line of several cells, as the matcher
// takes them: first the cells that must stand in a given column, then each other cell of the line
// in the row's first free cell equal to it. Empty where the row does not hold the line. chosen:
// the list columns (from 1, ascending) looked for, all where empty; cellColumns: per list column
// (from 0) the row's column (from 0) that must hold its cell, UINT32_MAX (or none given) for any.
// Costs about the line and the row, sorted.
std::vector<std::uint32_t> cellsHoldingLine(std::u16string_view line, std::u16string_view row,
                                            std::span<const std::size_t> chosen,
                                            std::span<const std::uint32_t> cellColumns);

} // namespace lanshan
