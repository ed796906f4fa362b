// The reconciliation report: near rows and their causes, the accounting of rows, adopt(),
// the TSV. The near rows of random runs are checked against a plain scan of every cell.

#include "canonicalform.h"
#include "keyrule.h"
#include "reconciliation.h"
#include "reporttsv.h"
#include "reportwording.h"
#include "runcomparison.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <tuple>

using namespace lanshan;
using lanshan::literal::shown;

namespace {

// The near rows of the first key line, as "row:code" items.
std::vector<std::string> nearOf(std::u16string key, std::u16string rows)
{
    FilterRun run(key + u"\r\n", std::move(rows));
    const Reconciliation report = reconcile(run);
    std::vector<std::string> items;
    if (!report.missing.empty() && report.missing.front().keyLine == 0) {
        for (const NearRow &near : report.missing.front().nearRows)
            items.push_back(std::to_string(near.row) + ":" + causeCode(near.causes));
    }
    return items;
}

using Items = std::vector<std::string>;

// The random runs' alphabet folded by hand, class by class, so that a fault in the engine's
// tables or folding shows against it.
std::u32string referenceForm(std::u16string_view text, unsigned classes)
{
    std::u32string form;
    for (const char16_t c : text) {
        if ((c == u' ' || c == u'\u3000') && (classes & Spaces))
            continue;
        if (c == u'\u200b' && (classes & Invisible))
            continue;
        if (c == u'ａ' && (classes & Width))
            form += U'a';
        else if (c == u'A' && (classes & Case))
            form += U'a';
        else if (c == u'張' && (classes & Variant))
            form += U'张';
        else
            form += c;
    }
    return form;
}

unsigned referenceClasses(std::u16string_view key, std::u16string_view cell)
{
    unsigned classes = 0;
    for (unsigned c = 1; c & textCauses; c <<= 1) {
        if (referenceForm(key, textCauses & ~c) != referenceForm(cell, textCauses & ~c))
            classes |= c;
    }
    return classes;
}

// The TSV's lines without its header.
std::vector<std::string> tsvLines(const FilterRun &run, const Reconciliation &report)
{
    std::vector<std::string> lines;
    const std::string tsv = reportTsv(run, report);
    for (std::size_t begin = tsv.find('\n') + 1; begin < tsv.size();) {
        const std::size_t end = tsv.find('\n', begin);
        lines.push_back(tsv.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

} // namespace

TEST(Reconciliation, EachCauseAndItsCounterpart)
{
    const struct
    {
        std::u16string key;
        std::u16string row;
        std::string code; // empty: not near
    } cases[] = {
        {u"张三", u"张　三\t90", "spaces"},
        {u"张三", u" 张 三 \t90", "spaces"},
        {u"张三", u"张四\t90", "one-char"}, // a real character is never a space
        {u"张三", u"张\u200b三\t90", "invisible"},
        {u"张三", u"\ufeff张三\t90", "invisible"},
        {u"S2023017", u"ｓ２０２３０１７\t88", "width+case"},
        {u"s2023017", u"S2023017\t88", "case"},
        {u"张三", u"張三\t90", "variant"},
        {u"张㛟", u"张\U000217b5\t90", "variant"},
        {u"张三", u"90\t3班\t张三", "last-column"},
        {u"张三", u"90\t張 三", "spaces+variant+last-column"},
        {u"S2023017", u"学号S2023017\t88", "longer-value"},
        {u"S2023017", u"88\tS2023017号", "last-column+longer-value"},
        {u"202301", u"88\t2023017", "last-column+longer-value"},
        {u"20230", u"88\t202301", ""}, // five digits: in too many numbers
        {u"12", u"x12\t5", ""},
        {u"12", u"123\t5", ""},
        {u"张", u"张三\t5", ""},
        {u"张明玉", u"张江玉\t70", "one-char"},
        {u"张三玉", u"张\U00020000玉\t70", "one-char"},
        {u"张明玉", u"张明\t70", "one-char"},
        {u"张明玉", u"张明丰玉丰\t70", ""}, // neither an end nor one character off
        {u"张三", u"三张\t90", ""},
        {u"a\tb", u"ab\t1", ""}, // a key holding a TAB spans cells
    };
    for (const auto &c : cases) {
        const Items want = c.code.empty() ? Items{} : Items{"0:" + c.code};
        EXPECT_EQ(nearOf(c.key, c.row), want) << shown(c.key) << " and " << shown(c.row);
    }
}

TEST(Reconciliation, BestRowsFirstAndAtMostFive)
{
    EXPECT_EQ(
        nearOf(u"张三", u"张三丰\t1\r\n张 三\t2\r\n张四\t3\r\nx\t张三\r\n張三\t5\r\n学生张三\t6\r\n张三丰\t6\r\n张 三"),
        (Items{"1:spaces", "3:last-column", "4:variant", "7:spaces+last-column", "0:longer-value"}));
    // One character off is looked for only when nothing nearer is there.
    EXPECT_EQ(nearOf(u"张明玉", u"张江玉\t1\r\n张明玉同学\t2"), Items{"1:longer-value"});
    // A row once, with its best cell.
    EXPECT_EQ(nearOf(u"张明玉", u"张明玉同学\t張明玉\t1"), Items{"0:variant"});
}

TEST(Reconciliation, KeysLeftEmptyAndUnusedRows)
{
    FilterRun run(u"a1\r\nb2\r\nc3\r\n  \r\nb2",
                  u"a1\t1\r\nb2\t1\r\nb2\t2\r\nname\tscore\r\n \t \r\nc 3\t9\r\n\r\na1\t1");
    ASSERT_EQ(run.state(), FilterRun::State::AwaitingChoice);
    run.choose(0);
    run.ignore();
    run.choose(2);
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    const Reconciliation report = reconcile(run);
    ASSERT_EQ(report.missing.size(), 1u);
    EXPECT_EQ(report.missing[0].keyLine, 2u);
    ASSERT_EQ(report.leftEmpty.size(), 1u);
    EXPECT_EQ(report.leftEmpty[0].keyLine, 1u);
    EXPECT_EQ(report.leftEmpty[0].rows, (std::vector<std::size_t>{1, 2}));
    std::vector<std::pair<std::size_t, UnusedReason>> unused;
    for (const UnusedRow &u : report.unused)
        unused.emplace_back(u.row, u.reason);
    EXPECT_EQ(unused, (std::vector<std::pair<std::size_t, UnusedReason>>{{1, UnusedReason::Duplicate},
                                                                         {3, UnusedReason::NoKey},
                                                                         {5, UnusedReason::Near},
                                                                         {7, UnusedReason::Duplicate}}));

    // Reports only of finished runs.
    FilterRun awaiting(u"a\r\nb", u"a\t1\r\na\t2");
    EXPECT_TRUE(reconcile(awaiting).unused.empty());
}

TEST(Reconciliation, AdoptedRowCountsAsMatched)
{
    FilterRun run(u"张三\r\n李四", u"李四\t1\r\n张 三\t2");
    ASSERT_EQ(run.state(), FilterRun::State::Finished);
    const std::vector<std::pair<std::size_t, std::size_t>> safe = safeAdoptions(reconcile(run), run.fixlines());
    ASSERT_EQ(safe, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 1}}));
    run.adopt(0, 1);
    EXPECT_EQ(run.result(0), u"张 三\t2");
    EXPECT_EQ(run.resultItem(0), u"1.张 三\t2");
    EXPECT_EQ(run.resultText(), u"张 三\t2\r\n李四\t1");
    const Reconciliation report = reconcile(run);
    EXPECT_TRUE(report.missing.empty());
    EXPECT_TRUE(report.unused.empty());

