// Randomized differential test: the engine (line tables, key rule, hash-indexed matcher,
// filter run) against the literal transcription of the filter's rules in literalscan.h,
// which scans all data rows for every key line exactly as the documented rules say.
//
// The texts come from small alphabets so that the corner cases meet often: spaces, TABs,
// lone CR and lone LF, CR LF pairs, digits, ".", letters in both cases, a CJK character, and
// sometimes U+3000 (an ordinary character, never a space) or units whose bytes are those of
// CR and LF (U+0D0A, U+0A0D). Keys are taken from the rows' columns, parts of columns, row
// numbers, TAB-holding texts, texts with extra spaces, and empty or all-space lines. Every
// seed is fixed, so a failure repeats; the failing case is printed as C++ string literals.

#include "filterrun.h"
#include "itemtext.h"
#include "keyrule.h"
#include "linetable.h"
#include "literalscan.h"
#include "matcher.h"
#include "runcomparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace lit = lanshan::literal;
using lanshan::FilterRun;
using lanshan::LineTable;
using lanshan::Matcher;
using Lines = lit::Lines;
using lit::linesOf;
using lit::Mismatches;
using lit::Positions;
using lit::positionsOf;
using lit::shown;

const char16_t cjk = u'\u5f20';              // 张
const char16_t ideographicSpace = u'\u3000'; // an ordinary character for the filter
// Units whose two bytes are those of CR and LF: text must be cut by whole units, not bytes.
const char16_t crLfBytes[] = {u'\u0d0a', u'\u0a0d'};

// ---------------------------------------------------------------------------------------
// Cases.

struct Case
{
    std::uint32_t seed = 0;
    std::size_t index = 0;
    std::u16string text1;                  // the fixed-order keys
    std::u16string text2;                  // the data rows
    std::vector<std::u16string> extraKeys; // more keys for the key rule alone, not in text1
};

std::string describe(const Case &c)
{
    std::string out = "case " + std::to_string(c.index) + " of seed " + std::to_string(c.seed) + "\n";
    out += "    text1 = " + shown(c.text1) + "\n";
    out += "    text2 = " + shown(c.text2) + "\n";
    if (!c.extraKeys.empty()) {
        out += "    extra keys = {";
        for (std::size_t i = 0; i < c.extraKeys.size(); ++i)
            out += (i ? ", " : "") + shown(c.extraKeys[i]);
        out += "}\n";
    }
    return out;
}

Lines cutAtTabs(std::u16string_view row)
{
    Lines cells(1);
    for (char16_t c : row) {
        if (c == u'\t')
            cells.emplace_back();
        else
            cells.back() += c;
    }
    return cells;
}

std::u16string joined(const Lines &parts, std::u16string_view separator)
{
    std::u16string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += separator;
        out += parts[i];
    }
    return out;
}

std::u16string wideNumber(std::size_t value)
{
    std::u16string text;
    for (char c : std::to_string(value))
        text += static_cast<char16_t>(c);
    return text;
}

class CaseMaker
{
public:
    CaseMaker(std::uint32_t seed, std::size_t maxKeys, std::size_t maxRows)
        : m_seed(seed)
        , m_rng(seed)
        , m_maxKeys(maxKeys)
        , m_maxRows(maxRows)
    { }

    Case next(std::size_t index)
    {
        Case c;
        c.seed = m_seed;
        c.index = index;
        m_ideographic = percent(30);
        m_byteLookalikes = percent(15);
        c.text2 = dataText();
        // Keys are drawn from the rows as the data text really splits.
        const Lines rows = lit::splitLines(c.text2);
        std::vector<Lines> cells;
        for (const std::u16string &row : rows)
            cells.push_back(cutAtTabs(row));
        c.text1 = keyText(rows, cells);
        for (int i = 0; i < 3; ++i)
            c.extraKeys.push_back(key(rows, cells));
        return c;
    }

