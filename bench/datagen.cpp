#include "datagen.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace lanshan::bench {

namespace {

// Common single-character surnames. None of them is the first character of a compound
// surname below, so no name can be spelt in two ways.
const char singleSurnames[] =
    "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈"
    "姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤";

const char compoundSurnames[] = "欧阳 司马 诸葛 上官 东方 皇甫 令狐 慕容";

// Characters common in given names.
const char givenCharacters[] =
    "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰红文斌建云林辉鹏宇浩凯俊帆博晨轩然欣怡雨涵梓子思萱"
    "佳琪嘉一诺睿泽铭昊天瑞彤悦婷雪琳晶颖倩慧莉萍燕玲蕾薇洁梅琴璐婧妍瑶菲露月春秋冬阳光亮志国庆东海波峰飞"
    "鑫森坤宁安康乐福祥德仁义礼智信忠成立新民生荣兴旺达昌盛威雄豪毅健锋松柏山河清源永长远航宏鸿家欢晓小艺"
    "诗雅心语宸翔逸哲彬振耀鸣皓煜炎烨晗曦昕晴朗越卓凡辰星政琦璇珊芸茜蓉凤娇妮珍淑惠巧美";

const char *const overallGrades[] = {"不及格", "及格", "良好", "优秀"};

// splitmix64: small, fast and the same on every platform.
class Random
{
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed)
    { }

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, bound), bound > 0, without modulo bias.
    std::uint64_t below(std::uint64_t bound)
    {
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
        std::uint64_t x = next();
        while (x >= limit)
            x = next();
        return x % bound;
    }

    // True with the chance percent / 100.
    bool chance(unsigned percent) { return below(100) < percent; }

    template<typename T>
    void shuffle(std::vector<T> &items)
    {
        for (std::size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[static_cast<std::size_t>(below(i))]);
    }

private:
    std::uint64_t m_state;
};

// The UTF-8 characters of a text, spaces skipped, repeats dropped (first one kept).
std::vector<std::string> characters(std::string_view text)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::string c(text.substr(i, length));
        i += length;
        if (c != " " && std::find(out.begin(), out.end(), c) == out.end())
            out.push_back(std::move(c));
    }
    return out;
}

// The space-separated words of a text.
std::vector<std::string> words(std::string_view text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            out.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// Every possible name has a number. Numbers below twoCharCount() are surname + one given
// character; the others are surname + two given characters, then compound surname + one.
class NameSpace
{
public:
    NameSpace()
        : m_singles(characters(singleSurnames))
        , m_compounds(words(compoundSurnames))
        , m_given(characters(givenCharacters))
    { }

    std::uint64_t twoCharCount() const { return m_singles.size() * m_given.size(); }
    std::uint64_t threeCharCount() const
    {
        return m_singles.size() * m_given.size() * m_given.size() + m_compounds.size() * m_given.size();
    }

    // False when a compound surname starts with a single surname: then some names could be
    // spelt in two ways and would no longer be distinct.
    bool unambiguous() const
    {
        for (const std::string &compound : m_compounds) {
            if (std::find(m_singles.begin(), m_singles.end(), characters(compound).front()) != m_singles.end())
                return false;
        }
        return true;
    }

    std::string name(std::uint64_t number) const
    {
        const std::uint64_t g = m_given.size();
        if (number < twoCharCount())
            return m_singles[number / g] + m_given[number % g];
        number -= twoCharCount();
        const std::uint64_t longCount = m_singles.size() * g * g;
        if (number < longCount)
            return m_singles[number / (g * g)] + m_given[number / g % g] + m_given[number % g];
        number -= longCount;
        return m_compounds[number / g] + m_given[number % g];
    }

private:
    std::vector<std::string> m_singles;
    std::vector<std::string> m_compounds;
    std::vector<std::string> m_given;
};

// count distinct numbers from [first, first + range), in the order drawn. count <= range / 2,
// so a draw is new at least half the time.
void drawDistinct(Random &random, std::uint64_t first, std::uint64_t range, std::size_t count,
                  std::vector<std::uint64_t> &out)
{
    std::vector<bool> taken(static_cast<std::size_t>(range), false);
    for (std::size_t drawn = 0; drawn < count;) {
        const auto n = static_cast<std::size_t>(random.below(range));
        if (!taken[n]) {
            taken[n] = true;
            out.push_back(first + n);
            ++drawn;
        }
    }
}

// A score in tenths, 0 to 1000, around the row's level; now and then with a decimal digit.
unsigned score(Random &random, int level)
{
    int value = level + static_cast<int>(random.below(31)) - 15;
    value = std::clamp(value, 0, 100) * 10;
    if (value < 1000 && random.chance(20))
        value += 1 + static_cast<int>(random.below(9));
    return static_cast<unsigned>(value);
}

void appendScore(std::string &out, unsigned tenths)
{
    out += std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        out += '.';
        out += static_cast<char>('0' + tenths % 10);
    }
}

