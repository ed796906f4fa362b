#include "filterrun.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace lanshan;
using State = FilterRun::State;

namespace {

std::vector<std::u16string> list1(const FilterRun &run)
{
    std::vector<std::u16string> items;
    for (std::size_t i = 0; i < run.settledCount(); ++i)
        items.push_back(run.keyItem(i));
    return items;
}

std::vector<std::u16string> list2(const FilterRun &run)
{
    std::vector<std::u16string> items;
    for (std::size_t i = 0; i < run.settledCount(); ++i)
        items.push_back(run.resultItem(i));
    return items;
}

using Items = std::vector<std::u16string>;

} // namespace

TEST(FilterRun, FewerThanTwoKeyLinesMatchNothing)
{
    for (const std::u16string keys : {u"", u"   ", u"a1", u"  a1  "}) {
        FilterRun run(keys, u"a1\t90");
        EXPECT_EQ(run.state(), State::TooFewLines);
        EXPECT_EQ(run.resultCount(), 0u);
        EXPECT_EQ(run.settledCount(), 0u);
        EXPECT_EQ(run.resultText(), u"");
        EXPECT_TRUE(run.needsWarning());
    }
    // One key and a line end are two lines.
    FilterRun run(u"a1\r\n", u"a1\t90");
    ASSERT_EQ(run.state(), State::Finished);
    EXPECT_EQ(run.resultText(), u"a1\t90\r\n");
    EXPECT_EQ(list2(run), (Items{u"1.a1\t90", u"2."}));
    EXPECT_FALSE(run.needsWarning());
}

TEST(FilterRun, ReordersRowsWithEmptyLinesForMissingKeys)
{
    FilterRun run(u"a1\r\nb2\r\nc3", u"c3\t70\r\na1\t90");
    ASSERT_EQ(run.state(), State::Finished);
    EXPECT_EQ(run.resultText(), u"a1\t90\r\n\r\nc3\t70");
    EXPECT_EQ(list1(run), (Items{u"1.a1", u"2.b2", u"3.c3"}));
    EXPECT_EQ(list2(run), (Items{u"1.a1\t90", u"2.", u"3.c3\t70"}));

    // A key standing twice gets the same row twice; an all-space key is never matched.
    FilterRun twice(u"a1\r\n  \r\na1", u"a1\t90\r\n  \t1");
    EXPECT_EQ(twice.resultText(), u"a1\t90\r\n\r\na1\t90");
}

TEST(FilterRun, ConfirmationSettlesWithoutAsking)
{
    FilterRun run(u"a1\r\nb2", u"xa1\t80\r\na1\t90\r\n90\tb2\r\nb 2\t1");
    ASSERT_EQ(run.state(), State::Finished);
    EXPECT_EQ(run.result(0), u"a1\t90");
    EXPECT_EQ(run.result(1), u""); // last column only, and a spaced column: neither belongs
}

TEST(FilterRun, ResultRowsStayUnchanged)
{
    FilterRun run(u"a1\r\nb2", u"  \ta1\t 90 \t\r\nb2\t\t");
    EXPECT_EQ(run.resultText(), u"\ta1\t 90 \t\r\nb2\t\t"); // leading spaces of the whole text go
    EXPECT_EQ(run.result(1), u"b2\t\t");
}

TEST(FilterRun, EmptyOrBlankDataWarns)
{
    FilterRun empty(u"a1\r\nb2\r\nc3", u"");
    ASSERT_EQ(empty.state(), State::Finished);
    EXPECT_EQ(empty.resultText(), u"\r\n\r\n");
    EXPECT_TRUE(empty.needsWarning());

    // Spaces alone are not the empty text.
    FilterRun blank(u"a1\r\nb2\r\nc3", u"   ");
    EXPECT_EQ(blank.resultText(), u"\r\n\r\n");
    EXPECT_FALSE(blank.needsWarning());
}

