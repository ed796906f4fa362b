// The result columns that go to the clipboard: how a list is read, what it refuses, and what
// each result line becomes.

#include "columnselection.h"
#include "filterrun.h"

#include <gtest/gtest.h>

#include <string>

using namespace lanshan;

namespace {

std::u16string parsedText(std::u16string_view list)
{
    const ParsedColumns parsed = ColumnSelection::parse(list);
    return parsed.selection ? parsed.selection->text() : u"fault:" + parsed.item;
}

} // namespace

TEST(ColumnSelection, ListsAreReadOrRefusedNamingTheItem)
{
    const struct
    {
        std::u16string list;
        std::u16string read; // the selection's plain form, or the item at fault
        ColumnsFault fault;
    } cases[] = {
        {u"3", u"3", ColumnsFault::None},
        {u" 1, 3 ", u"1,3", ColumnsFault::None},
        {u"2-4", u"2-4", ColumnsFault::None},
        {u"4,1", u"4,1", ColumnsFault::None},               // the order as listed
        {u"3，１、２～３", u"3,1,2-3", ColumnsFault::None}, // as typed with a Chinese input method
        {u"2 2", u"2,2", ColumnsFault::None},               // a column may come twice
        {u"", u"", ColumnsFault::None},                     // whole rows
        {u" , ", u"", ColumnsFault::None},
        {u"0", u"fault:0", ColumnsFault::Zero},
        {u"1-0", u"fault:1-0", ColumnsFault::Zero},
        {u"3,x", u"fault:x", ColumnsFault::NotANumber},
        {u"语文", u"fault:语文", ColumnsFault::NotANumber},
        {u"-3", u"fault:-3", ColumnsFault::NotANumber},
        {u"2-", u"fault:2-", ColumnsFault::NotANumber},
        {u"4-2", u"fault:4-2", ColumnsFault::Reversed},
        {u"16385", u"fault:16385", ColumnsFault::TooLarge},
        {u"99999999999999999999999", u"fault:99999999999999999999999", ColumnsFault::TooLarge},
        {u"1-16384", u"1-16384", ColumnsFault::None},
        {u"1-16384,1", u"fault:1", ColumnsFault::TooMany}, // a slip cannot make huge lines
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parsedText(c.list), c.read) << std::string(c.list.begin(), c.list.end());
        EXPECT_EQ(ColumnSelection::parse(c.list).fault, c.fault);
    }
}

TEST(ColumnSelection, EachResultLineCutToTheColumns)
{
    // Line 2 has no row, line 4 a short row, line 5 a row with a break inside its second cell.
    const FilterRun run(u"a1\r\nzz\r\nb2\r\nc3\r\nd4",
                        u"a1\t张一\t90\t85\r\nb2\t张二\t70\t60\r\nc3\t5\r\nd4\t上\n下\t1");
    const struct
    {
        std::u16string list;
        std::u16string text;
    } cases[] = {
        {u"3", u"90\r\n\r\n70\r\n\r\n1"},
        {u"1,3", u"a1\t90\r\n\r\nb2\t70\r\nc3\t\r\nd4\t1"},
        {u"4,1", u"85\ta1\r\n\r\n60\tb2\r\n\tc3\r\n\td4"},
        {u"2-3", u"张一\t90\r\n\r\n张二\t70\r\n5\t\r\n上\n下\t1"},
        {u"9", u"\r\n\r\n\r\n\r\n"},
        {u"", run.resultText()},
    };
    for (const auto &c : cases) {
        const ParsedColumns parsed = ColumnSelection::parse(c.list);
        ASSERT_TRUE(parsed.selection);
        EXPECT_EQ(selectedResultText(run, *parsed.selection), c.text) << std::string(c.list.begin(), c.list.end());
    }
    EXPECT_EQ(widestResultLine(run), 4u);
}

TEST(ColumnSelection, HeaderNamesOnlyForAHeader)
{
    const std::u16string header = u"学号\t姓名\t语文\r\n";
    const std::u16string rows = u"1\t张一\t90\r\n2\t张二\t80\r\n3\t张三\t70";
    const struct
    {
        const char *what;
        std::u16string keys;
        std::u16string data;
        bool named;
    } cases[] = {
        {"a header above scores", u"张二\r\n张一", header + rows, true},
        {"no header", u"张二\r\n张一", rows, false},
        {"the first row is some key's", u"学号\r\n张一", header + rows, false},
        {"words over words", u"b\r\nc", u"x\ty\r\nb\tq\r\nc\tr", false},
        {"a header alone", u"a\r\nb", header, false},
    };
    for (const auto &c : cases) {
        const FilterRun run(c.keys, c.data);
        const std::vector<std::u16string> names = headerNames(run);
        EXPECT_EQ(!names.empty(), c.named) << c.what;
        if (c.named)
            EXPECT_EQ(names, (std::vector<std::u16string>{u"学号", u"姓名", u"语文"})) << c.what;
    }
}