    EXPECT_THROW(run.adopt(0, 0), std::logic_error); // the line has a row
    FilterRun other(u"x\r\ny", u"a\t1");
    EXPECT_THROW(other.adopt(0, 1), std::out_of_range); // no such row
    FilterRun awaiting(u"a\r\nb", u"a\t1\r\na\t2");
    EXPECT_THROW(awaiting.adopt(1, 0), std::logic_error);

    // Two rows of the same form, or a longer value alone: the user must look.
    FilterRun two(u"张三\r\n", u"张 三\t1\r\n張三\t2\r\n");
    EXPECT_TRUE(safeAdoptions(reconcile(two), two.fixlines()).empty());
    FilterRun longer(u"张三\r\n", u"张三丰\t1");
    EXPECT_TRUE(safeAdoptions(reconcile(longer), longer.fixlines()).empty());
}

TEST(Reconciliation, TsvEscapesAndKeepsItsOrder)
{
    FilterRun run(u"a\\1\r\nb2\r\nb2\r\nzz", u"b2\t1\r\nb2\t2\r\nx\t a\\1\r\nnote\tline\nbreak\rhere");
    run.ignore();
    run.ignore();
    EXPECT_EQ(reportTsv(run, reconcile(run)), "kind\tkey_line\trow\tcause\tkey\trow_text\n"
                                              "missing\t1\t3\tspaces+last-column\ta\\\\1\tx\\t a\\\\1\n"
                                              "left-empty\t2\t\t\tb2\t\n"
                                              "left-empty\t3\t\t\tb2\t\n"
                                              "missing\t4\t\t\tzz\t\n"
                                              "unused\t\t1\tduplicate\t\tb2\\t1\n"
                                              "unused\t\t2\tduplicate\t\tb2\\t2\n"
                                              "unused\t\t3\tnear\t\tx\\t a\\\\1\n"
                                              "unused\t\t4\t\t\tnote\\tline\\nbreak\\rhere\n");
}

