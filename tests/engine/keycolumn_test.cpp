// The key column: where most keys stand, the lines whose rows may not be their own (held
// outside that column, or given to several lines), and matching in that column alone.

#include "filterrun.h"
#include "reconciliation.h"
#include "reporttsv.h"
#include "reportwording.h"
#include "rowcheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lanshan;

namespace {

// Seat numbers 1 to 8; student 3 is absent; student 2 scored 3 and student 5 scored 7.
const std::u16string seats = u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8";
const std::u16string seatRows = u"1\t张一\t90\t5\r\n2\t张二\t3\t85\r\n4\t张四\t70\t6\r\n5\t张五\t7\t60\r\n"
                                u"6\t张六\t88\t9\r\n7\t张七\t77\t8\r\n8\t张八\t66\t10";

// The suspect lines as "line:row:code" (numbers from 1).
std::vector<std::string> suspects(const FilterRun &run)
{
    std::vector<std::string> items;
    for (const SuspectLine &s : findSuspectLines(run).lines)
        items.push_back(std::to_string(s.keyLine + 1) + ":" + std::to_string(s.row + 1) + ":" + causeCode(s.causes));
    return items;
}

using Items = std::vector<std::string>;

} // namespace

TEST(KeyColumn, SuspectLinesOfTheRunsThatMatter)
{
    const struct
    {
        const char *what;
        std::u16string keys;
        std::u16string rows;
        DuplicateRows duplicates;
        std::size_t keyColumn; // 0: none
        Items suspect;
    } cases[] = {
        {"seat numbers and scores",
         seats,
         seatRows,
         DuplicateRows::TakeFirst,
         1,
         {"2:2:shared-row", "3:2:other-column+shared-row", "5:4:shared-row", "7:4:other-column+shared-row"}},
        // Seat 7's own row is the last of its two; seat 3 has one row, student 2's.
        {"the last of two rows",
         seats,
         seatRows,
         DuplicateRows::TakeLast,
         1,
         {"2:2:shared-row", "3:2:other-column+shared-row"}},
        {"names", u"张三\r\n李四\r\n王五", u"王五\t90\r\n李四\t80\r\n张三\t70", DuplicateRows::Ask, 1, {}},
        // Half the keys in each of two columns: no column holds more than half of them.
        {"no clear column",
         u"a1\r\nb2\r\nc3\r\nd4",
         u"a1\tx\t1\r\nb2\tx\t1\r\nx\tc3\t1\r\ny\td4\t1",
         DuplicateRows::Ask,
         0,
         {}},
        {"keys repeated in the list",
         u"张三\r\n李四\r\n张三",
         u"张三\t90\r\n李四\t80",
         DuplicateRows::Ask,
         1,
         {"1:1:shared-row", "3:1:shared-row"}},
        // A row that holds the key in the key column too is its own, whatever else it holds.
        {"the key twice in its row", u"3\r\n4", u"3\t张三\t3\r\n4\t李四\t9", DuplicateRows::Ask, 1, {}},
    };
    for (const auto &c : cases) {
        FilterRun run(c.keys, c.rows, {c.duplicates, {}, {}});
        ASSERT_EQ(run.state(), FilterRun::State::Finished) << c.what;
        EXPECT_EQ(run.likelyKeyColumn().value_or(0), c.keyColumn) << c.what;
        EXPECT_EQ(suspects(run), c.suspect) << c.what;
        // The result stays what the rule gives: the report only says so.
        EXPECT_EQ(reconcile(run).suspect.size(), c.suspect.size()) << c.what;
    }
}

TEST(KeyColumn, ChosenAndAdoptedRowsAreJudgedAlike)
{
    FilterRun run(seats, seatRows);
    ASSERT_EQ(run.state(), FilterRun::State::AwaitingChoice);
    EXPECT_EQ(run.pickpos(), 6u);
    EXPECT_EQ(run.questionNumber(), 1u);
    EXPECT_EQ(run.questionCount(), 1u);
    run.choose(3); // seat 7 given student 5's row by hand
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    EXPECT_EQ(suspects(run), (Items{"2:2:shared-row", "3:2:other-column+shared-row", "5:4:shared-row",
                                    "7:4:other-column+shared-row"}));

    const Reconciliation report = reconcile(run);
    ASSERT_EQ(report.suspect.size(), 4u);
    EXPECT_EQ(suspectWords(report.suspect[1], report.keyColumn),
              u"在第 3 列找到，关键字在第 1 列；结果第 2 行也用了这一行数据");
    EXPECT_EQ(suspectWords(report.suspect[0], report.keyColumn), u"结果第 3 行也用了这一行数据");

    // The user empties the wrong lines: left empty by choice, they can take a row again.
    run.leaveEmpty(6);
    run.leaveEmpty(2);
    EXPECT_TRUE(run.leftEmpty(6));
    EXPECT_EQ(reconcile(run).leftEmpty.size(), 2u);
    EXPECT_TRUE(suspects(run).empty());
    EXPECT_THROW(run.leaveEmpty(2), std::logic_error); // nothing left to empty
    run.adopt(6, 5);
    EXPECT_TRUE(suspects(run).empty());
    // A row the rule never gave seat 5: its 5 stands in the last column only.
    run.leaveEmpty(4);
    run.adopt(4, 0);
    EXPECT_EQ(suspects(run), (Items{"1:1:shared-row", "5:1:other-column+shared-row"}));
}

