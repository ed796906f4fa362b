#pragma once

#include "filterrun.h"
#include "nearcause.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The reconciliation report of a finished run: why key lines found no row, which lines were
// left empty by choice, and which rows no line took.
namespace lanshan {

struct NearRow
{
    std::size_t row; // row position, from 0
    unsigned causes; // NearCause bits
};

// A key line (not all spaces) left empty because no row belongs to it.
struct MissingKey
{
    std::size_t keyLine;
    std::vector<NearRow> nearRows; // best first, at most five
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

struct Reconciliation
{
    std::vector<MissingKey> missing;     // key order
    std::vector<LeftEmptyKey> leftEmpty; // key order
    std::vector<UnusedRow> unused;       // row order
};

// The report of a finished run; an empty one for any other.
Reconciliation reconcile(const FilterRun &run);

// The causes as codes, in NearCause order, joined by '+': "spaces+width", "longer-value".
std::string causeCode(unsigned causes);
// The causes in Chinese words, joined by "、".
std::u16string causeWords(unsigned causes);

// The text with its spaces and invisible characters shown: ⟨空格⟩, ⟨全角空格⟩, ⟨不换行空格⟩,
// other spaces and format characters as ⟨U+200B⟩. TAB, CR and LF stay as they are.
std::u16string visibleText(std::u16string_view text);

// The (key line, row) pairs a user can take without a second look: every missing key with
// exactly one near row whose form is the key's (no longer-value, no one-char).
std::vector<std::pair<std::size_t, std::size_t>> safeAdoptions(const Reconciliation &report);

// The report as TSV with LF line ends: a header, then one line per finding.
std::u16string reportTsv(const FilterRun &run, const Reconciliation &report);
// The same in UTF-8, made in one pass, for files.
std::string reportTsvUtf8(const FilterRun &run, const Reconciliation &report);

} // namespace lanshan