    std::mt19937 &rng() { return m_rng; }

private:
    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng); }
    bool percent(std::size_t p) { return below(100) < p; }

    // Fewer than two lines now and then: the run must refuse such keys.
    std::size_t lineCount(std::size_t maxLines) { return percent(8) ? below(2) : 2 + below(maxLines - 1); }

    char16_t cellChar()
    {
        static const char16_t common[] = {u'a', u'a', u'A', u'b', u'1', u'1', u'2', u'.'};
        switch (below(25)) {
        case 0: return u' ';
        case 1: return u'\r';
        case 2: return u'\n';
        case 3: return cjk;
        case 4: return m_ideographic ? ideographicSpace : u'b';
        case 5: return static_cast<char16_t>(u'0' + below(10));
        case 6: return u'3';
        case 7: return m_byteLookalikes ? crLfBytes[below(2)] : u'a';
        default: return common[below(sizeof common / sizeof common[0])];
        }
    }

    std::u16string cell()
    {
        static const std::size_t lengths[] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 4};
        std::u16string text;
        if (percent(6)) {
            // Looks like a row number's piece ("x3.", "3 .", "3."): confirmed, if at all, only
            // through the row number of the entry.
            if (percent(50))
                text += cellChar();
            text += wideNumber(1 + below(m_maxRows + 1));
            if (percent(30))
                text += u' ';
            return text + u".";
        }
        const std::size_t length = lengths[below(10)];
        for (std::size_t i = 0; i < length; ++i)
            text += cellChar();
        if (percent(10))
            text.insert(text.begin(), u' ');
        if (percent(10))
            text += u' ';
        return text;
    }

    std::u16string row()
    {
        if (percent(4))
            return u"";
        if (percent(3))
            return std::u16string(1 + below(3), u' ');
        Lines cells;
        const std::size_t columns = 1 + below(4);
        for (std::size_t i = 0; i < columns; ++i)
            cells.push_back(cell());
        return joined(cells, u"\t");
    }

    // Any mix of the alphabet, TABs and CR LF pairs.
    std::u16string chaos()
    {
        std::u16string text;
        const std::size_t length = below(40);
        for (std::size_t i = 0; i < length; ++i) {
            const std::size_t pick = below(100);
            if (pick < 15)
                text += u'\t';
            else if (pick < 25)
                text += u"\r\n";
            else if (pick < 30)
                text += u' ';
            else
                text += cellChar();
        }
        return text;
    }

    // Spaces around the whole text and a final CR LF, sometimes.
    std::u16string framed(std::u16string text)
    {
        if (percent(15))
            text += u"\r\n";
        if (percent(20))
            text.insert(0, 1 + below(3), u' ');
        if (percent(20))
            text.append(1 + below(3), u' ');
        return text;
    }

    std::u16string dataText()
    {
        if (percent(8))
            return framed(chaos());
        Lines rows;
        const std::size_t count = lineCount(m_maxRows);
        for (std::size_t r = 0; r < count; ++r) {
            if (!rows.empty() && percent(12)) {
                rows.push_back(rows[below(rows.size())]); // an identical row
            } else if (!rows.empty() && percent(15)) {
                Lines cells = cutAtTabs(rows[below(rows.size())]); // the same key, other values
                cells[below(cells.size())] = cell();
                if (percent(50))
                    cells.push_back(cell());
                rows.push_back(joined(cells, u"\t"));
            } else if (percent(8)) {
                // Its own row number in its first column, as in numbered pasted data, but as
                // the tail of a longer value or with a space: "x3.", "3 .".
                Lines cells = cutAtTabs(row());
                cells[0] =
                    (percent(50) ? std::u16string(1, cellChar()) + wideNumber(r + 1) : wideNumber(r + 1) + u" ") + u".";
                if (cells.size() < 2)
                    cells.push_back(cell());
                rows.push_back(joined(cells, u"\t"));
            } else {
                rows.push_back(row());
            }
        }
        return framed(joined(rows, u"\r\n"));
    }

    const std::u16string &someColumn(const std::vector<Lines> &cells)
    {
        const Lines &row = cells[below(cells.size())];
        return row[below(row.size())];
    }

    std::u16string key(const Lines &rows, const std::vector<Lines> &cells)
    {
        const bool haveRows = !rows.empty();
        const std::size_t kind = below(100);
        if (haveRows && kind < 30)
            return someColumn(cells);
        if (haveRows && kind < 40) {
            // A part of a column: its tail, head or middle.
            const std::u16string &column = someColumn(cells);
            const std::size_t start = below(column.size() + 1);
            return column.substr(start, below(column.size() - start + 1));
        }
        if (kind < 52) {
            const std::u16string number = wideNumber(1 + below(std::max<std::size_t>(rows.size(), 3) + 1));
            switch (below(9)) {
            case 0: return u"0" + number + u".";
            case 1: return number;
            case 2: return u" " + number + u".";
            case 3: return number + u". ";
            case 4: return number + u".\t";
            case 5: return below(2) ? u"0." : u".";
            default: return number + u".";
            }
        }
        if (kind < 60) {
            // Keys holding a TAB.
            switch (haveRows ? below(7) : 0) {
            case 0: return u"\t";
            case 1: return someColumn(cells) + u"\t";
            case 2: return u"\t" + someColumn(cells);
            case 3: return rows[below(rows.size())];
            case 4: {
                // Some cells of a row in another order, as a list of several columns holds them.
                Lines picked = cells[below(cells.size())];
                std::shuffle(picked.begin(), picked.end(), m_rng);
                picked.resize(1 + below(picked.size()));
                if (picked.size() < 2)
                    picked.push_back(percent(50) ? picked[0] : someColumn(cells));
                return joined(picked, u"\t");
            }
            case 5: {
                // A cell twice, or beside a cell of another row.
                const std::u16string &one = someColumn(cells);
                return one + u"\t" + (percent(50) ? one : someColumn(cells));
            }
            default: {
                const Lines &row = cells[below(cells.size())];
                if (row.size() < 2)
                    return row[0] + u"\t";
                const std::size_t at = below(row.size() - 1);
                return row[at] + u"\t" + row[at + 1];
            }
            }
        }
        if (kind < 70) {
            // Spaces inside, around or taken out.
            std::u16string text = haveRows ? someColumn(cells) : cell();
            switch (below(4)) {
            case 0: text.insert(below(text.size() + 1), 1, u' '); break;
            case 1: text = u" " + text; break;
            case 2: text += u"  "; break;
            default: std::erase(text, u' '); break;
            }
            return text;
        }
        if (kind < 77)
            return std::u16string(below(4), u' ');
        if (kind < 80) {
            std::u16string text(1, ideographicSpace);
            if (haveRows && percent(50))
                text = percent(50) ? someColumn(cells) + text : text + someColumn(cells);
            return text;
        }
        return cell();
    }

    std::u16string keyText(const Lines &rows, const std::vector<Lines> &cells)
    {
        std::u16string text;
        const std::size_t count = lineCount(m_maxKeys);
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) {
                const std::size_t pick = below(100);
                text += pick < 94 ? u"\r\n" : pick < 97 ? u"\n" : u"\r";
            }
            text += key(rows, cells);
        }
        return framed(text);
    }

    std::uint32_t m_seed;
    std::mt19937 m_rng;
    std::size_t m_maxKeys;
    std::size_t m_maxRows;
    bool m_ideographic = false;
    bool m_byteLookalikes = false;
};

