#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Texts of the numbered items that the filter shows in its lists.
namespace lanshan {

// Entry number (pos + 1), ".", the text: the items of the key list and the result list.
std::u16string numberedItem(std::size_t pos, std::u16string_view text);

// The key list of the manual-matching panel: "[*]" marks the line that awaits a choice,
// three spaces stand before every other line.
std::u16string markedItem(std::size_t pos, std::u16string_view line, bool awaited);

// Row number (rowPos + 1), ".", TAB, the row unchanged.
std::u16string candidateEntry(std::size_t rowPos, std::u16string_view row);

// An item of numberedItem() or markedItem() as a list shows it: where the text after the entry
// number starts with a digit ("4.4", "10.10"), a space after the point sets the number apart, so
// that it does not read as a decimal. Other items are returned as they are.
std::u16string entryNumberApart(std::u16string_view item);

// The bare row position, from 0.
std::u16string positionItem(std::size_t rowPos);

} // namespace lanshan
