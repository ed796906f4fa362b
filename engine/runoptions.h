#pragma once

#include <cstddef>
#include <vector>

// How a run of the filter is made: what it does with a key line that several rows belong to,
// and where it looks for a key in a row. The window and the reorder tool hand one of these to
// the run, which hands it on to the matcher; the report reads it back from the run.
namespace lanshan {

enum class DuplicateRows {
    Ask,        // stop at the line until the caller settles it (choose() or ignore())
    TakeFirst,  // the first of its rows in data order
    TakeLast,   // the last
    LeaveEmpty, // none: an empty line
};

struct KeyColumnChoice
{
    enum class Kind {
        Rule,   // any whole cell equal to the key, as the filter's rule says
        Column, // only the cell in `column` (from 1); the row's last cell counts too
        Auto,   // the column where most keys stand (FilterRun::likelyKeyColumn()); the rule where none
    };
    Kind kind = Kind::Rule;
    std::size_t column = 0;

    static KeyColumnChoice rule() { return {}; }
    static KeyColumnChoice inColumn(std::size_t column) { return {Kind::Column, column}; }
    static KeyColumnChoice automatic() { return {Kind::Auto, 0}; }
};

struct RunOptions
{
    DuplicateRows duplicates = DuplicateRows::Ask;
    KeyColumnChoice keyColumn;
    // For a list of several columns: the columns of the list (from 1, ascending) whose cells a
    // row must hold; empty for all of them.
    std::vector<std::size_t> keyCells = {};
};

} // namespace lanshan