TEST(Reconciliation, CausesAndInvisibleCharactersInWords)
{
    EXPECT_EQ(causeCode(Spaces | Variant | LastColumn), "spaces+variant+last-column");
    EXPECT_EQ(causeCode(Invisible | Width | Case | LongerValue | OneChar),
              "invisible+width+case+longer-value+one-char");
    EXPECT_EQ(causeWords(Width | LastColumn), u"全角/半角不同、在最后一列");
    EXPECT_EQ(causeWords(OneChar), u"相差一个字");
    EXPECT_EQ(visibleText(u"张 三\u3000\u00a0\u2009\u200b\t\U000E0001\r\n"),
              u"张〈空格〉三〈全角空格〉〈不换行空格〉〈U+2009〉〈U+200B〉\t〈U+E0001〉\r\n");
    // Brackets in the data are shown by their code: 〈空格〉 in a view always stands for a space.
    EXPECT_EQ(visibleText(u"〈空格〉⟨x⟩"), u"〈U+3008〉空格〈U+3009〉⟨x⟩");
    EXPECT_EQ(visibleLine(u"a\u0001〈\n"), u"a〈U+0001〉〈U+3008〉\u21B5");
    EXPECT_EQ(canonicalForm(u"張葉鐘ＡＢｃ\u00ad"), U"张叶钟abc");
}

