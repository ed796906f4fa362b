#include "filterrun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
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

// The README's text, which is valid UTF-8, as the engine takes it.
static std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < bytes.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

// The README states the rule with examples: each runs here, so that the words and the engine
// cannot drift apart. In the README ⇥ is a TAB, ↵ a line break and ␣ a space.
TEST(FilterRun, TheReadmesRuleExamples)
{
    const auto path = std::filesystem::absolute(std::filesystem::path(LANSHAN_README).make_preferred());
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::string line;
    bool inSection = false;
    std::size_t examples = 0;
    const auto text = [](std::string_view cell) {
        std::string bytes(cell);
        for (const auto &[mark, meant] : {std::pair<std::string, std::string>{"⇥", "\t"}, {"↵", "\r\n"}, {"␣", " "}}) {
            for (std::size_t at = bytes.find(mark); at != std::string::npos; at = bytes.find(mark, at + meant.size()))
                bytes.replace(at, mark.size(), meant);
        }
        return fromUtf8(bytes);
    };
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.starts_with("#"))
            inSection = line == "### The matching rule";
        // The section's one table: the first line after it ends it.
        if (inTable && !line.starts_with("|"))
            inSection = false;
        inTable = inSection && line.starts_with("|");
        if (!inSection || !line.starts_with("| ") || line.find('`') == std::string::npos)
            continue;
        // The three code spans of a line: keys, rows, result.
        std::vector<std::string_view> spans;
        const std::string_view view(line);
        for (std::size_t open = view.find('`'); open != std::string_view::npos;) {
            const std::size_t close = view.find('`', open + 1);
            ASSERT_NE(close, std::string_view::npos) << line;
            spans.push_back(view.substr(open + 1, close - open - 1));
            open = view.find('`', close + 1);
        }
        ASSERT_EQ(spans.size(), 3u) << line;
        FilterRun run(text(spans[0]), text(spans[1]), RunOptions{DuplicateRows::LeaveEmpty, {}});
        ASSERT_EQ(run.state(), FilterRun::State::Finished) << line;
        EXPECT_EQ(run.resultText(), text(spans[2])) << line;
        ++examples;
    }
    EXPECT_GE(examples, 7u) << "the examples of the rule in " << path;
}
