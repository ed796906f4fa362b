#pragma once

#include "linetable.h"
#include "matcher.h"
#include "runoptions.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lanshan {

// One run of the filter: the key lines in their order, each given the data row that belongs
// to it. The run stops at every questionable line (two or more rows belong to its key) until
// the caller settles it with choose() or ignore(); dropping the object abandons the run.
// A run owns its tables, so nothing done to the inputs afterwards can disturb it.
class FilterRun
{
public:
    enum class State {
        TooFewLines,    // fewer than two key lines: nothing was matched
        AwaitingChoice, // stopped at a questionable line
        Finished,
    };

    FilterRun(std::u16string keysText, std::u16string dataText, RunOptions options = {});

    FilterRun(const FilterRun &) = delete;
    FilterRun &operator=(const FilterRun &) = delete;

    State state() const { return m_state; }
    const RunOptions &options() const { return m_options; }

    // The column (from 1) the rows were matched in: the one chosen, or the one KeyColumnChoice::
    // Kind::Auto found; nothing where the rule matched them.
    std::optional<std::size_t> matchColumn() const { return m_matchColumn; }
    // Of a list of several columns matched with KeyColumnChoice::Kind::Auto: per cell of a line
    // (from 0), the data column (from 0) it was looked for in, UINT32_MAX for any; empty where
    // the cells were looked for anywhere.
    const std::vector<std::uint32_t> &listColumns() const { return m_listColumns; }
    // The column (from 1) where the keys of more than half of the key lines that the rule gives
    // rows stand as a whole cell of some of those rows; nothing where no column has so many.
    std::optional<std::size_t> likelyKeyColumn() const;
    // Of a list of several columns: per cell of a line (from 0), the data column (from 0) where
    // more than half of the lines with one row hold it, UINT32_MAX where none does; empty for a
    // list of one column.
    const std::vector<std::uint32_t> &likelyListColumns() const;

    // How many cells the key lines hold at most: more than 1 where the list has several columns
    // (学号 TAB 姓名), whose lines find the rows that hold all their cells.
    std::size_t keyListColumns() const;

    // The questionable lines of the run, and which of them is awaited (from 1).
    std::size_t questionCount() const;
    std::size_t questionNumber() const;

    const LineTable &fixlines() const { return m_fixlines; }
    const LineTable &datalines() const { return m_datalines; }

    // Result of every key line: a data row unchanged, or empty. No entries when the run
    // stopped for too few lines; lines not settled yet are empty.
    std::size_t resultCount() const { return m_resultRow.size(); }
    // The key lines a count of them says: all but the empty line after the list's last line
    // break, which stands for no one. The lists and the result keep that line.
    std::size_t countedLines() const;
    std::u16string_view result(std::size_t pos) const;

    // Key lines settled so far, in order, numbered: the key line and the result line of each.
    std::size_t settledCount() const { return m_settled; }
    std::u16string keyItem(std::size_t pos) const;
    std::u16string resultItem(std::size_t pos) const;

    // While a choice is awaited: the questionable line and the rows that belong to it.
    std::size_t pickpos() const;
    std::span<const std::size_t> candidateRows() const;
    std::u16string markedKeyItem(std::size_t pos) const;      // every key line, the awaited one marked
    std::u16string candidateItem(std::size_t item) const;     // candidate entry of candidateRows()[item]
    std::u16string candidatePosition(std::size_t item) const; // its row position

    // Settle the awaited line with one of its candidate rows, or leave it empty; the run
    // then goes on to the next questionable line or to the end.
    void choose(std::size_t rowPos);
    void ignore();
    // Leaves the awaited line and every questionable line after it empty, as ignore() would one
    // by one: the run ends. They count as left empty by choice.
    void ignoreRest();
    // How many lines ignoreRest() left empty.
    std::size_t restLeftEmpty() const { return m_restLeftEmpty; }

    // The row each key line's key belongs to, ascending, whatever was settled; and every
    // row that belongs to some key line (a row may stand more than once).
    std::span<const std::size_t> confirmedRows(std::size_t pos) const;
    std::span<const std::size_t> everyConfirmedRow() const;
    // Whether the row of a settled line was given by adopt(), not by the rule or a choice.
    bool adopted(std::size_t pos) const { return m_adopted.at(pos); }
    // Per key line: whether every row confirmed for it holds its key in the column (from 1);
    // empty where every line's rows do.
    std::vector<char> linesHeldIn(std::size_t column) const;
    // The cells (from 0) of the row that hold the key line's key, where the row is one of its
    // confirmed rows; none otherwise, or where only the row's number piece names the key.
    std::vector<std::uint32_t> keyCells(std::size_t pos, std::size_t row) const;
    // The row a settled key line was given, if any.
    std::optional<std::size_t> resultRow(std::size_t pos) const
    {
        const std::size_t row = m_resultRow.at(pos);
        return row == noRow ? std::nullopt : std::optional<std::size_t>(row);
    }
    // Whether a settled line was left empty by choice, by ignore() or leaveEmpty(), although
    // rows belong to it.
    bool leftEmpty(std::size_t pos) const;

    // After the run: gives a key line left empty a row the rule did not match (a near row
    // the user recognised), exactly as if it had.
    void adopt(std::size_t keyLine, std::size_t row);
    // After the run: takes back a row that adopt() gave; the line is as it was before, without a
    // row, and left empty by choice only where it was so before.
    void giveBack(std::size_t keyLine);
    // After the run: empties a line the user judged wrong; it then counts as left empty by
    // choice, and adopt() can give it another row.
    void leaveEmpty(std::size_t keyLine);

    // The result lines joined with CR LF.
    std::u16string resultText() const;
    // needsWarning() for the run's own texts: the keys and the data it was given, its result.
    bool needsWarning() const;

private:
    static constexpr std::size_t noRow = SIZE_MAX;

    void settle(std::size_t row);
    void advance();
    void requireAwaiting() const;

    RunOptions m_options;
    LineTable m_fixlines;
    LineTable m_datalines;
    std::unique_ptr<Matcher> m_matcher;
    std::vector<std::size_t> m_resultRow;
    std::vector<bool> m_emptiedByChoice;
    std::size_t m_settled = 0;
    std::optional<std::size_t> m_matchColumn;
    std::vector<std::uint32_t> m_listColumns;
    std::vector<bool> m_adopted;
    // Worked out when first asked for: most runs never need them.
    mutable std::optional<std::optional<std::size_t>> m_likelyKeyColumn;
    mutable std::optional<std::size_t> m_questionCount;
    mutable std::optional<std::size_t> m_keyListColumns;
    mutable std::optional<std::vector<std::uint32_t>> m_likelyListColumns;
    std::size_t m_questionsMet = 0;
    bool m_ignoringRest = false;
    std::size_t m_restLeftEmpty = 0;
    State m_state = State::TooFewLines;
};

// The warning after a run: when the keys, the data or the result is the empty text, the run may
// have been given the wrong inputs. The caller says which texts it judges: the window the boxes
// as they stand when the result is shown, the reorder tool the run's own texts.
bool needsWarning(bool keysEmpty, bool dataEmpty, bool resultEmpty);

} // namespace lanshan