// Random runs: every row is used, unused or blank once; the reasons follow the run; the near
// rows are those a scan of every unused cell finds.
TEST(Reconciliation, RandomRunsAgainstAPlainScan)
{
    const std::u16string alphabet[] = {u"a",      u"A",      u"ａ", u"b", u"张", u"張", u"三", u" ",
                                       u"\u3000", u"\u200b", u"1",  u"2", u"\t", u"\t", u"\t"};
    std::mt19937 rng(20240501);
    auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    auto text = [&](std::size_t maxLength) {
        std::u16string t;
        for (std::size_t i = below(maxLength + 1); i > 0; --i)
            t += alphabet[below(std::size(alphabet))];
        return t;
    };
    for (int round = 0; round < 400; ++round) {
        std::vector<std::u16string> rowList;
        for (std::size_t i = 1 + below(12); i > 0; --i)
            rowList.push_back(text(7));
        std::u16string keys;
        std::u16string rows;
        for (std::size_t i = 0; i < rowList.size(); ++i)
            rows += (i ? u"\r\n" : u"") + rowList[i];
        for (std::size_t i = 2 + below(8); i > 0; --i) {
            std::u16string key = below(2) ? text(4) : rowList[below(rowList.size())].substr(0, 1 + below(4));
            std::erase(key, u'\t');
            keys += key + u"\r\n";
        }
        FilterRun run(keys, rows);
        while (run.state() == FilterRun::State::AwaitingChoice) {
            if (below(3) == 0)
                run.ignore();
            else
                run.choose(run.candidateRows()[below(run.candidateRows().size())]);
        }
        const Reconciliation report = reconcile(run);
        const LineTable &table = run.datalines();
        const std::string at = "keys " + shown(keys) + ", rows " + shown(rows);

        std::vector<int> seen(table.size(), 0);
        std::set<std::size_t> used, confirmed, near;
        for (std::size_t i = 0; i < run.resultCount(); ++i) {
            if (run.resultRow(i))
                used.insert(*run.resultRow(i));
        }
        for (std::size_t r : used)
            ++seen[r];
        for (std::size_t r : run.everyConfirmedRow())
            confirmed.insert(r);
        for (std::size_t r = 0; r < table.size(); ++r)
            seen[r] += table[r].find_first_not_of(u" \t") == std::u16string_view::npos;
        for (const UnusedRow &u : report.unused)
            ++seen[u.row];
        EXPECT_EQ(seen, std::vector<int>(table.size(), 1)) << at;

        std::size_t m = 0;
        for (std::size_t i = 0; i < run.resultCount(); ++i) {
            const bool missing = !run.resultRow(i) && !isEmptyKey(run.fixlines()[i]) && run.confirmedRows(i).empty();
            if (!missing)
                continue;
            ASSERT_LT(m, report.missing.size()) << at;
            ASSERT_EQ(report.missing[m].keyLine, i) << at;
            // The scan: the best cell of every unused row by the rule, then the best rows.
            const std::u32string key = referenceForm(run.fixlines()[i], textCauses);
            const bool longEnough =
                key.size() >= (key.find_first_not_of(U"0123456789") == std::u32string::npos ? 6u : 2u);
            std::vector<std::tuple<int, std::size_t, unsigned>> want;
            for (const UnusedRow &u : report.unused) {
                std::tuple<int, std::size_t, unsigned> best{4, u.row, 0};
                std::size_t begin = 0;
                for (std::u16string_view row = table[u.row];;) {
                    const std::size_t tab = row.find(u'\t', begin);
                    const std::u16string_view cell = row.substr(begin, tab - begin);
                    const std::u32string form = referenceForm(cell, textCauses);
                    const unsigned last = tab == row.npos ? unsigned(LastColumn) : 0u;
                    std::size_t head = 0;
                    while (head < key.size() && head < form.size() && key[head] == form[head])
                        ++head;
                    std::size_t tail = 0;
                    while (tail < key.size() && tail < form.size()
                           && key[key.size() - 1 - tail] == form[form.size() - 1 - tail])
                        ++tail;
                    const std::size_t longer = std::max(key.size(), form.size());
                    const bool oneEdit =
                        head + tail + 1 >= longer && key.size() + 1 >= form.size() && form.size() + 1 >= key.size();
                    if (!key.empty() && form == key)
                        best = std::min(best, {1, u.row, referenceClasses(run.fixlines()[i], cell) | last});
                    else if (longEnough && form.size() > key.size() && (head == key.size() || tail == key.size()))
                        best = std::min(best, {2, u.row, LongerValue | last});
                    else if (longEnough && oneEdit)
                        best = std::min(best, {3, u.row, OneChar | last});
                    if (tab == row.npos)
                        break;
                    begin = tab + 1;
                }
                if (std::get<0>(best) < 4)
                    want.push_back(best);
            }
            std::sort(want.begin(), want.end());
            if (!want.empty() && std::get<0>(want.front()) < 3)
                std::erase_if(want, [](const auto &w) { return std::get<0>(w) == 3; });
            std::string got, wanted;
            for (const NearRow &n : report.missing[m].nearRows) {
                got += std::to_string(n.row) + ":" + causeCode(n.causes) + " ";
                near.insert(n.row);
            }
            for (std::size_t w = 0; w < std::min<std::size_t>(5, want.size()); ++w)
                wanted += std::to_string(std::get<1>(want[w])) + ":" + causeCode(std::get<2>(want[w])) + " ";
            EXPECT_EQ(got, wanted) << "key line " << i << ", " << at;
            ++m;
        }
        EXPECT_EQ(m, report.missing.size()) << at;
        for (const UnusedRow &u : report.unused) {
            const UnusedReason want = confirmed.count(u.row) ? UnusedReason::Duplicate
                                      : near.count(u.row)    ? UnusedReason::Near
                                                             : UnusedReason::NoKey;
            EXPECT_EQ(u.reason, want) << "row " << u.row << ", " << at;
        }
    }
}

