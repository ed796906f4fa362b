// What the manual matching offers and counts: looking in the key column only where it settles
// a question, the questions left empty at once, the lines a count says, and entry numbers set
// apart from keys that are numbers.

#include "filterrun.h"
#include "itemtext.h"
#include "keycolumnspare.h"
#include "reconciliation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lanshan;

namespace {

struct SpareCase
{
    const char *what;
    std::u16string keys;
    std::u16string rows;
    bool settles; // looking in the likely column gives some questionable line exactly one row
    std::size_t questions = 1;
};

} // namespace

TEST(KeyColumnSpare, OfferedOnlyWhereItSettlesAQuestion)
{
    const SpareCase cases[] = {
        // Seat 2 also stands as a score: in the seat column it has one row.
        {"a key also standing as a score", u"1\r\n2", u"1\t甲\t90\t优\r\n2\t乙\t3\t差\r\n3\t丙\t2\t差", true},
        // Two rows of one name: a real duplicate, in the key column too.
        {"two rows of one name", u"王伟\r\n李娜", u"王伟\t90\r\n王伟\t80\r\n李娜\t70", false},
        // A row of the key alone, which the rule passes by (nothing follows it), counts in the
        // key column: 7 keeps two rows there.
        {"the key alone in a row", u"7\r\n8", u"7\t5\tx\r\n8\t7\tx\r\n7", false},
        {"no question at all", u"1\r\n2", u"1\ta\r\n2\tb", false, 0},
    };
    for (const SpareCase &c : cases) {
        SCOPED_TRACE(c.what);
        const FilterRun run(c.keys, c.rows);
        EXPECT_EQ(run.questionCount(), c.questions);
        const std::optional<std::size_t> column = run.likelyKeyColumn();
        EXPECT_EQ(column && keyColumnSettlesAQuestion(run, *column), c.settles);
    }
}

TEST(KeyColumnSpare, ListColumnsOfferedOnlyWhereTheySettleAQuestion)
{
    const SpareCase cases[] = {
        // The 学号 3 also stands among the scores of another row holding 王五.
        {"a 学号 also standing as a score", u"1\t张三\r\n2\t李四\r\n3\t王五",
         u"1\t张三\t90\r\n2\t李四\t80\r\n3\t王五\t70\r\n9\t王五\t3", true},
        // Both rows hold the pair in the list's columns: looking there changes nothing.
        {"a pair twice", u"1\t张三\r\n2\t李四", u"1\t张三\t90\r\n1\t张三\t95\r\n2\t李四\t80", false},
    };
    for (const SpareCase &c : cases) {
        SCOPED_TRACE(c.what);
        const FilterRun run(c.keys, c.rows);
        EXPECT_EQ(listColumnsSettleAQuestion(run, run.likelyListColumns()), c.settles);
    }
}

// "余下全部留空": the awaited question and every later one empty at once, counted, and listed in
// the report as left empty like lines settled one by one with ignore().
TEST(KeyColumnSpare, RestLeftEmptyAtOnce)
{
    FilterRun run(u"a\r\nb\r\nc\r\nd", u"a\t1\r\na\t2\r\nb\t3\r\nc\t4\r\nc\t5\r\nd\t6\r\nd\t7");
    ASSERT_EQ(run.state(), FilterRun::State::AwaitingChoice);
    run.choose(1);
    ASSERT_EQ(run.questionNumber(), 2u);
    run.ignoreRest();
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    EXPECT_EQ(run.resultText(), u"a\t2\r\nb\t3\r\n\r\n");
    EXPECT_EQ(run.restLeftEmpty(), 2u);
    const Reconciliation report = reconcile(run);
    ASSERT_EQ(report.leftEmpty.size(), 2u);
    EXPECT_EQ(report.leftEmpty[0].keyLine, 2u);
    EXPECT_EQ(report.leftEmpty[1].keyLine, 3u);
    // Each can still be given one of its rows.
    run.adopt(3, 6);
    EXPECT_EQ(run.resultText(), u"a\t2\r\nb\t3\r\n\r\nd\t7");
}

TEST(KeyColumnSpare, CountsLeaveOutTheLineAfterTheLastBreak)
{
    const struct
    {
        std::u16string keys;
        std::size_t results;
        std::size_t counted;
    } cases[] = {
        {u"a\r\nb", 2, 2},
        {u"a\r\nb\r\n", 3, 2},
        {u"a\r\n\r\nb", 3, 3},     // an empty line inside the list stands for a line of the result
        {u"a\r\nb\r\n\r\n", 4, 3}, // only the one line after the last break
    };
    for (const auto &c : cases) {
        const FilterRun run(c.keys, u"a\t1\r\nb\t2");
        EXPECT_EQ(run.resultCount(), c.results);
        EXPECT_EQ(run.countedLines(), c.counted);
    }
}

TEST(KeyColumnSpare, EntryNumberApartFromAKeyThatIsANumber)
{
    const struct
    {
        std::u16string item;
        std::u16string shown;
    } cases[] = {
        {u"4.4", u"4. 4"},
        {u"10.10", u"10. 10"},
        {u"1.1\t张伟\t80", u"1. 1\t张伟\t80"},
        {u"[*]2.07", u"[*]2. 07"},
        {u"   3.３班", u"   3. ３班"}, // a full-width digit reads as a number too
        {u"2.张三", u"2.张三"},
        {u"5.", u"5."},
        {u"6.\t1\t甲", u"6.\t1\t甲"}, // a candidate's TAB sets it apart already
        {u"7.-3", u"7.-3"},
        {u"abc", u"abc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(entryNumberApart(c.item), c.shown);
}