TEST(FilterRun, QuestionableLineAwaitsAChoice)
{
    FilterRun run(u"z\r\na1\r\nb2", u"b2\t1\r\na1\t90\r\nc\t1\r\nxa1\t5\r\na1\t91\r\na1\t90");
    ASSERT_EQ(run.state(), State::AwaitingChoice);
    EXPECT_EQ(run.pickpos(), 1u);
    EXPECT_EQ(run.settledCount(), 1u);
    EXPECT_EQ(list2(run), Items{u"1."});
    ASSERT_EQ(run.candidateRows().size(), 3u);
    EXPECT_EQ(run.candidateItem(0), u"2.\ta1\t90");
    EXPECT_EQ(run.candidateItem(1), u"5.\ta1\t91");
    EXPECT_EQ(run.candidateItem(2), u"6.\ta1\t90");
    EXPECT_EQ(run.candidatePosition(0), u"1");
    EXPECT_EQ(run.candidatePosition(1), u"4");
    EXPECT_EQ(run.markedKeyItem(0), u"   1.z");
    EXPECT_EQ(run.markedKeyItem(1), u"[*]2.a1");
    EXPECT_EQ(run.markedKeyItem(2), u"   3.b2");

    EXPECT_THROW(run.choose(3), std::invalid_argument); // not a confirmed row
    EXPECT_EQ(run.state(), State::AwaitingChoice);

    run.choose(4);
    ASSERT_EQ(run.state(), State::Finished);
    EXPECT_EQ(run.resultText(), u"\r\na1\t91\r\nb2\t1");
    EXPECT_EQ(list2(run), (Items{u"1.", u"2.a1\t91", u"3.b2\t1"}));
    EXPECT_THROW(run.ignore(), std::logic_error);
}

TEST(FilterRun, IgnoreEmptiesTheAwaitedLineAndEachQuestionableLineStops)
{
    FilterRun run(u"a1\r\nb2\r\na1", u"a1\t90\r\nb2\t1\r\na1\t91\r\nb2\t2\r\nb2\t2");
    ASSERT_EQ(run.state(), State::AwaitingChoice);
    EXPECT_EQ(run.pickpos(), 0u);
    run.ignore();
    ASSERT_EQ(run.state(), State::AwaitingChoice);
    EXPECT_EQ(run.pickpos(), 1u);
    EXPECT_EQ(run.markedKeyItem(0), u"   1.a1");
    EXPECT_EQ(run.markedKeyItem(1), u"[*]2.b2");
    // Two identical rows still need a choice.
    EXPECT_EQ(run.candidateRows().size(), 3u);
    run.choose(3);
    ASSERT_EQ(run.state(), State::AwaitingChoice);
    EXPECT_EQ(run.pickpos(), 2u);
    run.choose(0);
    ASSERT_EQ(run.state(), State::Finished);
    EXPECT_EQ(run.resultText(), u"\r\nb2\t2\r\na1\t90");
    EXPECT_EQ(list2(run), (Items{u"1.", u"2.b2\t2", u"3.a1\t90"}));
}

TEST(FilterRun, RunsAreIndependentOfEachOther)
{
    auto first = std::make_unique<FilterRun>(u"a1\r\nb2", u"a1\t1\r\na1\t2");
    FilterRun second(u"a1\r\nb2", u"b2\t3");
    ASSERT_EQ(first->state(), State::AwaitingChoice);
    EXPECT_EQ(second.resultText(), u"\r\nb2\t3");
    first->choose(1);
    EXPECT_EQ(first->resultText(), u"a1\t2\r\n");
    first.reset(); // an abandoned run leaves nothing behind
    EXPECT_EQ(second.result(1), u"b2\t3");
}

TEST(FilterRun, MillionKeysAndRowsAndManyCandidates)
{
    auto text = [](int i) {
        std::u16string t;
        for (char c : std::to_string(i))
            t += static_cast<char16_t>(c);
        return t;
    };
    std::u16string keys;
    std::u16string rows;
    // Appended piece by piece: at -O3 GCC 12 takes operator+ of a literal and a temporary for
    // an overlapping copy (-Wrestrict).
    for (int i = 0; i < 1'000'000; ++i) {
        keys += u'k';
        keys += text(i);
        keys += u"\r\n";
    }
    keys += u"dup";
    for (int i = 999'999; i >= 0; --i) {
        rows += u'k';
        rows += text(i);
        rows += u'\t';
        rows += text(i % 100);
        rows += u"\r\n";
    }
    for (int i = 0; i < 100'000; ++i) {
        rows += u"dup\t";
        rows += text(i);
        rows += u"\r\n";
    }
    FilterRun run(std::move(keys), std::move(rows));
    ASSERT_EQ(run.state(), State::AwaitingChoice);
    EXPECT_EQ(run.pickpos(), 1'000'000u);
    EXPECT_EQ(run.settledCount(), 1'000'000u);
    EXPECT_EQ(run.resultItem(0), u"1.k0\t0");
    EXPECT_EQ(run.resultItem(999'999), u"1000000.k999999\t99");
    EXPECT_EQ(run.candidateRows().size(), 100'000u);
    EXPECT_EQ(run.candidateItem(99'999), u"1100000.\tdup\t99999");
    EXPECT_EQ(run.candidatePosition(0), u"1000000");
    EXPECT_EQ(run.markedKeyItem(1'000'000), u"[*]1000001.dup");
    run.choose(run.candidateRows().back());
    ASSERT_EQ(run.state(), State::Finished);
    EXPECT_EQ(run.result(1'000'000), u"dup\t99999");
}
