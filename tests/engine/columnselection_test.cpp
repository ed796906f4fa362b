// The result columns that go to the clipboard: how a list is read, what it refuses, and what
// each result line becomes.

#include "columnselection.h"
#include "filterrun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lanshan;

namespace {

std::u16string parsedText(std::u16string_view list, const std::vector<std::u16string> &names = {})
{
    const ParsedColumns parsed = ColumnSelection::parse(list, names);
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

TEST(ColumnSelection, NamesOfTheHeaderReadAsTheirColumns)
{
    const std::vector<std::u16string> scores = {u"学号", u"姓名", u"语文", u"数学", u"期中 成绩", u"2023", u"Math"};
    const std::vector<std::u16string> twice = {u"姓名", u"数学", u"语文", u"数学"};
    const std::vector<std::u16string> numbered = {u"1-2", u"", u"3", u"语文-期中"};
    const struct
    {
        const char *what;
        std::vector<std::u16string> names;
        std::u16string list;
        std::u16string read; // the selection's plain form, or the item at fault
        ColumnsFault fault;
    } cases[] = {
        {"a name", scores, u"数学", u"4", ColumnsFault::None},
        {"several", scores, u"语文,数学", u"3,4", ColumnsFault::None},
        {"several, as typed in Chinese", scores, u"语文，数学、姓名", u"3,4,2", ColumnsFault::None},
        {"between spaces", scores, u" 语文 数学 ", u"3,4", ColumnsFault::None},
        {"mixed with numbers", scores, u"1,数学", u"1,4", ColumnsFault::None},
        {"mixed with a range", scores, u"数学 1-2", u"4,1-2", ColumnsFault::None},
        {"a name with a space", scores, u"期中 成绩", u"5", ColumnsFault::None},
        {"a name with a space, and more", scores, u"1, 期中 成绩 ,语文", u"1,5,3", ColumnsFault::None},
        {"a name with a space, cut apart", scores, u"期中  成绩", u"fault:期中", ColumnsFault::UnknownName},
        {"a name with a space, no comma after", scores, u"期中 成绩 语文", u"fault:期中", ColumnsFault::UnknownName},
        {"not in the header", scores, u"语文,物理", u"fault:物理", ColumnsFault::UnknownName},
        {"a part of a name", scores, u"成绩", u"fault:成绩", ColumnsFault::UnknownName},
        {"case as it is", scores, u"Math", u"7", ColumnsFault::None},
        {"other case", scores, u"math", u"fault:math", ColumnsFault::UnknownName},
        {"other width", scores, u"Ｍａｔｈ", u"fault:Ｍａｔｈ", ColumnsFault::UnknownName},
        {"a number that is also a name", scores, u"2023", u"2023", ColumnsFault::None},
        {"numbers stay numbers", scores, u"6", u"6", ColumnsFault::None},
        {"a range that is also a name", numbered, u"1-2", u"1-2", ColumnsFault::None},
        {"a number that is also a name, again", numbered, u"3", u"3", ColumnsFault::None},
        {"a name with a range mark", numbered, u"语文-期中", u"4", ColumnsFault::None},
        {"one name of two columns", twice, u"数学", u"fault:数学", ColumnsFault::SameName},
        {"the other names of that header", twice, u"语文,1", u"3,1", ColumnsFault::None},
        {"no header", {}, u"数学", u"fault:数学", ColumnsFault::NotANumber},
        {"no name that can be typed", {u"", u"1", u"2"}, u"数学", u"fault:数学", ColumnsFault::NotANumber},
        {"zero beside a name", scores, u"数学,0", u"fault:0", ColumnsFault::Zero},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parsedText(c.list, c.names), c.read) << c.what;
        EXPECT_EQ(ColumnSelection::parse(c.list, c.names).fault, c.fault) << c.what;
    }
}

TEST(ColumnSelection, RefusedNamesSayWhatTheHeaderHolds)
{
    // The names that can be typed, each once: none written as numbers, none empty.
    const std::vector<std::u16string> header = {u"学号", u"", u"语文", u"2023", u"语文", u"期中 成绩", u"1-2"};
    const ParsedColumns unknown = ColumnSelection::parse(u"3,物理", header);
    EXPECT_EQ(unknown.fault, ColumnsFault::UnknownName);
    EXPECT_EQ(unknown.names, (std::vector<std::u16string>{u"学号", u"语文", u"期中 成绩"}));

    const ParsedColumns same = ColumnSelection::parse(u"语文", header);
    EXPECT_EQ(same.fault, ColumnsFault::SameName);
    EXPECT_EQ(same.columns, (std::vector<std::size_t>{3, 5}));
    const std::vector<std::u16string> spaced = {u"期中 成绩", u"期中 成绩"};
    const ParsedColumns sameWithSpace = ColumnSelection::parse(u"期中 成绩", spaced);
    EXPECT_EQ(sameWithSpace.fault, ColumnsFault::SameName);
    EXPECT_EQ(sameWithSpace.item, u"期中 成绩");
    EXPECT_EQ(sameWithSpace.columns, (std::vector<std::size_t>{1, 2}));
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
        if (c.named) {
            EXPECT_EQ(names, (std::vector<std::u16string>{u"学号", u"姓名", u"语文"})) << c.what;
        }
    }
}