// ---------------------------------------------------------------------------------------
// Settling questionable lines.

enum class Strategy { First, Last, Ignore, Random };

const char *strategyName(Strategy strategy)
{
    switch (strategy) {
    case Strategy::First: return "always the first row";
    case Strategy::Last: return "always the last row";
    case Strategy::Ignore: return "always leave empty";
    case Strategy::Random: return "seeded random choice";
    }
    return "?";
}

lit::Settle settleWith(Strategy strategy, std::minstd_rand &rng)
{
    return [strategy, &rng](const lit::Stop &stop) -> std::optional<std::size_t> {
        switch (strategy) {
        case Strategy::First: return 0;
        case Strategy::Last: return stop.list4.size() - 1;
        case Strategy::Ignore: return std::nullopt;
        case Strategy::Random:
            if (std::uniform_int_distribution<int>(0, 3)(rng) == 0)
                return std::nullopt;
            return std::uniform_int_distribution<std::size_t>(0, stop.list4.size() - 1)(rng);
        }
        return std::nullopt;
    };
}

// ---------------------------------------------------------------------------------------
// The comparisons.

struct Tally
{
    std::size_t cases = 0;
    std::size_t tooFewLines = 0;
    std::size_t questionableLines = 0;
    std::size_t choicesTaken = 0;
    std::size_t linesLeftEmpty = 0;
    std::size_t warnings = 0;
    std::size_t confirmedPairs = 0;
    std::size_t unconfirmedCandidates = 0;
    std::size_t confirmedByRowNumberOnly = 0;
    std::size_t confirmedWithSpacedKey = 0;
    std::size_t tabKeyCandidates = 0;
    std::size_t emptyKeys = 0;
    std::size_t loneCrOrLfLines = 0;
};

