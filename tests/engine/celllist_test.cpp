// Key lines of several cells (学号 TAB 姓名, as a records system's class list is copied): a row
// belongs to such a line when each of its non-empty cells equals a cell of the row, each a
// cell of its own, in any order and column, the last one included.

#include "filterrun.h"
#include "linecells.h"
#include "linetable.h"
#include "matcher.h"
#include "reconciliation.h"
#include "reporttsv.h"
#include "reportwording.h"
#include "takingcases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace lanshan;

namespace {

struct CellListCase
{
    const char *name;
    std::u16string keys;
    std::u16string rows;
    std::u16string result; // every line settled by its one row, or empty
    std::size_t questions; // lines with several rows
};

const CellListCase cases[] = {
    {"学号 and 姓名 against a sheet with a header", u"1\t张三\r\n2\t李四\r\n3\t王五",
     u"学号\t姓名\t语文\r\n2\t李四\t80\r\n3\t王五\t77\r\n1\t张三\t90", u"1\t张三\t90\r\n2\t李四\t80\r\n3\t王五\t77", 0},
    {"cells in another order", u"张三\t1\r\n李四\t2", u"1\t张三\t90\r\n2\t李四\t80", u"1\t张三\t90\r\n2\t李四\t80", 0},
    {"a cell in the row's last column", u"90\t张三\r\nx", u"1\t张三\t90", u"1\t张三\t90\r\n", 0},
    {"a cell twice needs two cells", u"A\tA\r\nA\tB", u"A\tB\r\nA\tA\tC", u"A\tA\tC\r\nA\tB", 0},
    {"empty cells and cells of spaces left out", u"1\t\t张三\r\n2\t  \t李四", u"1\t张三\t90\r\n2\t李四\t80",
     u"1\t张三\t90\r\n2\t李四\t80", 0},
    {"the header line finds the header row", u"学号\t姓名\r\n1\t张三", u"学号\t姓名\t语文\r\n1\t张三\t90",
     u"学号\t姓名\t语文\r\n1\t张三\t90", 0},
    // A grade-wide list: the class tells two students of one name apart, no question asked.
    {"two students of one name in different classes", u"1班\t王伟\r\n2班\t王伟", u"2班\t王伟\t80\r\n1班\t王伟\t90",
     u"1班\t王伟\t90\r\n2班\t王伟\t80", 0},
    {"the name alone asks", u"王伟\r\n李四", u"2班\t王伟\t80\r\n1班\t王伟\t90\r\n1班\t李四\t70", u"\r\n1班\t李四\t70",
     1},
    {"part of a key is no row", u"3\t张三\r\n1\t张三", u"1\t张三\t90", u"\r\n1\t张三\t90", 0},
    {"cells compared exactly", u"张三 \t1\r\n1\t张三", u"张三\t1\t90", u"\r\n张三\t1\t90", 0},
    {"TABs alone are no key", u"\t\r\n\t\t", u"\t\r\na\tb", u"\r\n", 0},
    // One cell and a TAB: that cell wherever it stands, the last column too.
    {"one cell and a TAB", u"张三\t\r\nb", u"90\t张三", u"90\t张三\r\n", 0},
    {"several rows of one pair ask", u"1\t张三\r\nx", u"1\t张三\t90\r\n张三\t1\t95", u"\r\n", 1},
};

} // namespace

TEST(CellList, RowsThatHoldEveryCellOfTheLine)
{
    for (const CellListCase &c : cases) {
        SCOPED_TRACE(c.name);
        FilterRun run(c.keys, c.rows, RunOptions{DuplicateRows::LeaveEmpty, {}});
        ASSERT_EQ(run.state(), FilterRun::State::Finished);
        EXPECT_EQ(run.resultText(), c.result);
        std::size_t questions = 0;
        for (std::size_t i = 0; i < run.resultCount(); ++i)
            questions += run.confirmedRows(i).size() > 1;
        EXPECT_EQ(questions, c.questions);
    }
}

