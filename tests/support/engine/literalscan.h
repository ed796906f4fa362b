#pragma once

// A test-only, deliberately naive transcription of the filter's documented rules: the
// splitting of a pasted text into lines, the two-stage key rule, and the run that scans all
// data rows for every key line (n x m candidate tests) and assembles the result. It is
// written from the documented rules, one at a time, and shares no code with the engine;
// the differential test compares the engine's fast paths with it. Speed does not matter here.
//
// Only U+0020 counts as a space. Every other character, U+3000 included, is ordinary.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanshan::literal {

using Lines = std::vector<std::u16string>;

// Splitting a text into a line table: the spaces at the two ends of the whole text go; an
// empty rest gives no lines; otherwise the rest is cut at every CR LF pair, and lone CR or LF
// stay ordinary characters of their line.
Lines splitLines(std::u16string_view text);

// A key line is empty when nothing remains once the spaces at its start and end are removed.
bool isEmptyKey(std::u16string_view key);

// Stage one: every space removed from row and key, the key followed by one TAB occurs in the row.
bool isCandidate(std::u16string_view key, std::u16string_view row);

// The entry the filter shows for the candidate at position rowPos: row number rowPos + 1, ".",
// TAB, the row unchanged.
std::u16string candidateEntry(std::size_t rowPos, std::u16string_view row);

// The List5 item of the row at position rowPos: the position itself, in decimal.
std::u16string positionItem(std::size_t rowPos);

// Stage two: cut the entry at every TAB; some piece equals the key exactly.
bool isConfirmed(std::u16string_view key, std::u16string_view entry);

// A key line holding a TAB is a list of cells: its cells, cut at every TAB, those of spaces
// alone left out. A row holds them when each equals a cell of the row (the last one too), each
// a cell of its own, in any order.
bool holdsEveryKeyCell(std::u16string_view key, std::u16string_view row);

// The scan for one key line: the scan over all rows in data order collects the
// candidate entries (List4) and positions (List5); the unconfirmed ones are then removed from
// the last item down to item 0. An empty key line is never matched.
struct ScanLists
{
    std::u16string lastCandidate; // the result the scan leaves behind
    Lines list4;                  // confirmed candidate entries, data order
    Lines list5;                  // their positions, as the list holds them
};
ScanLists scanKey(std::u16string_view key, const Lines &datalines);

// The confirmed row positions of one key line, in data order (List5 read back as numbers).
std::vector<std::size_t> confirmedRows(std::u16string_view key, const Lines &datalines);

// What the run shows while it waits for a choice at a questionable line.
struct Stop
{
    std::size_t pickpos = 0;
    Lines list3; // every key line, "[*]" before the awaited one, three spaces before the others
    Lines list4;
    Lines list5;
    Lines list1;                         // the key list as it stands while the run waits
    Lines list2;                         // the result list as it stands while the run waits
    std::optional<std::size_t> selected; // the List4 item taken, or nothing for "leave empty"
};

// The user at a questionable line: returns the List4 item to take ("确定"), or nothing to leave
// the line empty ("忽略留空").
using Settle = std::function<std::optional<std::size_t>(const Stop &)>;

struct Assembly
{
    Lines fixlines;
    Lines datalines;
    bool tooFewLines = false; // the run stopped before matching anything
    Lines resultlines;
    Lines list1;
    Lines list2;
    std::vector<Stop> stops; // the questionable lines, in the order the run met them
    std::u16string text3;    // the result lines joined with CR LF
};

// A run of the filter on the two input texts, up to the result text.
Assembly run(std::u16string_view text1, std::u16string_view text2, const Settle &settle);

// The run warns when Text1, Text2 or Text3 is the empty text.
bool warns(std::u16string_view text1, std::u16string_view text2, const Assembly &assembly);

} // namespace lanshan::literal
