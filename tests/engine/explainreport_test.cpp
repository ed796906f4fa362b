// The --explain report of inputs that once made it cost far more than the run: each must give
// the report, byte for byte, that it gave before the index of near rows was made lean.

#include "filterrun.h"
#include "reconciliation.h"
#include "reporttsv.h"

#include <gtest/gtest.h>

#include <string>

using namespace lanshan;

namespace {

// A file's text as the reorder tool hands it to the run: lines ended by CR LF.
std::u16string fromFile(std::u16string_view text)
{
    std::u16string out;
    for (const char16_t c : text)
        out += c == u'\n' ? std::u16string(u"\r\n") : std::u16string(1, c);
    return out;
}

} // namespace

TEST(ExplainReport, SmallHostileInputsKeepTheirReports)
{
    const struct
    {
        const char *name;
        std::u16string keys;
        std::u16string rows;
        std::string tsv;
    } cases[] = {
        {"each key one character from its own row",
         u"key0000001\n"
         u"key0000002\n"
         u"key0000003\n"
         u"key0000004\n"
         u"key0000005\n"
         u"key0000006\n"
         u"key0000007\n"
         u"key0000008\n"
         u"key0000009\n"
         u"key0000010\n"
         u"key0000011\n"
         u"key0000012\n",
         u"kez0000007\tx\ti\n"
         u"kez0000003\tx\ti\n"
         u"kez0000011\tx\ti\n"
         u"kez0000001\tx\ti\n"
         u"kez0000009\tx\ti\n"
         u"kez0000005\tx\ti\n"
         u"kez0000012\tx\ti\n"
         u"kez0000002\tx\ti\n"
         u"kez0000008\tx\ti\n"
         u"kez0000004\tx\ti\n"
         u"kez0000010\tx\ti\n"
         u"kez0000006\tx\ti\n",
         "kind\tkey_line\trow\tcause\tkey\trow_text\n"
         "missing\t1\t4\tone-char\tkey0000001\tkez0000001\\tx\\ti\n"
         "missing\t2\t8\tone-char\tkey0000002\tkez0000002\\tx\\ti\n"
         "missing\t3\t2\tone-char\tkey0000003\tkez0000003\\tx\\ti\n"
         "missing\t4\t10\tone-char\tkey0000004\tkez0000004\\tx\\ti\n"
         "missing\t5\t6\tone-char\tkey0000005\tkez0000005\\tx\\ti\n"
         "missing\t6\t12\tone-char\tkey0000006\tkez0000006\\tx\\ti\n"
         "missing\t7\t1\tone-char\tkey0000007\tkez0000007\\tx\\ti\n"
         "missing\t8\t9\tone-char\tkey0000008\tkez0000008\\tx\\ti\n"
         "missing\t9\t5\tone-char\tkey0000009\tkez0000009\\tx\\ti\n"
         "missing\t10\t11\tone-char\tkey0000010\tkez0000010\\tx\\ti\n"
         "missing\t11\t3\tone-char\tkey0000011\tkez0000011\\tx\\ti\n"
         "missing\t12\t7\tone-char\tkey0000012\tkez0000012\\tx\\ti\n"
         "unused\t\t1\tnear\t\tkez0000007\\tx\\ti\n"
         "unused\t\t2\tnear\t\tkez0000003\\tx\\ti\n"
         "unused\t\t3\tnear\t\tkez0000011\\tx\\ti\n"
         "unused\t\t4\tnear\t\tkez0000001\\tx\\ti\n"
         "unused\t\t5\tnear\t\tkez0000009\\tx\\ti\n"
         "unused\t\t6\tnear\t\tkez0000005\\tx\\ti\n"
         "unused\t\t7\tnear\t\tkez0000012\\tx\\ti\n"
         "unused\t\t8\tnear\t\tkez0000002\\tx\\ti\n"
         "unused\t\t9\tnear\t\tkez0000008\\tx\\ti\n"
         "unused\t\t10\tnear\t\tkez0000004\\tx\\ti\n"
         "unused\t\t11\tnear\t\tkez0000010\\tx\\ti\n"
         "unused\t\t12\tnear\t\tkez0000006\\tx\\ti\n"},
        {"every prefix of one text against one row",
         u"qw\n"
         u"qwe\n"
         u"qwer\n"
         u"qwert\n"
         u"qwerty\n"
         u"qwertyu\n"
         u"qwertyui\n"
         u"qwertyuio\n"
         u"qwertyuiop\n"
         u"qwertyuiopa\n"
         u"qwertyuiopas\n"
         u"qwertyuiopasd\n"
         u"qwertyuiopasdf\n",
         u"qwertyuiopasdf1\tqwertyuiopasdf2\tqwertyuiopasdf3\tqwertyuiopasdf4\tqwertyuiopasdf5\tqwertyuiopasdf6\n",
         "kind\tkey_line\trow\tcause\tkey\trow_text\n"
         "missing\t1\t1\tlonger-"
         "value\tqw\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tqwertyui"
         "opasdf6\n"
         "missing\t2\t1\tlonger-"
         "value\tqwe\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tqwertyu"
         "iopasdf6\n"
         "missing\t3\t1\tlonger-"
         "value\tqwer\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tqwerty"
         "uiopasdf6\n"
         "missing\t4\t1\tlonger-"
         "value\tqwert\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tqwert"
         "yuiopasdf6\n"
         "missing\t5\t1\tlonger-"
         "value\tqwerty\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tqwer"
         "tyuiopasdf6\n"
         "missing\t6\t1\tlonger-"
         "value\tqwertyu\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tqwe"
         "rtyuiopasdf6\n"
         "missing\t7\t1\tlonger-"
         "value\tqwertyui\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tqw"
         "ertyuiopasdf6\n"
         "missing\t8\t1\tlonger-"
         "value\tqwertyuio\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\tq"
         "wertyuiopasdf6\n"
         "missing\t9\t1\tlonger-"
         "value\tqwertyuiop\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\t"
         "qwertyuiopasdf6\n"
         "missing\t10\t1\tlonger-"
         "value\tqwertyuiopa\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5\\"
         "tqwertyuiopasdf6\n"
         "missing\t11\t1\tlonger-"
         "value\tqwertyuiopas\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5"
         "\\tqwertyuiopasdf6\n"
         "missing\t12\t1\tlonger-"
         "value\tqwertyuiopasd\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5"
         "\\tqwertyuiopasdf6\n"
         "missing\t13\t1\tlonger-"
         "value\tqwertyuiopasdf\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf"
         "5\\tqwertyuiopasdf6\n"
         "unused\t\t1\tnear\t\tqwertyuiopasdf1\\tqwertyuiopasdf2\\tqwertyuiopasdf3\\tqwertyuiopasdf4\\tqwertyuiopasdf5"
         "\\tqwertyuiopasdf6\n"},
        {"prefixes, suffixes and whole cells in many rows",
         u"ab\n"
         u"abc\n"
         u"abcd\n"
         u"abcde\n"
         u"abcdef\n"
         u"abcdefg\n"
         u"abcdefgh\n",
         u"x\tabcdefgh9\tabcde\tabcz\n"
         u"0\tzzabcd\tabcdefy\n"
         u"1\tzzabcde\tabcdefy\n"
         u"2\tzzabcdef\tabcdefy\n"
         u"3\tzzabcd\tabcdefy\n"
         u"4\tzzabcde\tabcdefy\n"
         u"5\tzzabcdef\tabcdefy\n"
         u"last\tabcd\n",
         "kind\tkey_line\trow\tcause\tkey\trow_text\n"
         "missing\t1\t2\tlast-column+longer-value\tab\t0\\tzzabcd\\tabcdefy\n"
         "missing\t1\t3\tlast-column+longer-value\tab\t1\\tzzabcde\\tabcdefy\n"
         "missing\t1\t4\tlast-column+longer-value\tab\t2\\tzzabcdef\\tabcdefy\n"
         "missing\t1\t5\tlast-column+longer-value\tab\t3\\tzzabcd\\tabcdefy\n"
         "missing\t1\t6\tlast-column+longer-value\tab\t4\\tzzabcde\\tabcdefy\n"
         "missing\t2\t2\tlast-column+longer-value\tabc\t0\\tzzabcd\\tabcdefy\n"
         "missing\t2\t3\tlast-column+longer-value\tabc\t1\\tzzabcde\\tabcdefy\n"
         "missing\t2\t4\tlast-column+longer-value\tabc\t2\\tzzabcdef\\tabcdefy\n"
         "missing\t2\t5\tlast-column+longer-value\tabc\t3\\tzzabcd\\tabcdefy\n"
         "missing\t2\t6\tlast-column+longer-value\tabc\t4\\tzzabcde\\tabcdefy\n"
         "missing\t3\t8\tlast-column\tabcd\tlast\\tabcd\n"
         "missing\t3\t2\tlonger-value\tabcd\t0\\tzzabcd\\tabcdefy\n"
         "missing\t3\t3\tlast-column+longer-value\tabcd\t1\\tzzabcde\\tabcdefy\n"
         "missing\t3\t4\tlast-column+longer-value\tabcd\t2\\tzzabcdef\\tabcdefy\n"
         "missing\t3\t5\tlonger-value\tabcd\t3\\tzzabcd\\tabcdefy\n"
         "missing\t5\t2\tlast-column+longer-value\tabcdef\t0\\tzzabcd\\tabcdefy\n"
         "missing\t5\t3\tlast-column+longer-value\tabcdef\t1\\tzzabcde\\tabcdefy\n"
         "missing\t5\t4\tlonger-value\tabcdef\t2\\tzzabcdef\\tabcdefy\n"
         "missing\t5\t5\tlast-column+longer-value\tabcdef\t3\\tzzabcd\\tabcdefy\n"
         "missing\t5\t6\tlast-column+longer-value\tabcdef\t4\\tzzabcde\\tabcdefy\n"
         "missing\t6\t2\tlast-column+one-char\tabcdefg\t0\\tzzabcd\\tabcdefy\n"
         "missing\t6\t3\tlast-column+one-char\tabcdefg\t1\\tzzabcde\\tabcdefy\n"
         "missing\t6\t4\tlast-column+one-char\tabcdefg\t2\\tzzabcdef\\tabcdefy\n"
         "missing\t6\t5\tlast-column+one-char\tabcdefg\t3\\tzzabcd\\tabcdefy\n"
         "missing\t6\t6\tlast-column+one-char\tabcdefg\t4\\tzzabcde\\tabcdefy\n"
         "missing\t7\t\t\tabcdefgh\t\n"
         "unused\t\t2\tnear\t\t0\\tzzabcd\\tabcdefy\n"
         "unused\t\t3\tnear\t\t1\\tzzabcde\\tabcdefy\n"
         "unused\t\t4\tnear\t\t2\\tzzabcdef\\tabcdefy\n"
         "unused\t\t5\tnear\t\t3\\tzzabcd\\tabcdefy\n"
         "unused\t\t6\tnear\t\t4\\tzzabcde\\tabcdefy\n"
         "unused\t\t7\t\t\t5\\tzzabcdef\\tabcdefy\n"
         "unused\t\t8\tnear\t\tlast\\tabcd\n"},
        {"numbers one character apart in every way",
         u"s2023001\n"
         u"s2023002\n"
         u"s2023003\n"
         u"s2023011\n"
         u"s2023012\n"
         u"s2023300\n"
         u"s2023333\n",
         u"s2023x01\t90\n"
         u"88\ts202300\n"
         u"s20230011\t70\n"
         u"s2023330\t1\n"
         u"s20233333\t2\n"
         u"s2023003\t5\n"
         u"s2023030\t6\n"
         u"s202301\t7\n",
         "kind\tkey_line\trow\tcause\tkey\trow_text\n"
         "missing\t1\t3\tlonger-value\ts2023001\ts20230011\\t70\n"
         "missing\t2\t2\tlast-column+one-char\ts2023002\t88\\ts202300\n"
         "missing\t4\t3\tone-char\ts2023011\ts20230011\\t70\n"
         "missing\t4\t8\tone-char\ts2023011\ts202301\\t7\n"
         "missing\t5\t8\tone-char\ts2023012\ts202301\\t7\n"
         "missing\t6\t2\tlast-column+one-char\ts2023300\t88\\ts202300\n"
         "missing\t6\t4\tone-char\ts2023300\ts2023330\\t1\n"
         "missing\t7\t5\tlonger-value\ts2023333\ts20233333\\t2\n"
         "unused\t\t1\t\t\ts2023x01\\t90\n"
         "unused\t\t2\tnear\t\t88\\ts202300\n"
         "unused\t\t3\tnear\t\ts20230011\\t70\n"
         "unused\t\t4\tnear\t\ts2023330\\t1\n"
         "unused\t\t5\tnear\t\ts20233333\\t2\n"
         "unused\t\t7\t\t\ts2023030\\t6\n"
         "unused\t\t8\tnear\t\ts202301\\t7\n"},
        {"names near by form and by one character",
         u"张三丰\n"
         u"李四\n"
         u"ＡＢ12\n"
         u"abc\n"
         u"王小明\n",
         u"张 三丰\t1\n"
         u"張三丰\t2\n"
         u"李四五\t3\n"
         u"ab12\t4\n"
         u"ABC\t5\n"
         u"abd\t6\n"
         u"王小\t7\n"
         u"王大明\t8\n"
         u"x\t王小明同学\n",
         "kind\tkey_line\trow\tcause\tkey\trow_text\n"
         "missing\t1\t1\tspaces\t张三丰\t张 三丰\\t1\n"
         "missing\t1\t2\tvariant\t张三丰\t張三丰\\t2\n"
         "missing\t2\t3\tlonger-value\t李四\t李四五\\t3\n"
         "missing\t3\t4\twidth+case\tＡＢ12\tab12\\t4\n"
         "missing\t4\t5\tcase\tabc\tABC\\t5\n"
         "missing\t5\t9\tlast-column+longer-value\t王小明\tx\\t王小明同学\n"
         "unused\t\t1\tnear\t\t张 三丰\\t1\n"
         "unused\t\t2\tnear\t\t張三丰\\t2\n"
         "unused\t\t3\tnear\t\t李四五\\t3\n"
         "unused\t\t4\tnear\t\tab12\\t4\n"
         "unused\t\t5\tnear\t\tABC\\t5\n"
         "unused\t\t6\t\t\tabd\\t6\n"
         "unused\t\t7\t\t\t王小\\t7\n"
         "unused\t\t8\t\t\t王大明\\t8\n"
         "unused\t\t9\tnear\t\tx\\t王小明同学\n"},
        {"keys one character from every row, beyond five rows",
         u"ab01\n"
         u"ab02\n"
         u"ab03\n"
         u"ab04\n"
         u"ab05\n"
         u"ab06\n",
         u"n1\tb01\tab0x\n"
         u"n2\tb02\tab0x\n"
         u"n3\tb03\tab0x\tq\n"
         u"n4\tb04\tab0x\n"
         u"n5\tb05\tab0x\n"
         u"n6\tb06\tab0x\tq\n"
         u"n7\tb00\tab0x\n"
         u"n8\tb01\tab0x\n"
         u"n9\tb02\tab0x\tq\n",
         "kind\tkey_line\trow\tcause\tkey\trow_text\n"
         "missing\t1\t1\tone-char\tab01\tn1\\tb01\\tab0x\n"
         "missing\t1\t2\tlast-column+one-char\tab01\tn2\\tb02\\tab0x\n"
         "missing\t1\t3\tone-char\tab01\tn3\\tb03\\tab0x\\tq\n"
         "missing\t1\t4\tlast-column+one-char\tab01\tn4\\tb04\\tab0x\n"
         "missing\t1\t5\tlast-column+one-char\tab01\tn5\\tb05\\tab0x\n"
         "missing\t2\t1\tlast-column+one-char\tab02\tn1\\tb01\\tab0x\n"
         "missing\t2\t2\tone-char\tab02\tn2\\tb02\\tab0x\n"
         "missing\t2\t3\tone-char\tab02\tn3\\tb03\\tab0x\\tq\n"
         "missing\t2\t4\tlast-column+one-char\tab02\tn4\\tb04\\tab0x\n"
         "missing\t2\t5\tlast-column+one-char\tab02\tn5\\tb05\\tab0x\n"
         "missing\t3\t1\tlast-column+one-char\tab03\tn1\\tb01\\tab0x\n"
         "missing\t3\t2\tlast-column+one-char\tab03\tn2\\tb02\\tab0x\n"
         "missing\t3\t3\tone-char\tab03\tn3\\tb03\\tab0x\\tq\n"
         "missing\t3\t4\tlast-column+one-char\tab03\tn4\\tb04\\tab0x\n"
         "missing\t3\t5\tlast-column+one-char\tab03\tn5\\tb05\\tab0x\n"
         "missing\t4\t1\tlast-column+one-char\tab04\tn1\\tb01\\tab0x\n"
         "missing\t4\t2\tlast-column+one-char\tab04\tn2\\tb02\\tab0x\n"
         "missing\t4\t3\tone-char\tab04\tn3\\tb03\\tab0x\\tq\n"
         "missing\t4\t4\tone-char\tab04\tn4\\tb04\\tab0x\n"
         "missing\t4\t5\tlast-column+one-char\tab04\tn5\\tb05\\tab0x\n"
         "missing\t5\t1\tlast-column+one-char\tab05\tn1\\tb01\\tab0x\n"
         "missing\t5\t2\tlast-column+one-char\tab05\tn2\\tb02\\tab0x\n"
         "missing\t5\t3\tone-char\tab05\tn3\\tb03\\tab0x\\tq\n"
         "missing\t5\t4\tlast-column+one-char\tab05\tn4\\tb04\\tab0x\n"
         "missing\t5\t5\tone-char\tab05\tn5\\tb05\\tab0x\n"
         "missing\t6\t1\tlast-column+one-char\tab06\tn1\\tb01\\tab0x\n"
         "missing\t6\t2\tlast-column+one-char\tab06\tn2\\tb02\\tab0x\n"
         "missing\t6\t3\tone-char\tab06\tn3\\tb03\\tab0x\\tq\n"
         "missing\t6\t4\tlast-column+one-char\tab06\tn4\\tb04\\tab0x\n"
         "missing\t6\t5\tlast-column+one-char\tab06\tn5\\tb05\\tab0x\n"
         "unused\t\t1\tnear\t\tn1\\tb01\\tab0x\n"
         "unused\t\t2\tnear\t\tn2\\tb02\\tab0x\n"
         "unused\t\t3\tnear\t\tn3\\tb03\\tab0x\\tq\n"
         "unused\t\t4\tnear\t\tn4\\tb04\\tab0x\n"
         "unused\t\t5\tnear\t\tn5\\tb05\\tab0x\n"
         "unused\t\t6\t\t\tn6\\tb06\\tab0x\\tq\n"
         "unused\t\t7\t\t\tn7\\tb00\\tab0x\n"
         "unused\t\t8\t\t\tn8\\tb01\\tab0x\n"
         "unused\t\t9\t\t\tn9\\tb02\\tab0x\\tq\n"},
    };
    for (const auto &c : cases) {
        FilterRun run(fromFile(c.keys), fromFile(c.rows));
        ASSERT_EQ(run.state(), FilterRun::State::Finished) << c.name;
        EXPECT_EQ(reportTsv(run, reconcile(run)), c.tsv) << c.name;
    }
}