// Pastes that once made the report grow with the product of their sizes. Each must give the
// report it should, one line per finding, with a near row's text cut beside its key.
TEST(Reconciliation, HostilePastesGiveBoundedReports)
{
    constexpr std::size_t n = 3000;
    const auto cjk = [](std::size_t i) { return std::u16string(1, char16_t(0x4E00 + i)); };
    const auto lines = [](const std::vector<std::u16string> &items, std::u16string_view separator) {
        std::u16string text;
        for (const std::u16string &item : items)
            text += (text.empty() ? u"" : std::u16string(separator)) + item;
        return text;
    };
    std::vector<std::u16string> oneOff, names, cellsOneOff, spacedKeys, manyKeys;
    for (std::size_t i = 0; i < n; ++i) {
        oneOff.push_back(u"abcd" + cjk(i));
        names.push_back(cjk(i / 60) + cjk(100 + i % 60));
        cellsOneOff.push_back(cjk(i / 60) + cjk(200 + i % 60));
        // The same name with spaces and zero-width spaces in n different places.
        spacedKeys.push_back(u"张三丰" + std::u16string(i % 7, u'\u200b') + std::u16string(i / 7 % 5, u' ')
                             + std::u16string(i / 35, u'\u3000'));
        // Appended piece by piece: at -O3 GCC 12 takes operator+ of a literal and a temporary
        // for an overlapping copy (-Wrestrict).
        std::u16string manyKey = u"k";
        manyKey += char16_t(u'a' + i % 26);
        manyKey += cjk(i);
        manyKeys.push_back(std::move(manyKey));
    }
    const std::u16string longCell = u"abcdefgh" + std::u16string(30000, u'z');
    const struct
    {
        const char *family;
        std::vector<std::u16string> keys;
        std::u16string rows;
        std::string code; // of every key's one near row; empty: none
    } cases[] = {
        {"one row of equal cells, keys one character off", oneOff,
         lines(std::vector<std::u16string>(n, u"abcdx"), u"\t"), "one-char"},
        {"names against a row of their one-character neighbours", names, lines(cellsOneOff, u"\t"), "one-char"},
        {"key lines near one long cell", std::vector<std::u16string>(n, u"abcdefgh"), u"x\t" + longCell + u"\ty",
         "longer-value"},
        {"keys near a cell of many zero-width spaces", spacedKeys,
         u"x\t张三丰" + std::u16string(20000, u'\u200b') + u"\ty", "*"},
        {"many keys and a one-line table", manyKeys, u"x\ty\tz", ""},
    };
    for (const auto &c : cases) {
        FilterRun run(lines(c.keys, u"\r\n"), c.rows);
        ASSERT_EQ(run.state(), FilterRun::State::Finished) << c.family;
        const Reconciliation report = reconcile(run);
        ASSERT_EQ(report.missing.size(), n) << c.family;
        ASSERT_EQ(report.unused.size(), 1u) << c.family;
        EXPECT_EQ(report.unused[0].reason, c.code.empty() ? UnusedReason::NoKey : UnusedReason::Near) << c.family;
        for (const MissingKey &key : report.missing) {
            const std::u16string_view text = run.fixlines()[key.keyLine];
            std::string want = c.code;
            if (want == "*") // spaces where the key has them; the cell's zero-width spaces always
                want = text.find_first_of(u" \u3000") != text.npos ? "spaces+invisible" : "invisible";
            ASSERT_EQ(key.nearRows.size(), want.empty() ? 0u : 1u) << c.family << ", key line " << key.keyLine;
            if (!want.empty()) {
                ASSERT_EQ(causeCode(key.nearRows[0].causes), want) << c.family << ", key line " << key.keyLine;
            }
        }
        // One line a finding: no key line copies the long row whole (200 characters of it, at
        // most three bytes each, beside a key of at most 90).
        const std::vector<std::string> tsv = tsvLines(run, report);
        EXPECT_EQ(tsv.size(), n + 1) << c.family;
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_LT(tsv[i].size(), 1000u) << c.family << ": " << tsv[i].substr(0, 80);
    }
}

