#include "displaytext.h"
#include "itemtext.h"
#include "keyrule.h"

#include <gtest/gtest.h>

using namespace lanshan;

TEST(KeyRule, CandidateNeedsTheKeyFollowedByATabWithSpacesDisregarded)
{
    EXPECT_TRUE(isCandidate(u"a1", u"a1\t90"));
    EXPECT_TRUE(isCandidate(u"a1", u"xa1\t90")); // tail of a longer value
    EXPECT_FALSE(isCandidate(u"a1", u"90\ta1")); // last column: no TAB after it
    EXPECT_FALSE(isCandidate(u"a1", u"A1\t90")); // letter case counts
    EXPECT_TRUE(isCandidate(u"a1", u"a 1\t90")); // spaces disregarded
    EXPECT_TRUE(isCandidate(u"a 1", u"a1\t90"));
    EXPECT_TRUE(isCandidate(u"a1", u"a1 \t90"));
    EXPECT_FALSE(isCandidate(u"a1", u"a \t 1 \t90")); // the TAB ends the column
    EXPECT_FALSE(isCandidate(u"a1", u"a1"));
    EXPECT_FALSE(isCandidate(u"a1", u""));
    EXPECT_FALSE(isCandidate(u"a1", u"a\u30001\t90")); // the ideographic space is no space
    EXPECT_TRUE(isCandidate(u"\u3000a1", u"\u3000a1\t90"));
    // A key holding a TAB spans columns.
    EXPECT_TRUE(isCandidate(u"a\tb", u"a\tb\tc"));
    EXPECT_TRUE(isCandidate(u"a\t b", u"xa \tb\tc"));
    EXPECT_FALSE(isCandidate(u"a\tb", u"a\tb"));
}

TEST(KeyRule, ConfirmationComparesEveryPieceExactly)
{
    EXPECT_TRUE(isConfirmed(u"a1", u"3.\ta1\t90"));
    EXPECT_FALSE(isConfirmed(u"a1", u"3.\txa1\t90"));
    EXPECT_FALSE(isConfirmed(u"a1", u"3.\ta 1\t90"));
    EXPECT_TRUE(isConfirmed(u"a 1", u"3.\ta 1\t90"));
    EXPECT_FALSE(isConfirmed(u"a 1", u"3.\ta1\t90"));
    EXPECT_FALSE(isConfirmed(u"a1 ", u"3.\ta1\t90")); // a key with a trailing space
    EXPECT_TRUE(isConfirmed(u"90", u"3.\ta1\t90"));   // the last piece counts here
    EXPECT_TRUE(isConfirmed(u"3.", u"3.\ta1\t90"));   // so does the row number piece
    EXPECT_FALSE(isConfirmed(u"a1\t90", u"3.\ta1\t90"));
}

TEST(KeyRule, RowBelongsToKey)
{
    EXPECT_TRUE(belongsTo(u"a1", u"a1\t90", 0));
    EXPECT_FALSE(belongsTo(u"a1", u"xa1\t90", 0));
    EXPECT_FALSE(belongsTo(u"a1", u"90\ta1", 0));
    // Last column equal, yet a candidate through another column's tail.
    EXPECT_TRUE(belongsTo(u"a1", u"xa1\ta1", 0));
    EXPECT_TRUE(belongsTo(u"a1", u"a 1\ta1", 0));
    // The row's own number piece confirms a candidate, other rows' numbers do not.
    EXPECT_TRUE(belongsTo(u"3.", u"x3.\t90", 2));
    EXPECT_FALSE(belongsTo(u"3.", u"x3.\t90", 3));
    EXPECT_FALSE(belongsTo(u"3.", u"90\t3.", 2));
}

TEST(KeyRule, RowNumberPieces)
{
    EXPECT_EQ(rowOfNumberPiece(u"1."), 0u);
    EXPECT_EQ(rowOfNumberPiece(u"120."), 119u);
    EXPECT_FALSE(rowOfNumberPiece(u"0."));
    EXPECT_FALSE(rowOfNumberPiece(u"03."));
    EXPECT_FALSE(rowOfNumberPiece(u"3"));
    EXPECT_FALSE(rowOfNumberPiece(u"."));
    EXPECT_FALSE(rowOfNumberPiece(u" 3."));
    EXPECT_FALSE(rowOfNumberPiece(u"\uff13.")); // full-width digit
    EXPECT_FALSE(rowOfNumberPiece(u"99999999999999999999999999."));
}

TEST(ItemText, NumberedMarkedAndCandidateItems)
{
    EXPECT_EQ(numberedItem(0, u"a1\t90"), u"1.a1\t90");
    EXPECT_EQ(numberedItem(1, u""), u"2.");
    EXPECT_EQ(numberedItem(32767, u"x"), u"32768.x");
    EXPECT_EQ(markedItem(0, u"a1", true), u"[*]1.a1");
    EXPECT_EQ(markedItem(9, u"a1", false), u"   10.a1");
    EXPECT_EQ(candidateEntry(2, u"a1\t90"), u"3.\ta1\t90");
    EXPECT_EQ(positionItem(2), u"2");
    EXPECT_EQ(positionItem(0), u"0");
    EXPECT_EQ(decimal(1'000'000), u"1000000");
}