void compareTable(Mismatches &m, const std::string &what, const LineTable &table, const Lines &want,
                  const std::u16string &text)
{
    m.check([&] { return what + " lines"; }, linesOf(table), want);
    m.check([&] { return what + " count"; }, table.size(), want.size());
    m.check([&] { return what + " last position + 1"; }, static_cast<std::size_t>(table.lastPosition() + 1),
            want.size());
    m.check([&] { return what + " kept text"; }, table.text(), text);
}

// The key rule on one key and one row at a position of the data table.
void comparePair(Mismatches &m, Tally &tally, std::u16string_view key, std::u16string_view row, std::size_t pos)
{
    const auto at = [&] { return "key " + shown(key) + ", row " + std::to_string(pos) + " " + shown(row) + ": "; };
    const bool candidate = lit::isCandidate(key, row);
    const std::u16string entry = lit::candidateEntry(pos, row);
    const bool confirmed = lit::isConfirmed(key, entry);
    m.check([&] { return at() + "isCandidate"; }, lanshan::isCandidate(key, row), candidate);
    m.check([&] { return at() + "candidateEntry"; }, lanshan::candidateEntry(pos, row), entry);
    m.check([&] { return at() + "positionItem"; }, lanshan::positionItem(pos), lit::positionItem(pos));
    m.check([&] { return at() + "isConfirmed"; }, lanshan::isConfirmed(key, entry), confirmed);
    m.check([&] { return at() + "belongsTo"; }, lanshan::belongsTo(key, row, pos), candidate && confirmed);

    if (candidate && confirmed) {
        ++tally.confirmedPairs;
        if (!lit::isConfirmed(key, row))
            ++tally.confirmedByRowNumberOnly;
        if (key.find(u' ') != std::u16string_view::npos)
            ++tally.confirmedWithSpacedKey;
    }
    if (candidate && !confirmed)
        ++tally.unconfirmedCandidates;
    if (candidate && key.find(u'\t') != std::u16string_view::npos)
        ++tally.tabKeyCandidates;
}

