#pragma once

#include "celljudge.h"
#include "filterrun.h"
#include "nearcause.h"

#include <cstddef>
#include <optional>
#include <span>
#include <utility>
#include <vector>

// The reconciliation report of a finished run: why key lines found no row, which lines were
// left empty by choice, and which rows no line took. It takes time and memory about linear in
// the run's texts: a key lists at most five near rows, and the causes of a key and a cell are
// worked out once. Its words are in reportwording.h, its TSV in reporttsv.h.
namespace lanshan {

struct NearRow
{
    std::size_t row; // row position, from 0
    unsigned causes; // NearCause bits
    // Of a key line of several cells: its cells that the row holds as they are, and the
    // verdicts of the others, Reconciliation::verdicts[firstVerdict .. firstVerdict + verdicts).
    std::uint32_t exactCells = 0;
    std::uint32_t firstVerdict = 0;
    std::uint32_t verdicts = 0;
};

// A key line (not all spaces) left empty because no row belongs to it.
struct MissingKey
{
    std::size_t keyLine;
    std::vector<NearRow> nearRows; // best first, at most five
    bool severalCells = false;     // the line holds a TAB: its near rows are judged cell by cell
};

// A key line given a row that the filter did not give it (FilterRun::adopt()): the row, and
// why it is near the line, as a near row of the line would say.
struct TakenLine
{
    std::size_t keyLine;
    NearRow near;
    bool severalCells = false;
};

// A key line left empty although rows belong to it (ignore()).
struct LeftEmptyKey
{
    std::size_t keyLine;
    std::vector<std::size_t> rows;
};

enum class UnusedReason {
    Duplicate, // it belongs to a key line that took another row or none
    Near,      // it is a near row of a missing key
    NoKey,     // no key wants it: a header, a student not on the list
};

// A row holding something besides spaces and TABs that no key line took.
struct UnusedRow
{
    std::size_t row;
    UnusedReason reason;
};

// A line of the result whose row may not be its own: the row holds the key only outside the
// run's key column (OtherColumn), or other lines were given the same row (SharedRow).
struct SuspectLine
{
    std::size_t keyLine;
    std::size_t row;
    unsigned causes;                     // OtherColumn, SharedRow
    std::size_t foundColumn = 0;         // OtherColumn: the first column (from 1) holding the key
    std::vector<std::size_t> sharedWith; // SharedRow: the first three other key lines given the row
    std::size_t sharedOthers = 0;        // SharedRow: how many other lines were given it
};

struct Reconciliation
{
    std::vector<MissingKey> missing;     // key order
    std::vector<LeftEmptyKey> leftEmpty; // key order
    std::vector<UnusedRow> unused;       // row order
    // The column (from 1) where the keys of more than half of the lines with a row stand as a
    // whole cell of their rows; nothing where no column holds so many.
    std::optional<std::size_t> keyColumn;
    std::vector<SuspectLine> suspect; // key order
    std::vector<TakenLine> taken;     // key order
    // The fates of the cells of near rows of key lines of several cells (NearRow).
    std::vector<CellVerdict> verdicts;

    std::span<const CellVerdict> verdictsOf(const NearRow &near) const
    {
        return std::span<const CellVerdict>(verdicts).subspan(near.firstVerdict, near.verdicts);
    }
};

// The report of a finished run; an empty one for any other.
Reconciliation reconcile(const FilterRun &run);

// Whether a near row may be taken without a second look: its causes are all reliable ones
// (nearcause.h), and, of a line of several cells, the row holds at least one of them as it is and
// none of its cells holds another value.
bool reliableNearRow(const NearRow &near, bool severalCells);

// The (key line, row) pairs a user can take without a second look: every missing key with
// exactly one reliable near row, which is reliable for no line of another key.
std::vector<std::pair<std::size_t, std::size_t>> safeAdoptions(const Reconciliation &report, const LineTable &keys);

} // namespace lanshan
