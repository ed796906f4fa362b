// The traditional-to-simplified folding of the canonical form against OpenCC's character tables,
// read here from opencc_dict's text dumps on their own, not through the table generator.

#include "canonicalform.h"
#include "unicodetables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

using namespace lanshan;

namespace {

void append(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

std::u16string utf16(const std::string &utf8)
{
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i++]);
        const int more = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 0; k < more && i < utf8.size(); ++k)
            c = c << 6 | (static_cast<unsigned char>(utf8[i++]) & 0x3F);
        append(out, c);
    }
    return out;
}

std::u16string utf16(const std::u32string &text)
{
    std::u16string out;
    for (char32_t c : text)
        append(out, c);
    return out;
}

using Pair = std::pair<std::string, std::string>; // traditional, simplified; UTF-8

// The pairs of a dump, "key TAB candidate candidate ...": TSCharacters gives (key, its first
// candidate), STCharacters (each candidate, key). A pair of one character with itself is left out.
std::vector<Pair> openccPairs(const std::string &table)
{
    // Native and absolute, the build tree's path also works under Wine (drive Z:).
    const auto path =
        std::filesystem::absolute(std::filesystem::path(LANSHAN_OPENCC_TEXT_DIR).make_preferred()) / (table + ".txt");
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::vector<Pair> pairs;
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        const std::string key = line.substr(0, tab);
        for (std::size_t start = tab + 1, end; start <= line.size(); start = end + 1) {
            end = std::min(line.find(' ', start), line.size());
            const std::string candidate = line.substr(start, end - start);
            if (!candidate.empty() && candidate != key)
                pairs.push_back(table == "TSCharacters" ? Pair(key, candidate) : Pair(candidate, key));
            if (table == "TSCharacters")
                break;
        }
    }
    return pairs;
}

// The share of pairs whose two characters have one canonical form, printed with those that do not.
double coverage(const std::string &table)
{
    const std::vector<Pair> pairs = openccPairs(table);
    EXPECT_GT(pairs.size(), 3000u) << table;
    std::size_t equal = 0;
    std::string unequal;
    for (const auto &[traditional, simplified] : pairs) {
        if (canonicalForm(utf16(traditional)) == canonicalForm(utf16(simplified)))
            ++equal;
        else
            unequal += " " + traditional + simplified;
    }
    const double percent = pairs.empty() ? 0 : 100.0 * equal / pairs.size();
    std::cout << table << ": " << equal << " of " << pairs.size() << " pairs fold together (" << std::fixed
              << std::setprecision(2) << percent << " %); apart:" << unequal << "\n";
    return percent;
}

} // namespace

TEST(Variants, OpenCCsPairsFoldTogether)
{
    EXPECT_GE(coverage("TSCharacters"), 99.5);
    EXPECT_GE(coverage("STCharacters"), 99.5);
}

TEST(Variants, FoldingTwiceChangesNothing)
{
    std::vector<std::u16string> texts;
    for (const char *table : {"TSCharacters", "STCharacters"}) {
        for (const auto &[traditional, simplified] : openccPairs(table))
            texts.insert(texts.end(), {utf16(traditional), utf16(simplified)});
    }
    for (const unicode::CodeMapping &m : unicode::simplifiedVariants())
        texts.push_back(utf16(std::u32string{m.from, m.to}));
    for (const std::u16string &text : texts) {
        const std::u32string once = canonicalForm(text);
        EXPECT_EQ(canonicalForm(utf16(once)), once) << std::hex << static_cast<unsigned>(once.front());
    }
}

// Looked up by binary search: ascending, each character once, none to itself.
TEST(Variants, TableIsAscendingWithoutIdentities)
{
    const auto table = unicode::simplifiedVariants();
    ASSERT_FALSE(table.empty());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_NE(table[i].from, table[i].to) << std::hex << static_cast<unsigned>(table[i].from);
        if (i > 0) {
            EXPECT_LT(table[i - 1].from, table[i].from) << std::hex << static_cast<unsigned>(table[i].from);
        }
    }
}

TEST(Variants, TraditionalFormsFoldToTheirSimplifiedOnes)
{
    const struct
    {
        std::u16string traditional;
        std::u16string simplified;
    } cases[] = {
        {u"乾", u"干"}, {u"鷄", u"鸡"}, {u"録", u"录"}, {u"閲", u"阅"},
        {u"顔", u"颜"}, {u"鑑", u"鉴"}, {u"鉅", u"巨"}, {u"顔明鑑", u"颜明鉴"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << static_cast<unsigned>(c.traditional.front()));
        const std::u32string simplified = canonicalForm(c.simplified);
        EXPECT_EQ(canonicalForm(c.traditional), simplified);
        EXPECT_EQ(utf16(simplified), c.simplified); // already simplified: left as it is
        EXPECT_EQ(differingClasses(c.traditional, c.simplified), Variant);
    }
}

// A traditional character with two simplified forms joins one of them; the other stays apart.
TEST(Variants, DistinctSimplifiedCharactersStayApart)
{
    const std::pair<std::u16string, std::u16string> cases[] = {{u"链", u"炼"}, {u"仇", u"雠"}, {u"周", u"赒"}};
    for (const auto &[a, b] : cases)
        EXPECT_NE(canonicalForm(a), canonicalForm(b)) << static_cast<unsigned>(a.front());
}
