#include "filterrun.h"
#include "swappedinputs.h"

#include <gtest/gtest.h>

#include <string>

using namespace lanshan;

namespace {

struct Inputs
{
    const char *name;
    std::u16string keys;
    std::u16string data;
    bool noRow;   // the run finds a row for no key line
    bool swapped; // the boxes look pasted into each other
};

const Inputs cases[] = {
    {"right way round", u"张三\r\n李四", u"李四\t80\r\n张三\t90", false, false},
    {"one key found of many", u"王五\r\n赵六\r\n张三", u"张三\t90", false, false},
    {"swapped", u"张三\t90\r\n李四\t80", u"李四\r\n张三", true, true},
    {"swapped, header rows", u"姓名\t语文\r\n张三\t90\r\n李四\t80", u"姓名\r\n李四\r\n张三", true, true},
    // The class list's empty lines are no keys of their own.
    {"swapped, empty lines", u"张三\t90\r\n李四\t80", u"李四\r\n\r\n\r\n张三", true, true},
    // Half of the names in the sheet is enough; fewer is a list of other students.
    {"swapped, half found", u"张三\t90\r\n李四\t80", u"李四\r\n王五\r\n张三\r\n赵六", true, true},
    {"swapped, a third found", u"张三\t90\r\n李四\t80", u"李四\r\n王五\r\n赵六", true, false},
    // Every key missing with the boxes the right way round: rows never read as keys.
    {"keys all missing", u"王五\r\n赵六", u"张三\t90\r\n李四\t80", true, false},
    {"data of spaces only", u"张三\r\n李四", u"   ", true, false},
    {"empty key lines only", u"\r\n\r\n", u"张三\t90", true, false},
    // Two lists of names: neither finds rows in the other by the rule (a row needs a TAB after
    // its key), so nothing is offered.
    {"two lists of names", u"张三\r\n李四", u"王五\r\n赵六", true, false},
};

} // namespace

TEST(SwappedInputs, RunsThatFindNothingAndBoxesTheWrongWayRound)
{
    for (const Inputs &inputs : cases) {
        SCOPED_TRACE(inputs.name);
        FilterRun run(inputs.keys, inputs.data, RunOptions{DuplicateRows::LeaveEmpty, {}});
        ASSERT_EQ(run.state(), FilterRun::State::Finished);
        EXPECT_EQ(foundNoRow(run), inputs.noRow);
        EXPECT_EQ(inputsLookSwapped(run.fixlines(), run.datalines()), inputs.swapped);
    }
}

// A key line left empty by choice still found its rows: the run has a result to hand over.
TEST(SwappedInputs, RowsLeftEmptyByChoiceAreFound)
{
    FilterRun run(u"张三\r\n李四", u"张三\t90\r\n张三\t95");
    ASSERT_EQ(run.state(), FilterRun::State::AwaitingChoice);
    EXPECT_FALSE(foundNoRow(run));
    run.ignore();
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    EXPECT_EQ(run.resultText(), u"\r\n");
    EXPECT_FALSE(foundNoRow(run));

    FilterRun tooFew(u"张三", u"张三\t90");
    EXPECT_FALSE(foundNoRow(tooFew));
}
