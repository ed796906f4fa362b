#include "textfile.h"

#include <gtest/gtest.h>

using namespace lanshan;

TEST(TextFile, DecodesUtf8AndEndsEveryLineWithCrLf)
{
    DecodedText d = decodeUtf8Text("\xEF\xBB\xBF"
                                   "a\rb\nc\r\nd\r\r\n\n");
    EXPECT_FALSE(d.badOffset);
    EXPECT_EQ(d.text, u"a\r\nb\r\nc\r\nd\r\n\r\n\r\n");

    d = decodeUtf8Text("\xC3\xA9\xE5\xB2\x9A\xF0\x9F\x98\x80\xEF\xBF\xBF");
    EXPECT_FALSE(d.badOffset);
    EXPECT_EQ(d.text, u"\u00e9\u5c9a\U0001F600\uffff");

    // Only a leading byte-order mark is dropped; NUL is an ordinary character.
    d = decodeUtf8Text(std::string("x\xEF\xBB\xBF\0y", 6));
    EXPECT_EQ(d.text, std::u16string(u"x\ufeff\0y", 4));
}

TEST(TextFile, RejectsMalformedUtf8WithItsOffset)
{
    struct Case
    {
        const char *bytes;
        std::size_t offset;
    };
    const Case cases[] = {
        {"ab\x80", 2},            // stray continuation byte
        {"ab\xC2", 2},            // cut off
        {"\xE5\xB2", 0},          // cut off
        {"a\xC0\x80", 1},         // overlong NUL
        {"a\xE0\x9F\xBF", 1},     // overlong
        {"a\xF0\x8F\xBF\xBF", 1}, // overlong
        {"a\xED\xA0\x80", 1},     // encoded surrogate
        {"a\xF4\x90\x80\x80", 1}, // past U+10FFFF
        {"a\xF8\x88\x80\x80", 1}, // five-byte form
        {"\xE5\xB2\x9A\xE5(", 3}, // bad continuation
    };
    for (const Case &c : cases) {
        const DecodedText d = decodeUtf8Text(c.bytes);
        ASSERT_TRUE(d.badOffset) << c.bytes;
        EXPECT_EQ(*d.badOffset, c.offset) << c.bytes;
    }
}

TEST(TextFile, EncodesUtf16RoundTripAndReplacesLoneSurrogates)
{
    std::string out;
    appendUtf8(out, u"a\u00e9\u5c9a\U0001F600");
    EXPECT_EQ(out, "a\xC3\xA9\xE5\xB2\x9A\xF0\x9F\x98\x80");
    out.clear();
    appendUtf8(out, std::u16string{u'x', char16_t(0xD800), u'y', char16_t(0xDC00)});
    EXPECT_EQ(out, "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}