void compareRun(Mismatches &m, Tally &tally, const Case &c, Strategy strategy)
{
    // Seeded from the case, so that the choices repeat with it.
    std::minstd_rand choices(c.seed ^ static_cast<std::uint32_t>(c.index * 2654435761u));
    const lit::Assembly want = lit::run(c.text1, c.text2, settleWith(strategy, choices));
    const std::string at = std::string("run settled by ") + strategyName(strategy) + ": ";
    const lit::RunCounts counts = lit::compareRun(m, c.text1, c.text2, want, at);
    tally.tooFewLines += counts.tooFewLines ? 1 : 0;
    tally.questionableLines += counts.questionableLines;
    tally.choicesTaken += counts.choicesTaken;
    tally.linesLeftEmpty += counts.linesLeftEmpty;
    tally.warnings += counts.warned ? 1 : 0;
    if (!m.empty()) {
        std::string taken;
        for (const lit::Stop &stop : want.stops) {
            taken += (taken.empty() ? "" : ", ") + std::string("key line ") + std::to_string(stop.pickpos) + " -> ";
            taken += stop.selected ? "List4 item " + std::to_string(*stop.selected) : std::string("left empty");
        }
        m.add(at + "choices", "(replayed)", "{" + taken + "}");
    }
}

Mismatches compareCase(const Case &c, Tally &tally, std::mt19937 &sampler, std::size_t pairBudget)
{
    Mismatches m;
    ++tally.cases;
    try {
        const Lines fix = lit::splitLines(c.text1);
        const Lines data = lit::splitLines(c.text2);
        const LineTable keys(c.text1);
        const LineTable rows(c.text2);
        compareTable(m, "line table of text1", keys, fix, c.text1);
        compareTable(m, "line table of text2", rows, data, c.text2);
        if (!m.empty())
            return m; // everything below reads the tables
        for (const std::u16string &line : data) {
            if (line.find_first_of(u"\r\n") != std::u16string::npos)
                ++tally.loneCrOrLfLines;
        }

        // The matcher's confirmed rows for every key line.
        const Matcher matcher(keys, rows);
        for (std::size_t i = 0; i < fix.size(); ++i) {
            m.check([&] { return "confirmedRows(" + std::to_string(i) + ") for key " + shown(fix[i]); },
                    positionsOf(matcher.confirmedRows(i)), lit::confirmedRows(fix[i], data));
        }

        // The key rule on key and row pairs: all of them while few, else a sample.
        Lines allKeys = fix;
        allKeys.insert(allKeys.end(), c.extraKeys.begin(), c.extraKeys.end());
        for (const std::u16string &key : allKeys) {
            m.check([&] { return "isEmptyKey(" + shown(key) + ")"; }, lanshan::isEmptyKey(key), lit::isEmptyKey(key));
            if (lit::isEmptyKey(key))
                ++tally.emptyKeys;
        }
        if (!data.empty() && allKeys.size() * data.size() <= pairBudget) {
            for (const std::u16string &key : allKeys) {
                for (std::size_t j = 0; j < data.size(); ++j)
                    comparePair(m, tally, key, data[j], j);
            }
        } else if (!data.empty()) {
            for (std::size_t s = 0; s < pairBudget; ++s) {
                const std::size_t i = std::uniform_int_distribution<std::size_t>(0, allKeys.size() - 1)(sampler);
                const std::size_t j = std::uniform_int_distribution<std::size_t>(0, data.size() - 1)(sampler);
                comparePair(m, tally, allKeys[i], data[j], j);
            }
        }
        if (!m.empty())
            return m;

        // Full runs. Which lines are questionable does not depend on the choices, so a second
        // strategy only adds something when the first one met such a line; the second one
        // takes turns from case to case.
        const std::size_t before = tally.questionableLines;
        compareRun(m, tally, c, Strategy::First);
        if (m.empty() && tally.questionableLines > before) {
            static const Strategy others[] = {Strategy::Last, Strategy::Ignore, Strategy::Random};
            compareRun(m, tally, c, others[c.index % 3]);
        }
    } catch (const std::exception &e) {
        m.add("exception", std::string("throws ") + e.what(), "expects none");
    }
    return m;
}