// The seven columns after the name, with their leading TAB.
std::string scoreColumns(Random &random)
{
    const int level = 50 + static_cast<int>(random.below(24) + random.below(24)); // 50..96, mostly 65..85
    std::string out;
    unsigned sum = 0;
    for (int subject = 0; subject < 5; ++subject) {
        const unsigned tenths = score(random, level);
        sum += tenths;
        out += '\t';
        appendScore(out, tenths);
    }
    const unsigned average = sum / 50; // whole points
    const int overall = average >= 85 ? 3 : average >= 75 ? 2 : average >= 60 ? 1 : 0;
    out += '\t';
    out += overallGrades[overall];
    out += '\t';
    out += average >= 80 ? 'A' : average >= 65 ? 'B' : 'C';
    return out;
}

// A row the filter does not give the key, but that a reader sees is the key's: the name
// spelt a little differently or standing where the filter does not look. "某" is no given
// character, so the mistyped name is never another key.
std::string nearMissRow(Random &random, const std::string &name)
{
    const std::vector<std::string> chars = characters(name);
    const std::string columns = scoreColumns(random);
    switch (random.below(6)) {
    case 0: return chars[0] + " " + name.substr(chars[0].size()) + columns;
    case 1: return name + "\u3000" + columns;
    case 2: return chars[0] + "\u200b" + name.substr(chars[0].size()) + columns;
    case 3: return columns.substr(1) + "\t" + name;
    case 4: return "高一3班" + name + columns;
    default: return name.substr(0, name.size() - chars.back().size()) + "某" + columns;
    }
}

} // namespace

bool generateData(std::uint64_t keyCount, std::uint64_t rowCount, std::uint64_t seed, bool withTwoRowKeys,
                  GeneratedData &out, std::string &error, bool nearMisses)
{
    const NameSpace names;
    if (!names.unambiguous()) {
        error = "a compound surname starts with a single surname";
        return false;
    }

    // Key groups: with two rows, with none, with one; then the rows left over.
    std::uint64_t twoRowKeys = withTwoRowKeys ? (keyCount + 50) / 100 : 0;
    std::uint64_t noRowKeys = (keyCount + 5) / 10;
    std::uint64_t oneRowKeys = keyCount - twoRowKeys - noRowKeys;
    if (oneRowKeys + 2 * twoRowKeys > rowCount) { // too few rows: more keys go without
        twoRowKeys = std::min(twoRowKeys, rowCount / 2);
        oneRowKeys = std::min(oneRowKeys, rowCount - 2 * twoRowKeys);
        noRowKeys = keyCount - twoRowKeys - oneRowKeys;
    }
    std::uint64_t surplusRows = rowCount - oneRowKeys - 2 * twoRowKeys;
    const std::uint64_t nearMissRows = nearMisses ? std::min(noRowKeys, surplusRows) : 0;
    surplusRows -= nearMissRows;
    const std::uint64_t nameCount = keyCount + surplusRows;

    // About a fifth two-character names, as far as there are enough of them.
    const std::uint64_t shortNames = std::min(nameCount / 5, names.twoCharCount() / 2);
    const std::uint64_t longNames = nameCount - shortNames;
    if (longNames > names.threeCharCount() / 2) {
        error =
            "at most " + std::to_string(shortNames + names.threeCharCount() / 2) + " keys and surplus rows together";
        return false;
    }

    Random random(seed);
    std::vector<std::uint64_t> pool;
    pool.reserve(static_cast<std::size_t>(nameCount));
    drawDistinct(random, 0, names.twoCharCount(), static_cast<std::size_t>(shortNames), pool);
    drawDistinct(random, names.twoCharCount(), names.threeCharCount(), static_cast<std::size_t>(longNames), pool);
    random.shuffle(pool);

    // pool: [one-row keys][two-row keys][no-row keys][surplus names]
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(rowCount));
    for (std::size_t i = 0; i < pool.size(); ++i) {
        const bool twoRows = i >= oneRowKeys && i < oneRowKeys + twoRowKeys;
        const bool noRow = i >= oneRowKeys + twoRowKeys && i < keyCount;
        if (noRow && i < oneRowKeys + twoRowKeys + nearMissRows)
            rows.push_back(nearMissRow(random, names.name(pool[i])));
        if (noRow)
            continue;
        const std::string name = names.name(pool[i]);
        const std::string columns = scoreColumns(random);
        rows.push_back(name + columns);
        if (twoRows) {
            std::string other = scoreColumns(random);
            while (other == columns)
                other = scoreColumns(random);
            rows.push_back(name + other);
        }
    }
    random.shuffle(rows);

    std::vector<std::uint64_t> keys(pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(keyCount));
    random.shuffle(keys);

    std::string keyText;
    keyText.reserve(static_cast<std::size_t>(keyCount) * 10);
    for (std::uint64_t number : keys) {
        keyText += names.name(number);
        keyText += '\n';
    }
    std::string dataText;
    dataText.reserve(static_cast<std::size_t>(rowCount) * 48);
    for (const std::string &row : rows) {
        dataText += row;
        dataText += '\n';
    }

    out.keys = std::move(keyText);
    out.rows = std::move(dataText);
    out.keyCount = keyCount;
    out.rowCount = rowCount;
    out.seed = seed;
    out.oneRowKeys = oneRowKeys;
    out.twoRowKeys = twoRowKeys;
    out.noRowKeys = noRowKeys;
    out.surplusRows = surplusRows;
    out.nearMissRows = nearMissRows;
    return true;
}

} // namespace lanshan::bench
