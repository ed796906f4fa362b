#pragma once

// Why a cell of an unused row is near a key line that found no row: bits, combined. The first
// five are the classes of differences that the canonical form (canonicalform.h) ignores.
namespace lanshan {

enum NearCause : unsigned {
    Spaces = 1,       // spaces inside or around, ordinary or not
    Invisible = 2,    // format characters such as U+200B
    Width = 4,        // full-width letters, digits and signs
    Case = 8,         // upper and lower case
    Variant = 16,     // traditional characters for simplified ones
    LastColumn = 32,  // the cell is the row's last, which the filter never takes alone
    LongerValue = 64, // the key is only the start or the end of the cell
    OneChar = 128,    // the two differ by one character
};

constexpr unsigned textCauses = Spaces | Invisible | Width | Case | Variant;

} // namespace lanshan
