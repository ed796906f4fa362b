#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The rule that decides whether a data row belongs to a key line. Only U+0020 counts as a
// space; TAB separates columns; all comparisons are exact, code unit by code unit.
namespace lanshan {

// The line with the spaces at its two ends removed.
std::u16string_view trimSpaces(std::u16string_view text);

// A key line of spaces alone (or nothing) is never matched.
bool isEmptyKey(std::u16string_view key);

// Stage one: with every space removed from both, the key followed by a TAB occurs in the row.
bool isCandidate(std::u16string_view key, std::u16string_view row);

// Stage two: one TAB-separated piece of the candidate entry ("7.", then the row's columns)
// equals the key exactly.
bool isConfirmed(std::u16string_view key, std::u16string_view candidateEntry);

// Both stages for the row at a position of the data table, without building the entry.
bool belongsTo(std::u16string_view key, std::u16string_view row, std::size_t rowPos);

// The row position whose entry starts with the key as its first piece: "7." gives 6.
// Nothing when the key is not a row number without leading zeros followed by ".".
std::optional<std::size_t> rowOfNumberPiece(std::u16string_view key);

} // namespace lanshan