TEST(Reconciliation, NearRowTextCutOnTheKeysLineAndWholeOnceAmongUnusedRows)
{
    const std::u16string cell = u"abcdefgh" + std::u16string(300, u'z');
    FilterRun run(u"abcdefgh\r\nq", u"x\t" + cell + u"\t1");
    const std::vector<std::string> lines = tsvLines(run, reconcile(run));
    ASSERT_EQ(lines.size(), 3u);
    // 200 characters: "x", the TAB as its two-character escape counts as one, 198 of the cell.
    EXPECT_EQ(lines[0], "missing\t1\t1\tlonger-value\tabcdefgh\tx\\tabcdefgh" + std::string(190, 'z') + "\xE2\x80\xA6");
    EXPECT_EQ(lines[2], "unused\t\t1\tnear\t\tx\\tabcdefgh" + std::string(300, 'z') + "\\t1");
    // Never half a surrogate pair.
    const std::u16string emoji = std::u16string(199, u'a') + u"\U0001F600b";
    EXPECT_EQ(nearRowExcerpt(emoji), std::u16string(199, u'a') + u"…");
    EXPECT_EQ(nearRowExcerpt(u"short"), u"short");
}

// A control character in a key or a row would break a line of the TSV in some reader.
TEST(Reconciliation, TsvEscapesEveryControlCharacter)
{
    const struct
    {
        std::u16string text;
        std::string escaped;
    } cases[] = {
        {u"a\\b", "a\\\\b"},
        {u"a\tb", "a\\tb"},
        {u"a\nb\rc", "a\\nb\\rc"},
        {std::u16string(u"a\0b", 3), "a\\u0000b"},
        {u"a\vb\fc\x1e"
         u"d",
         "a\\u000Bb\\u000Cc\\u001Ed"},
        {u"a\x7f"
         u"b",
         "a\\u007Fb"},
        {u"a\u0085b\u2028c\u2029d", "a\\u0085b\\u2028c\\u2029d"},
        {u"张\u00a0三\u200b", "张\xC2\xA0三\xE2\x80\x8B"}, // visible in the window, plain here
    };
    for (const auto &c : cases) {
        FilterRun run(u"x\r\ny", c.text);
        const std::vector<std::string> lines = tsvLines(run, reconcile(run));
        EXPECT_EQ(lines.back(), "unused\t\t1\t\t\t" + c.escaped) << shown(c.text);
        EXPECT_EQ(lines[0], "missing\t1\t\t\tx\t");
    }
}