// Runs the cases of the given seeds; reports at most a few failing cases in full.
Tally runCases(std::initializer_list<std::uint32_t> seeds, std::size_t casesPerSeed, std::size_t maxKeys,
               std::size_t maxRows, std::size_t pairBudget)
{
    Tally tally;
    std::size_t failures = 0;
    for (std::uint32_t seed : seeds) {
        CaseMaker maker(seed, maxKeys, maxRows);
        std::mt19937 sampler(seed + 1);
        for (std::size_t i = 0; i < casesPerSeed && failures < 5; ++i) {
            const Case c = maker.next(i);
            const Mismatches m = compareCase(c, tally, sampler, pairBudget);
            if (!m.empty()) {
                ++failures;
                ADD_FAILURE() << "The engine differs from the literal scan in " << describe(c) << m.text();
            }
        }
    }
    return tally;
}

std::string tallyText(const Tally &t)
{
    return "cases " + std::to_string(t.cases) + ", too few lines " + std::to_string(t.tooFewLines)
           + ", questionable lines " + std::to_string(t.questionableLines) + " (rows taken "
           + std::to_string(t.choicesTaken) + ", left empty " + std::to_string(t.linesLeftEmpty) + "), warnings "
           + std::to_string(t.warnings) + ", confirmed pairs " + std::to_string(t.confirmedPairs)
           + " (by row number only " + std::to_string(t.confirmedByRowNumberOnly) + ", spaced keys "
           + std::to_string(t.confirmedWithSpacedKey) + "), unconfirmed candidates "
           + std::to_string(t.unconfirmedCandidates) + ", TAB-key candidates " + std::to_string(t.tabKeyCandidates)
           + ", empty keys " + std::to_string(t.emptyKeys) + ", data lines with lone CR/LF "
           + std::to_string(t.loneCrOrLfLines);
}

// The random cases must really reach the corners, or an agreement would prove little.
void expectCoverage(const Tally &t, std::size_t scale)
{
    EXPECT_GE(t.tooFewLines, scale) << tallyText(t);
    EXPECT_GE(t.questionableLines, 10 * scale) << tallyText(t);
    EXPECT_GE(t.choicesTaken, 5 * scale) << tallyText(t);
    EXPECT_GE(t.linesLeftEmpty, 5 * scale) << tallyText(t);
    EXPECT_GE(t.warnings, scale) << tallyText(t);
    EXPECT_GE(t.confirmedPairs, 10 * scale) << tallyText(t);
    EXPECT_GE(t.confirmedByRowNumberOnly, scale) << tallyText(t);
    EXPECT_GE(t.confirmedWithSpacedKey, scale) << tallyText(t);
    EXPECT_GE(t.unconfirmedCandidates, 10 * scale) << tallyText(t);
    EXPECT_GE(t.tabKeyCandidates, scale) << tallyText(t);
    EXPECT_GE(t.emptyKeys, scale) << tallyText(t);
    EXPECT_GE(t.loneCrOrLfLines, scale) << tallyText(t);
}

} // namespace

