#pragma once

#include "canonicalform.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanshan {

// What became of one cell of a key line of several cells in a row that did not match the line.
enum class CellFate : std::uint8_t {
    Exact,    // the row holds it as it is
    Near,     // the row holds it with a difference the eye or the hand makes (causes say which)
    Conflict, // where the lines that found their rows hold this cell, the row holds another value
    Absent,   // that place is empty in the row, or no such place is known
};

// The fate of a cell of the line that the row does not hold as it is.
struct CellVerdict
{
    std::uint32_t keyCell; // the list column, from 0
    std::uint32_t rowCell; // Near and Conflict: the row's cell, from 0
    unsigned causes;       // Near: its NearCause bits
    CellFate fate;
};

// A line against a row, in sum.
struct CellJudgement
{
    unsigned causes = 0;          // of the near cells, and PartOfKey, OtherValue for the others
    std::uint32_t exactCells = 0; // the line's cells the row holds as they are
    std::uint32_t nearCells = 0;
    bool conflict = false;
};

// Judges the lines of several cells of a list against rows, one row at a time, each of the line's
// cells in this order: exact, near (by a cause of the one-column rule: spaces, invisible
// characters, width, case, traditional forms, one character), conflicting, absent. The row's
// cells, their canonical forms and their class forms are made once a row, however many lines it
// is judged against, so that a line costs about its own length.
class CellJudge
{
public:
    static constexpr std::uint32_t noColumn = UINT32_MAX;

    // columns: per list column (from 0), the data column (from 0) where the lines that found their
    // rows hold it, noColumn where none is known. inColumnsOnly: the run looked for each cell in
    // its column alone, so a cell counts only there.
    CellJudge(std::span<const std::uint32_t> columns, bool inColumnsOnly);
    ~CellJudge();

    void setRow(std::u16string_view row);
    // Appends the verdicts of the line's cells that the row does not hold as they are.
    CellJudgement judge(std::u16string_view line, std::vector<CellVerdict> &verdicts);

private:
    std::uint32_t columnOf(std::uint32_t keyCell) const;
    // The row's cell with this canonical form, where it is one.
    std::optional<std::uint32_t> cellOfForm(const std::u32string &form);
    const ClassForms &classFormsOf(std::uint32_t cell);
    const std::u32string &formOf(std::uint32_t cell);
    // A cell of the line against the row: whether exact, else its verdict.
    bool takeExact(std::u16string_view cell, std::uint32_t column);
    CellVerdict verdictOf(std::u16string_view cell, std::uint32_t keyCell, std::uint32_t column);

    std::vector<std::uint32_t> m_columns;
    bool m_inColumnsOnly = false;

    std::vector<std::u16string_view> m_cells;
    std::vector<std::u16string_view> m_pending; // the line's cells not held as they are
    // Per text of the row's cells: how many cells hold it, and how many this line took.
    struct Held
    {
        std::uint32_t count = 0;
        std::uint32_t takenStamp = 0;
        std::uint32_t taken = 0;
    };
    std::unordered_map<std::u16string_view, Held> m_held;
    std::uint32_t m_stamp = 0;
    // Made when first needed: most lines find their cells as they are.
    std::vector<std::optional<std::u32string>> m_forms;
    std::vector<std::optional<ClassForms>> m_classForms;
    std::unordered_map<std::u32string_view, std::uint32_t> m_byForm;
    bool m_byFormMade = false;
};

// The near causes of one row for a key line of one cell, as the report gives them: the text
// classes of its first cell of the key's canonical form (and LastColumn where that is the row's
// last), else LongerValue or OneChar; 0 where the row holds the key as it is or is not near it.
unsigned oneCellCauses(std::u16string_view key, std::u16string_view row);

} // namespace lanshan