// Each cause as a user meets it: a small run that gives it, the report's line for programs,
// its words, and the key line's result once 采用全部可靠行 has taken every reliable row. Rows
// near only by what the canonical form ignores, or in the last column, are taken; a guess never
// is. A suspect line keeps its row.
TEST(Reconciliation, EveryCauseInARunThatGivesIt)
{
    const RunOptions askAsUsual{};
    const RunOptions leaveEmpty{DuplicateRows::LeaveEmpty, {}};
    const RunOptions inColumn1{DuplicateRows::LeaveEmpty, KeyColumnChoice::inColumn(1)};
    const struct
    {
        const char *name;
        std::u16string keys;
        std::u16string rows;
        RunOptions options;
        std::string tsv;            // the first near row, or the first suspect line where none
        std::u16string words;       // of its causes
        std::u16string keyLineThen; // the key line's result after 采用全部可靠行
    } cases[] = {
        {"spaces", u"张三\r\n李四", u"李四\t80\r\n张 三\t90", askAsUsual, "missing\t1\t2\tspaces\t张三\t张 三\\t90",
         u"空格不同", u"张 三\t90"},
        {"invisible", u"张三\r\n李四", u"李四\t80\r\n张\u200b三\t90", askAsUsual,
         "missing\t1\t2\tinvisible\t张三\t张\u200b三\\t90", u"含不可见字符", u"张\u200b三\t90"},
        {"width", u"s2023017\r\n李四", u"李四\t80\r\nｓ2023017\t88", askAsUsual,
         "missing\t1\t2\twidth\ts2023017\tｓ2023017\\t88", u"全角/半角不同", u"ｓ2023017\t88"},
        {"case", u"s2023017\r\n李四", u"李四\t80\r\nS2023017\t88", askAsUsual,
         "missing\t1\t2\tcase\ts2023017\tS2023017\\t88", u"大小写不同", u"S2023017\t88"},
        {"variant", u"张三\r\n李四", u"李四\t80\r\n張三\t90", askAsUsual, "missing\t1\t2\tvariant\t张三\t張三\\t90",
         u"繁简不同", u"張三\t90"},
        {"last column", u"张三\r\n李四", u"李四\t80\r\n90\t张三", askAsUsual,
         "missing\t1\t2\tlast-column\t张三\t90\\t张三", u"在最后一列", u"90\t张三"},
        {"several at once", u"张三\r\n李四", u"李四\t80\r\n90\t張 三", askAsUsual,
         "missing\t1\t2\tspaces+variant+last-column\t张三\t90\\t張 三", u"空格不同、繁简不同、在最后一列",
         u"90\t張 三"},
        {"longer value", u"张三\r\n李四", u"李四\t80\r\n张三丰\t90", askAsUsual,
         "missing\t1\t2\tlonger-value\t张三\t张三丰\\t90", u"只出现在更长的内容里", u""},
        // Reliable and not: not.
        {"longer value in the last column", u"王小明\r\n李四", u"李四\t80\r\nx\t王小明同学", askAsUsual,
         "missing\t1\t2\tlast-column+longer-value\t王小明\tx\\t王小明同学", u"在最后一列、只出现在更长的内容里", u""},
        {"one character", u"张明玉\r\n李四", u"李四\t80\r\n张江玉\t70", askAsUsual,
         "missing\t1\t2\tone-char\t张明玉\t张江玉\\t70", u"相差一个字", u""},
        {"other column, of a near row", u"1\r\n3", u"1\tA\t1\tz\r\n2\tB\t3\tz", inColumn1,
         "missing\t2\t2\tother-column\t3\t2\\tB\\t3\\tz", u"只在其他列找到", u""},
        {"other column, of a suspect line", u"张三\r\n李四\r\n王五", u"张三\t90\r\n李四\t80\r\n1\t王五\t70", askAsUsual,
         "suspect\t3\t3\tother-column\t王五\t1\\t王五\\t70", u"只在其他列找到", u"1\t王五\t70"},
        {"shared row", u"张三\r\n李四\r\n张三", u"张三\t90\r\n李四\t80", askAsUsual,
         "suspect\t1\t1\tshared-row\t张三\t张三\\t90", u"与其他行共用一行数据", u"张三\t90"},
        // Of a line of several cells: a cell the sheet has no column for is no evidence against the
        // row; one that holds another value where the other lines' cells stand is.
        {"part of the key, alone", u"3\t王五\r\n1\t张三", u"王五\t70\r\n张三\t90", leaveEmpty,
         "missing\t1\t1\tpart-of-key\t3\\t王五\t王五\\t70", u"只有部分列相同", u"王五\t70"},
        {"part of the key, near two lines", u"3\t王五\r\n5\t王五", u"4\t王五\t70", leaveEmpty,
         "missing\t1\t1\tpart-of-key\t3\\t王五\t4\\t王五\\t70", u"只有部分列相同", u""},
        {"another value", u"3\t王五\r\n1\t张三", u"1\t张三\t90\r\n4\t王五\t70", leaveEmpty,
         "missing\t1\t2\tother-value\t3\\t王五\t4\\t王五\\t70", u"有的列不同", u""},
    };
    unsigned covered = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FilterRun run(c.keys, c.rows, c.options);
        ASSERT_EQ(run.state(), FilterRun::State::Finished);
        const Reconciliation report = reconcile(run);
        std::size_t keyLine = 0;
        unsigned causes = 0;
        if (!report.missing.empty() && !report.missing[0].nearRows.empty()) {
            keyLine = report.missing[0].keyLine;
            causes = report.missing[0].nearRows[0].causes;
        } else {
            ASSERT_FALSE(report.suspect.empty());
            keyLine = report.suspect[0].keyLine;
            causes = report.suspect[0].causes;
        }
        const std::vector<std::string> tsv = tsvLines(run, report);
        const auto finding = std::find_if(tsv.begin(), tsv.end(), [&](const std::string &line) {
            return line.starts_with(c.tsv.substr(0, c.tsv.find('\t') + 1));
        });
        ASSERT_NE(finding, tsv.end());
        EXPECT_EQ(*finding, c.tsv);
        EXPECT_EQ(causeWords(causes), c.words);
        for (const auto &[line, row] : safeAdoptions(report, run.fixlines()))
            run.adopt(line, row);
        EXPECT_EQ(run.result(keyLine), c.keyLineThen);
        covered |= causes;
    }
    // Every cause has its run above.
    EXPECT_EQ(covered, causeBit(CauseIndex::Count) - 1);
}