// The literal transcription itself, on the documented examples: if it strayed from the
// documented behaviour, agreement with it would mean nothing.
TEST(EngineDifferential, LiteralScanFollowsTheDocumentedExamples)
{
    EXPECT_EQ(lit::splitLines(u""), Lines{});
    EXPECT_EQ(lit::splitLines(u"   "), Lines{});
    EXPECT_EQ(lit::splitLines(u"a1"), (Lines{u"a1"}));
    EXPECT_EQ(lit::splitLines(u"a1\r\n"), (Lines{u"a1", u""}));
    EXPECT_EQ(lit::splitLines(u"  a1\r\nb2  "), (Lines{u"a1", u"b2"}));
    EXPECT_EQ(lit::splitLines(u"a1  \r\n  b2"), (Lines{u"a1  ", u"  b2"}));
    EXPECT_EQ(lit::splitLines(u"a1\nb2"), (Lines{u"a1\nb2"}));
    EXPECT_EQ(lit::splitLines(u"a1\rb2\r\r\n\n"), (Lines{u"a1\rb2\r", u"\n"}));
    EXPECT_EQ(lit::splitLines(u"\r\n\r\n"), (Lines{u"", u"", u""}));
    EXPECT_EQ(lit::splitLines(u"a1\t"), (Lines{u"a1\t"}));
    EXPECT_EQ(lit::splitLines(u"\u3000a1\u3000"), (Lines{u"\u3000a1\u3000"}));

    EXPECT_TRUE(lit::isEmptyKey(u""));
    EXPECT_TRUE(lit::isEmptyKey(u"   "));
    EXPECT_FALSE(lit::isEmptyKey(u"\t"));
    EXPECT_FALSE(lit::isEmptyKey(u"\u3000"));

    const auto belongs = [](std::u16string_view key, std::u16string_view row, std::size_t pos) {
        return lit::isCandidate(key, row) && lit::isConfirmed(key, lit::candidateEntry(pos, row));
    };
    EXPECT_TRUE(lit::isCandidate(u"a1", u"a1\t90"));
    EXPECT_TRUE(belongs(u"a1", u"a1\t90", 0));
    EXPECT_TRUE(lit::isCandidate(u"a1", u"xa1\t90"));
    EXPECT_FALSE(belongs(u"a1", u"xa1\t90", 0));
    EXPECT_FALSE(lit::isCandidate(u"a1", u"90\ta1"));
    EXPECT_FALSE(lit::isCandidate(u"a1", u"A1\t90"));
    EXPECT_TRUE(lit::isCandidate(u"a1", u"a 1\t90"));
    EXPECT_FALSE(belongs(u"a1", u"a 1\t90", 0));
    EXPECT_TRUE(lit::isCandidate(u"a 1", u"a1\t90"));
    EXPECT_FALSE(belongs(u"a 1", u"a1\t90", 0));
    EXPECT_TRUE(belongs(u"a 1", u"a 1\t90", 0));
    EXPECT_FALSE(belongs(u"a1 ", u"a1\t90", 0));
    EXPECT_FALSE(lit::isCandidate(u"a1", u"a1\u3000\t90"));
    EXPECT_TRUE(belongs(u"3.", u"x3.\t90", 2));
    EXPECT_FALSE(belongs(u"3.", u"x3.\t90", 1));
    EXPECT_TRUE(belongs(u"3.", u"3 .\t90", 2));
    EXPECT_FALSE(belongs(u"3.", u"x\t90", 2));
    EXPECT_EQ(lit::candidateEntry(2, u"a1\t90"), u"3.\ta1\t90");
    EXPECT_EQ(lit::candidateEntry(11, u""), u"12.\t");
    EXPECT_EQ(lit::confirmedRows(u"a1", {u"xa1\t80", u"a1\t90", u"b\ta1", u"a1\t91"}), (Positions{1, 3}));
    EXPECT_EQ(lit::confirmedRows(u"  ", {u"  \t1"}), Positions{});

    const lit::Settle neverAsked = [](const lit::Stop &) -> std::optional<std::size_t> {
        ADD_FAILURE() << "no line of this run is questionable";
        return std::nullopt;
    };
    lit::Assembly a = lit::run(u"a1", u"a1\t90", neverAsked);
    EXPECT_TRUE(a.tooFewLines);
    EXPECT_TRUE(a.resultlines.empty());
    EXPECT_TRUE(a.list1.empty());
    EXPECT_TRUE(a.list2.empty());

    a = lit::run(u"a1\r\n", u"a1\t90", neverAsked);
    EXPECT_FALSE(a.tooFewLines);
    EXPECT_EQ(a.text3, u"a1\t90\r\n");
    EXPECT_EQ(a.list2, (Lines{u"1.a1\t90", u"2."}));

    a = lit::run(u"a1\r\nb2\r\nc3", u"c3\t70\r\na1\t90", neverAsked);
    EXPECT_EQ(a.text3, u"a1\t90\r\n\r\nc3\t70");
    EXPECT_EQ(a.list1, (Lines{u"1.a1", u"2.b2", u"3.c3"}));
    EXPECT_FALSE(lit::warns(u"a1\r\nb2\r\nc3", u"c3\t70\r\na1\t90", a));

    a = lit::run(u"a1\r\nb", u"xa1\t80\r\na1\t90", neverAsked);
    EXPECT_EQ(a.resultlines, (Lines{u"a1\t90", u""}));

    a = lit::run(u"a1\r\nb2", u"", neverAsked);
    EXPECT_EQ(a.text3, u"\r\n");
    EXPECT_TRUE(lit::warns(u"a1\r\nb2", u"", a));
    a = lit::run(u"a1\r\nb2", u"   ", neverAsked);
    EXPECT_FALSE(lit::warns(u"a1\r\nb2", u"   ", a));

    // Rows a1 TAB 90 at row 2 and a1 TAB 91 at row 5 for the key a1 at entry 1.
    std::vector<lit::Stop> seen;
    const lit::Settle takeSecond = [&seen](const lit::Stop &stop) -> std::optional<std::size_t> {
        seen.push_back(stop);
        return 1;
    };
    a = lit::run(u"a1\r\nb2", u"x\r\na1\t90\r\ny\r\nz\r\na1\t91", takeSecond);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].pickpos, 0u);
    EXPECT_EQ(seen[0].list3, (Lines{u"[*]1.a1", u"   2.b2"}));
    EXPECT_EQ(seen[0].list4, (Lines{u"2.\ta1\t90", u"5.\ta1\t91"}));
    EXPECT_EQ(seen[0].list5, (Lines{u"1", u"4"}));
    EXPECT_EQ(a.resultlines[0], u"a1\t91");
    EXPECT_EQ(a.list2[0], u"1.a1\t91");
    ASSERT_EQ(a.stops.size(), 1u);
    EXPECT_EQ(a.stops[0].selected, std::optional<std::size_t>(1));

    const lit::Settle leaveEmpty = [](const lit::Stop &) -> std::optional<std::size_t> { return std::nullopt; };
    a = lit::run(u"b2\r\na1\r\na1", u"a1\t90\r\na1\t91\r\nb2\tx", leaveEmpty);
    ASSERT_EQ(a.stops.size(), 2u);
    EXPECT_EQ(a.stops[1].pickpos, 2u);
    EXPECT_EQ(a.stops[1].list1, (Lines{u"1.b2", u"2.a1"}));
    EXPECT_EQ(a.stops[1].list2, (Lines{u"1.b2\tx", u"2."}));
    EXPECT_EQ(a.text3, u"b2\tx\r\n\r\n");
}