// Numbers one digit apart share most entries of the index of one-character differences, which
// is sized by its distinct keys: every key must still find its own row, and no other.
TEST(ExplainReport, EveryNumberFindsItsOwnRowOneCharacterAway)
{
    constexpr std::size_t n = 30000;
    std::u16string keys;
    std::u16string rows;
    const auto number = [](std::size_t i) {
        std::u16string digits = u"0000000";
        for (std::size_t d = digits.size(); d-- > 0; i /= 10)
            digits[d] = static_cast<char16_t>(u'0' + i % 10);
        return digits;
    };
    for (std::size_t i = 0; i < n; ++i) {
        keys += u"key" + number(i) + u"\r\n";
        rows += u"kez" + number(n - 1 - i) + u"\tx\ti\r\n";
    }
    FilterRun run(keys, rows);
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    const Reconciliation report = reconcile(run);
    ASSERT_EQ(report.missing.size(), n);
    for (std::size_t i = 0; i < n; ++i) {
        const MissingKey &key = report.missing[i];
        ASSERT_EQ(key.keyLine, i);
        ASSERT_EQ(key.nearRows.size(), 1u) << "key line " << i;
        EXPECT_EQ(key.nearRows[0].row, n - 1 - i) << "key line " << i;
        EXPECT_EQ(key.nearRows[0].causes, unsigned(OneChar)) << "key line " << i;
    }
    ASSERT_EQ(report.unused.size(), n);
    for (const UnusedRow &row : report.unused)
        EXPECT_EQ(row.reason, UnusedReason::Near);
}