// The cells that hold a line's key are its cells' own, in the row's order; a list of several
// columns names no one key column.
TEST(CellList, CellsThatHoldTheKeyAndNoKeyColumn)
{
    FilterRun run(u"张三\t1\r\n李四\t2\r\n王五\t3", u"1\t张三\t90\r\n2\t李四\t80\r\n3\t王五\t70",
                  RunOptions{DuplicateRows::LeaveEmpty, {}});
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    const std::vector<std::uint32_t> cells = run.keyCells(0, 0);
    EXPECT_EQ(std::vector<std::uint32_t>(cells.begin(), cells.end()), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_FALSE(run.likelyKeyColumn().has_value());
    for (const char held : run.linesHeldIn(1))
        EXPECT_TRUE(held);
}

// Only a line's first row keeps which cells hold it; the others are read again, and must name the
// cells the matcher took: in the given column first, then the first free equal cell, each once.
TEST(CellList, EveryRowOfALineNamesItsOwnCells)
{
    struct Case
    {
        const char *name;
        std::u16string keys;
        std::u16string rows;
        std::size_t line;
        std::vector<std::vector<std::uint32_t>> cells; // per row of the line
    };
    const Case cases[] = {
        {"a later row in another order", u"张三\t1班\r\nx", u"1班\t张三\t90\r\n张三\t90\t1班", 0, {{0, 1}, {0, 2}}},
        {"a text twice takes two cells", u"x\tx\r\ny", u"x\ty\tx\r\nx\tx\tx\r\ny\tx\tx", 0, {{0, 2}, {0, 1}, {1, 2}}},
        {"equal lines share the cells of each row", u"a\tb\r\na\tb", u"b\ta\r\nc\ta\tb", 1, {{0, 1}, {1, 2}}},
        {"a line of many equal cells, every row",
         u"x\tx\tx\r\nx\tx",
         u"x\tx\tx\tx\r\ny\tx\tx\tx",
         0,
         {{0, 1, 2}, {1, 2, 3}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FilterRun run(c.keys, c.rows, RunOptions{DuplicateRows::LeaveEmpty, {}});
        const std::span<const std::size_t> rows = run.confirmedRows(c.line);
        ASSERT_EQ(rows.size(), c.cells.size());
        for (std::size_t r = 0; r < rows.size(); ++r)
            EXPECT_EQ(run.keyCells(c.line, rows[r]), c.cells[r]) << "row " << rows[r];
    }
}

// Many lines of two cells, one of them the class every row shares: each finds its own row, looked
// up by the rarer cell.
TEST(CellList, ManyLinesOfTwoCellsSharingOne)
{
    std::u16string keys;
    std::u16string rows;
    const std::size_t n = 200000;
    for (std::size_t i = 0; i < n; ++i) {
        std::u16string number;
        for (const char c : std::to_string(i))
            number += static_cast<char16_t>(c);
        keys += u"1班\ts" + number + u"\r\n";
        rows += u"s" + number + u"\t1班\t9\r\n";
    }
    FilterRun run(keys, rows, RunOptions{DuplicateRows::LeaveEmpty, {}});
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    for (const std::size_t i : {std::size_t(0), n / 2, n - 1}) {
        ASSERT_TRUE(run.resultRow(i).has_value()) << i;
        EXPECT_EQ(*run.resultRow(i), i);
    }
}

// A row that holds part of a line's cells (the sheet lacks the 学号, or has another) is near
// the line; it is taken without a second look only where no cell of it holds another value and
// it is the line's one reliable row and no other line's; a cell that many rows hold points to
// none of them.
TEST(CellList, PartOfAKeyIsNearAndReliableOnlyAlone)
{
    const struct
    {
        const char *name;
        std::u16string keys;
        std::u16string rows;
        std::vector<std::size_t> nearOfFirst; // rows near the first line
        unsigned causes;                      // of the first line's first near row
        std::size_t reliable;                 // lines safeAdoptions takes
        std::u16string words;                 // of the first line's first near row
    } cases[] = {
        {"another 学号",
         u"3\t王五\r\n1\t张三",
         u"1\t张三\t90\r\n4\t王五\t70",
         {1},
         OtherValue,
         0,
         u"名单第 1 列“3”，这一行是“4”"},
        {"two lines near one row",
         u"3\t王五\r\n5\t王五",
         u"4\t王五\t70",
         {0},
         PartOfKey,
         0,
         u"名单第 1 列“3”不在这一行"},
        {"two rows near one line",
         u"3\t王五\r\nx",
         u"4\t王五\t70\r\n5\t王五\t60",
         {0, 1},
         PartOfKey,
         0,
         u"名单第 1 列“3”不在这一行"},
        {"most cells first",
         u"3\t王五\t1班\r\nx",
         u"4\t王五\t2班\r\n5\t王五\t1班",
         {1, 0},
         PartOfKey,
         0,
         u"名单第 1 列“3”不在这一行"},
        {"a class every row holds",
         u"1班\t赵六\r\nx",
         u"1班\ta\r\n1班\tb\r\n1班\tc\r\n1班\td\r\n1班\te\r\n1班\tf",
         {},
         0,
         0,
         u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FilterRun run(c.keys, c.rows, RunOptions{DuplicateRows::LeaveEmpty, {}});
        const Reconciliation report = reconcile(run);
        ASSERT_FALSE(report.missing.empty());
        ASSERT_EQ(report.missing[0].keyLine, 0u);
        std::vector<std::size_t> near;
        for (const NearRow &n : report.missing[0].nearRows)
            near.push_back(n.row);
        EXPECT_EQ(near, c.nearOfFirst);
        EXPECT_EQ(safeAdoptions(report, run.fixlines()).size(), c.reliable);
        if (!near.empty()) {
            const NearRow &first = report.missing[0].nearRows[0];
            EXPECT_EQ(first.causes, c.causes);
            EXPECT_EQ(cellVerdictWords(report.verdictsOf(first), run.fixlines()[0], run.datalines()[first.row]),
                      c.words);
        }
    }
}

// The fates of a missing student's cells in rows of a grade's sheet: what 采用全部可靠行 takes (the
// window and reorder --take-reliable are held to the same table) and what the report says of it.
TEST(CellList, NearRowsTakenOnlyWhenSurelyTheStudentsOwn)
{
    for (const testcases::TakingCase &c : testcases::takingCases()) {
        SCOPED_TRACE(c.name);
        FilterRun run{std::u16string(c.keys), std::u16string(c.rows)};
        ASSERT_EQ(run.state(), FilterRun::State::Finished);
        const Reconciliation report = reconcile(run);
        ASSERT_FALSE(report.missing.empty());
        const MissingKey &last = report.missing.back();
        ASSERT_EQ(last.keyLine, run.fixlines().size() - 1);
        ASSERT_FALSE(last.nearRows.empty());
        const NearRow &first = last.nearRows[0];
        EXPECT_EQ(causeCode(first.causes), c.causes);
        const std::u16string_view key = run.fixlines()[last.keyLine];
        EXPECT_EQ(cellVerdictWords(report.verdictsOf(first), key, run.datalines()[first.row]), c.cellWords);
        EXPECT_EQ(nearRowWords(report, first, key, run.datalines()[first.row]),
                  causeWords(first.causes) + u"：" + std::u16string(c.cellWords));
        const auto taken = safeAdoptions(report, run.fixlines());
        for (const auto &[line, row] : taken)
            run.adopt(line, row);
        EXPECT_EQ(run.resultText(), c.resultThen);
        // Each taking is listed as taken, with the causes of its row.
        const Reconciliation after = reconcile(run);
        ASSERT_EQ(after.taken.size(), taken.size());
        for (std::size_t t = 0; t < taken.size(); ++t) {
            EXPECT_EQ(after.taken[t].keyLine, taken[t].first);
            EXPECT_EQ(after.taken[t].near.row, taken[t].second);
            EXPECT_NE(after.taken[t].near.causes, 0u);
        }
        // And given back, the line is as it was.
        for (const auto &[line, row] : taken)
            run.giveBack(line);
        EXPECT_EQ(reportTsv(run, reconcile(run)), reportTsv(run, report));
    }
}

// Where a 学号 also stands among the scores, the rule finds two rows for a line; looked for in
// the columns where the lines hold their cells, each cell in its own, it finds one.
TEST(CellList, CellsInTheirOwnColumns)
{
    const std::u16string keys = u"1\t张三\r\n2\t李四\r\n3\t王五";
    const std::u16string rows = u"1\t张三\t90\r\n2\t李四\t80\r\n3\t王五\t70\r\n9\t王五\t3";
    FilterRun byRule(keys, rows, RunOptions{DuplicateRows::LeaveEmpty, {}, {}});
    EXPECT_EQ(byRule.confirmedRows(2).size(), 2u);

    FilterRun inColumns(keys, rows, RunOptions{DuplicateRows::LeaveEmpty, KeyColumnChoice::automatic(), {}});
    ASSERT_EQ(inColumns.state(), FilterRun::State::Finished);
    EXPECT_EQ(inColumns.listColumns(), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(inColumns.resultText(), u"1\t张三\t90\r\n2\t李四\t80\r\n3\t王五\t70");

    // Cells in the other order than the rows hold them: the columns follow the cells.
    FilterRun swapped(u"张三\t1\r\n李四\t2\r\n王五\t3", rows,
                      RunOptions{DuplicateRows::LeaveEmpty, KeyColumnChoice::automatic(), {}});
    EXPECT_EQ(swapped.listColumns(), (std::vector<std::uint32_t>{1, 0}));
    EXPECT_EQ(swapped.resultText(), u"1\t张三\t90\r\n2\t李四\t80\r\n3\t王五\t70");

    // A line whose cell stands elsewhere than most lines' is no longer found there.
    FilterRun elsewhere(u"1\t张三\r\n2\t李四\r\n王五\t70", u"1\t张三\t90\r\n2\t李四\t80\r\n70\t王五\tx",
                        RunOptions{DuplicateRows::LeaveEmpty, KeyColumnChoice::automatic(), {}});
    EXPECT_EQ(elsewhere.resultText(), u"1\t张三\t90\r\n2\t李四\t80\r\n");
}

namespace {

std::vector<std::u16string> cutAtTabs(std::u16string_view text)
{
    std::vector<std::u16string> cells(1);
    for (const char16_t c : text) {
        if (c == u'\t')
            cells.emplace_back();
        else
            cells.back() += c;
    }
    return cells;
}

// The rule for a line of several cells, read the slow way: its chosen cells that are not spaces
// alone; those with a column must stand in it, each in its own; then each other one in a cell
// of the row not taken yet.
std::vector<std::u16string> wantedCells(std::u16string_view key, const std::vector<std::size_t> &chosen)
{
    std::vector<std::u16string> wanted;
    const std::vector<std::u16string> cells = cutAtTabs(key);
    for (std::size_t at = 0; at < cells.size(); ++at) {
        const bool spaces = cells[at].find_first_not_of(u' ') == std::u16string::npos;
        if (!spaces && (chosen.empty() || std::ranges::find(chosen, at + 1) != chosen.end()))
            wanted.push_back(cells[at]);
    }
    return wanted;
}

bool holdsSlowly(std::u16string_view key, std::u16string_view row, const std::vector<std::size_t> &chosen,
                 const std::vector<std::uint32_t> &columns)
{
    const std::vector<std::u16string> cells = cutAtTabs(key);
    const std::vector<std::u16string> rowCells = cutAtTabs(row);
    std::vector<bool> taken(rowCells.size(), false);
    std::vector<std::u16string> free;
    bool any = false;
    for (std::size_t at = 0; at < cells.size(); ++at) {
        const bool spaces = cells[at].find_first_not_of(u' ') == std::u16string::npos;
        if (spaces || !(chosen.empty() || std::ranges::find(chosen, at + 1) != chosen.end()))
            continue;
        any = true;
        const std::uint32_t column = at < columns.size() ? columns[at] : UINT32_MAX;
        if (column == UINT32_MAX) {
            free.push_back(cells[at]);
            continue;
        }
        if (column >= rowCells.size() || taken[column] || rowCells[column] != cells[at])
            return false;
        taken[column] = true;
    }
    for (const std::u16string &cell : free) {
        std::size_t c = 0;
        while (c < rowCells.size() && (taken[c] || rowCells[c] != cell))
            ++c;
        if (c == rowCells.size())
            return false;
        taken[c] = true;
    }
    return any;
}

struct ListShape
{
    const char *name;
    std::size_t lines;
    std::size_t minCells, maxCells; // of a key line
    std::size_t rows;
    std::size_t minRowCells, maxRowCells;
    std::size_t tokens;     // how many different cell texts
    bool grid;              // lines: every pair of the first 20 tokens and the next 20
    unsigned emptyCellRate; // percent of a line's cells left empty or spaces
};

const ListShape shapes[] = {
    {"two cells against narrow rows", 300, 2, 2, 400, 2, 5, 60, false, 0},
    {"short lines against wide rows", 200, 2, 4, 300, 10, 24, 40, false, 0},
    {"many lines under one anchor", 0, 2, 2, 500, 2, 6, 40, true, 0},
    {"cells twice and lines repeated", 300, 2, 3, 300, 2, 12, 5, false, 0},
    {"empty cells and lines of one cell", 300, 1, 5, 300, 1, 8, 12, false, 30},
    {"one text many times against wide rows", 200, 2, 30, 300, 9, 40, 3, false, 0},
    {"many lines under one anchor against wide rows", 0, 2, 2, 300, 12, 30, 40, true, 0},
};

} // namespace

// Every way the matcher finds the rows of lines of several cells (a rare cell of a narrow row, a
// wide row, lines crowded under one cell, cells twice, empty cells, chosen list columns, cells
// held in given columns) against the rule read the slow way, line by line and row by row.
TEST(CellList, EveryLookupAgreesWithTheSlowReading)
{
    struct Choice
    {
        const char *name;
        std::vector<std::size_t> chosen;
        std::vector<std::uint32_t> columns;
    };
    const Choice choices[] = {
        {"every cell anywhere", {}, {}},
        {"the list's second column only", {2}, {}},
        {"the first cell in the row's first column", {}, {0, UINT32_MAX, UINT32_MAX}},
        {"cells in given columns", {}, {1, 0, 2}},
        {"two cells in one column", {}, {0, 0}},
    };
    for (const ListShape &shape : shapes) {
        for (const unsigned seed : {1u, 2u, 3u}) {
            std::mt19937 rng(seed);
            const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
            const auto token = [&](std::size_t t) {
                std::u16string text = u"t";
                for (const char c : std::to_string(t))
                    text += static_cast<char16_t>(c);
                return text;
            };
            std::u16string keys;
            std::vector<std::u16string> keyLines;
            if (shape.grid) {
                for (std::size_t i = 0; i < 20; ++i) {
                    for (std::size_t j = 20; j < 40; ++j)
                        keyLines.push_back(token(i) + u"\t" + token(j));
                }
            }
            for (std::size_t l = 0; l < shape.lines; ++l) {
                const std::size_t cells = shape.minCells + below(shape.maxCells - shape.minCells + 1);
                std::u16string line;
                for (std::size_t c = 0; c < cells; ++c) {
                    if (c > 0)
                        line += u"\t";
                    if (below(100) < shape.emptyCellRate)
                        line += below(2) ? u"" : u"  ";
                    else
                        line += token(below(shape.tokens));
                }
                if (cells == 1)
                    line += u"\t";
                keyLines.push_back(line);
            }
            for (const std::u16string &line : keyLines)
                keys += (keys.empty() ? u"" : u"\r\n") + line;
            std::u16string data;
            for (std::size_t r = 0; r < shape.rows; ++r) {
                const std::size_t cells = shape.minRowCells + below(shape.maxRowCells - shape.minRowCells + 1);
                std::u16string row;
                // Appended piece by piece: at -O3 GCC 12 takes operator+ of a literal and a
                // temporary for an overlapping copy (-Wrestrict).
                for (std::size_t c = 0; c < cells; ++c) {
                    if (c > 0)
                        row += u'\t';
                    row += shape.grid ? token(below(2) ? 20 + below(20) : below(20)) : token(below(shape.tokens));
                }
                data += (data.empty() ? u"" : u"\r\n") + row;
            }
            const LineTable keyTable(keys);
            const LineTable rowTable(data);
            for (const Choice &choice : choices) {
                SCOPED_TRACE(std::string(shape.name) + ", seed " + std::to_string(seed) + ", " + choice.name);
                const Matcher matcher(keyTable, rowTable, std::nullopt, choice.chosen, choice.columns);
                std::size_t found = 0;
                for (std::size_t i = 0; i < keyTable.size(); ++i) {
                    std::vector<std::size_t> want;
                    for (std::size_t j = 0; j < rowTable.size(); ++j) {
                        if (holdsSlowly(keyTable[i], rowTable[j], choice.chosen, choice.columns))
                            want.push_back(j);
                    }
                    const std::span<const std::size_t> got = matcher.confirmedRows(i);
                    ASSERT_EQ(std::vector<std::size_t>(got.begin(), got.end()), want) << "line " << i;
                    found += want.size();
                    // The cells named as holding the line hold its cells, each once.
                    std::vector<std::u16string> wanted = wantedCells(keyTable[i], choice.chosen);
                    std::ranges::sort(wanted);
                    for (std::size_t nth = 0; nth < got.size(); ++nth) {
                        const std::vector<std::u16string> rowCells = cutAtTabs(rowTable[got[nth]]);
                        std::vector<std::u16string> held;
                        // The first row's cells are kept; the others' are read as the matcher takes them.
                        const std::span<const std::uint32_t> kept = matcher.keyCells(i, nth);
                        std::vector<std::uint32_t> read(kept.begin(), kept.end());
                        if (keyTable[i].find(u'\t') != std::u16string_view::npos) {
                            read = cellsHoldingLine(keyTable[i], rowTable[got[nth]], choice.chosen, choice.columns);
                            if (nth == 0) {
                                ASSERT_EQ(read, std::vector<std::uint32_t>(kept.begin(), kept.end())) << "line " << i;
                            }
                        }
                        for (const std::uint32_t c : read)
                            held.push_back(rowCells.at(c));
                        std::ranges::sort(held);
                        ASSERT_EQ(held, wanted) << "line " << i << ", row " << got[nth];
                    }
                }
                if (choice.columns != std::vector<std::uint32_t>{0, 0}) {
                    EXPECT_GT(found, 0u); // the shape finds rows at all
                }
            }
        }
    }
}