TEST(KeyColumn, MatchingInOneColumn)
{
    // auto: each present student's own row, and no question.
    FilterRun automatic(seats, seatRows, {DuplicateRows::Ask, KeyColumnChoice::automatic(), {}});
    ASSERT_EQ(automatic.state(), FilterRun::State::Finished);
    EXPECT_EQ(automatic.matchColumn(), std::optional<std::size_t>(1));
    EXPECT_EQ(automatic.questionCount(), 0u);
    EXPECT_EQ(automatic.resultText(), u"1\t张一\t90\t5\r\n2\t张二\t3\t85\r\n\r\n4\t张四\t70\t6\r\n5\t张五\t7\t60\r\n"
                                      u"6\t张六\t88\t9\r\n7\t张七\t77\t8\r\n8\t张八\t66\t10");
    EXPECT_TRUE(suspects(automatic).empty());

    // A chosen column: its cell alone, the row's last cell too; no row-number piece.
    const struct
    {
        std::size_t column;
        std::u16string result;
    } cases[] = {
        {3, u"x\t1\ta\r\n\r\ny\t2\t7."},
        {2, u"\r\nx\t1\ta\r\n"},
    };
    for (const auto &c : cases) {
        FilterRun run(u"a\r\n1\r\n7.", u"x\t1\ta\r\ny\t2\t7.",
                      {DuplicateRows::Ask, KeyColumnChoice::inColumn(c.column), {}});
        ASSERT_EQ(run.state(), FilterRun::State::Finished) << c.column;
        EXPECT_EQ(run.resultText(), c.result) << c.column;
    }

    // No column holds most keys: auto matches by the rule, and says so by matchColumn().
    FilterRun rule(u"a1\r\nb2\r\nc3\r\nd4", u"a1\tx\t1\r\nb2\tx\t1\r\nx\tc3\t1\r\ny\td4\t1",
                   {DuplicateRows::Ask, KeyColumnChoice::automatic(), {}});
    EXPECT_FALSE(rule.matchColumn());
    EXPECT_EQ(rule.resultText(), u"a1\tx\t1\r\nb2\tx\t1\r\nx\tc3\t1\r\ny\td4\t1");
}

// A row given to every line of a long list names a few of them, not all.
TEST(KeyColumn, ARowSharedByManyNamesAFewOthers)
{
    std::u16string keys;
    for (int i = 0; i < 2000; ++i)
        keys += u"张三\r\n";
    FilterRun run(keys, u"张三\t90");
    const Reconciliation report = reconcile(run);
    ASSERT_EQ(report.suspect.size(), 2000u);
    EXPECT_EQ(report.suspect[0].sharedWith, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(report.suspect[0].sharedOthers, 1999u);
    EXPECT_EQ(suspectWords(report.suspect[0], report.keyColumn), u"结果第 2、3、4 等行也用了这一行数据");
}

// A run in one column leaves a line empty whose key stands whole in another column of an unused
// row: that row is near with the cause other-column, never an empty cause, and never reliable.
TEST(KeyColumn, RowOnlyOutsideTheColumnIsNearButNotReliable)
{
    FilterRun run(u"1\r\n3", u"1\tA\t1\tz\r\n2\tB\t3\tz",
                  RunOptions{DuplicateRows::LeaveEmpty, KeyColumnChoice::inColumn(1), {}});
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    const Reconciliation report = reconcile(run);
    ASSERT_EQ(report.missing.size(), 1u);
    ASSERT_EQ(report.missing[0].nearRows.size(), 1u);
    EXPECT_EQ(report.missing[0].nearRows[0].row, 1u);
    EXPECT_EQ(report.missing[0].nearRows[0].causes, unsigned(OtherColumn));
    EXPECT_EQ(causeWords(OtherColumn), u"只在其他列找到");
    EXPECT_TRUE(safeAdoptions(report, run.fixlines()).empty());

    // By the rule the same row is the line's own: nothing missing.
    FilterRun byRule(u"1\r\n3", u"1\tA\t1\tz\r\n2\tB\t3\tz", RunOptions{DuplicateRows::LeaveEmpty, {}, {}});
    EXPECT_TRUE(reconcile(byRule).missing.empty());
}
