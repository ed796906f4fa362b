#include "keyrule.h"
#include "linetable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lanshan;

namespace {

std::vector<std::u16string> lines(std::u16string text)
{
    LineTable table(std::move(text));
    std::vector<std::u16string> out;
    for (std::size_t i = 0; i < table.size(); ++i)
        out.emplace_back(table[i]);
    return out;
}

using Lines = std::vector<std::u16string>;

} // namespace

TEST(LineTable, CutsOnlyAtCrLfAndTrimsOnlySpacesOfTheWholeText)
{
    EXPECT_EQ(lines(u""), Lines{});
    EXPECT_EQ(lines(u"    "), Lines{});
    EXPECT_EQ(lines(u"a1"), Lines{u"a1"});
    EXPECT_EQ(lines(u"a1\r\n"), (Lines{u"a1", u""}));
    EXPECT_EQ(lines(u"  a1\r\nb2  "), (Lines{u"a1", u"b2"}));
    // Inner lines keep the spaces at their ends.
    EXPECT_EQ(lines(u"a1  \r\n  b2"), (Lines{u"a1  ", u"  b2"}));
    // A lone LF or CR belongs to its line; TABs at the ends of the text stay.
    EXPECT_EQ(lines(u"a1\nb2"), Lines{u"a1\nb2"});
    EXPECT_EQ(lines(u"a1\rb2\r"), Lines{u"a1\rb2\r"});
    EXPECT_EQ(lines(u"\ta1\t"), Lines{u"\ta1\t"});
    EXPECT_EQ(lines(u"\r\n\r\n"), (Lines{u"", u"", u""}));
    // CR CR LF: the first CR stays on its line.
    EXPECT_EQ(lines(u"a\r\r\nb"), (Lines{u"a\r", u"b"}));
    // The ideographic space is an ordinary character.
    EXPECT_EQ(lines(u"\u3000a1\u3000"), Lines{u"\u3000a1\u3000"});
    // Trimming the whole text can cut into the spaces of the last line only.
    EXPECT_EQ(lines(u" \r\n "), (Lines{u"", u""}));
}

TEST(LineTable, PositionsAndSharedCopies)
{
    LineTable empty;
    EXPECT_EQ(empty.lastPosition(), -1);
    EXPECT_TRUE(empty.text().empty());

    std::u16string text = u" x\r\ny ";
    LineTable table(text);
    LineTable copy = table;
    text.assign(u"changed");
    EXPECT_EQ(table.lastPosition(), 1);
    EXPECT_EQ(copy[1], u"y");
    EXPECT_EQ(table.text(), u" x\r\ny ");
}

TEST(LineTable, MillionLinesHaveWidePositions)
{
    std::u16string text;
    for (int i = 0; i < 1'000'000; ++i)
        text += u"k\r\n";
    LineTable table(std::move(text));
    EXPECT_EQ(table.size(), 1'000'001u);
    EXPECT_EQ(table[999'999], u"k");
    EXPECT_EQ(table[1'000'000], u"");
}

TEST(KeyRule, EmptyKeysAreSpacesOnly)
{
    EXPECT_TRUE(isEmptyKey(u""));
    EXPECT_TRUE(isEmptyKey(u"   "));
    EXPECT_FALSE(isEmptyKey(u"\t"));
    EXPECT_FALSE(isEmptyKey(u"\u3000"));
    EXPECT_FALSE(isEmptyKey(u"\u00a0"));
    EXPECT_EQ(trimSpaces(u"  a b  "), u"a b");
}