// Many small tables: every pair of key and row is checked, and every run in full.
TEST(EngineDifferential, SmallTablesAgreeWithTheLiteralScan)
{
    const Tally tally = runCases({20240601u, 7u, 31337u, 4242424242u}, 26000, 6, 6, 12);
    EXPECT_EQ(tally.cases, 104000u);
    expectCoverage(tally, 100);
    std::printf("[          ] %s\n", tallyText(tally).c_str());
}

// Fewer, larger tables: two-digit row numbers, many distinct keys in the matcher's index.
TEST(EngineDifferential, LargerTablesAgreeWithTheLiteralScan)
{
    const Tally tally = runCases({99u, 2025u}, 1000, 40, 40, 200);
    EXPECT_EQ(tally.cases, 2000u);
    expectCoverage(tally, 10);
    std::printf("[          ] %s\n", tallyText(tally).c_str());
}

// Long data tables (up to a few hundred rows, three-digit row numbers) against a few keys, so
// that the matcher's work is split over several blocks of rows.
TEST(EngineDifferential, LongDataTablesAgreeWithTheLiteralScan)
{
    const Tally tally = runCases({5u, 77777u}, 150, 24, 300, 200);
    EXPECT_EQ(tally.cases, 300u);
    expectCoverage(tally, 2);
    std::printf("[          ] %s\n", tallyText(tally).c_str());
}