// The README says in words which near rows "采用全部可靠行" takes: the rule must be the engine's.
TEST(Reconciliation, ReadmeListsTheReliableCausesOfTheTable)
{
    // Native and absolute, the source tree's path also works under Wine (drive Z:).
    const auto path = std::filesystem::absolute(std::filesystem::path(LANSHAN_README).make_preferred());
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    // Its Chinese lines are wrapped anywhere: read as one.
    std::string readme;
    for (std::string line; std::getline(in, line);)
        readme += line;
    const std::string before = "“采用全部可靠行”一次采用所有";
    const std::string after = "，并说明采用了几行";
    const std::size_t begin = readme.find(before);
    ASSERT_NE(begin, std::string::npos) << "the sentence of 采用全部可靠行 in " << path;
    const std::size_t end = readme.find(after, begin);
    ASSERT_NE(end, std::string::npos) << "the end of that sentence in " << path;
    const std::string listed = readme.substr(begin + before.size(), end - begin - before.size());
    std::string fromEngine;
    appendUtf8(fromEngine, reliableRuleWords());
    EXPECT_EQ(listed, fromEngine) << "the README: " << listed << "\nthe engine: " << fromEngine;
    // Joined as a sentence reads them, the last by 或; every reliable cause named.
    std::string causes;
    appendUtf8(causes, reliableCauseWords());
    EXPECT_EQ(causes, "空格不同、含不可见字符、全角/半角不同、大小写不同、繁简不同、在最后一列或只有部分列相同");
    EXPECT_NE(fromEngine.find(causes), std::string::npos);
}
