#pragma once

// Class lists of two columns against score sheets where a student is missing, each with what
// "采用全部可靠行" and reorder --take-reliable must make of it: the near rows that are surely the
// student's own are taken, a namesake's never. Shared by the engine's, the tool's and the
// window's tests, so that the three ways to take rows are held to one table.

#include <span>
#include <string>
#include <string_view>

namespace lanshan::testcases {

struct TakingCase
{
    const char *name;
    std::u16string_view keys; // CR LF between lines
    std::u16string_view rows;
    // The result once every reliable row is taken, CR LF between lines.
    std::u16string_view resultThen;
    // The causes (causeCode) of the last key line's first near row, as the report gives them.
    std::string_view causes;
    // The words of its cells' fates, as the report's 原因 gives them after the causes.
    std::u16string_view cellWords;
};

std::span<const TakingCase> takingCases();

} // namespace lanshan::testcases
