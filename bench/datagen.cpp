#include "datagen.h"

#include "utf16.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <numeric>
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

// More common characters for the hostile families, which need more distinct names than the
// name lists give. Like those, each is its own canonical form: no traditional form, no case.
const char moreCharacters[] =
    "国人中大上下水火土木日年时分地西南北前左多少学生老师校书本笔纸桌椅门窗车船路桥花草树鸟鱼虫牛羊猫鸡鸭米饭菜茶"
    "口手足耳目头身衣帽鞋包盒杯碗刀叉电灯话视影音歌舞画色红黄蓝绿黑紫灰青橙早晚午夜今朝百千零二三四五六七八九十"
    "走跑跳坐站看听说读写问答想做买卖开关来去入进退拿放";

// The mistyped character: in none of the lists, so a name with it is never a key.
const char mistyped[] = "某";

std::string repeated(std::string_view piece, std::uint64_t times)
{
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (std::uint64_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string lines(const std::vector<std::string> &items)
{
    std::size_t size = 0;
    for (const std::string &item : items)
        size += item.size() + 1;
    std::string out;
    out.reserve(size);
    for (const std::string &item : items) {
        out += item;
        out += '\n';
    }
    return out;
}

// A permutation of [0, size) that scatters neighbours, without a table: distinct names in an
// order that looks drawn, at any count.
class Scatter
{
public:
    Scatter(Random &random, std::uint64_t size)
        : m_size(size)
    {
        m_factor = 1;
        if (size > 2) {
            do
                m_factor = 2 + random.below(size - 2);
            while (std::gcd(m_factor, size) != 1);
        }
        m_offset = random.below(size);
    }

    // size < 2^32, so the product cannot overflow.
    std::uint64_t operator()(std::uint64_t i) const { return (i * m_factor + m_offset) % m_size; }

private:
    std::uint64_t m_size;
    std::uint64_t m_factor;
    std::uint64_t m_offset;
};

// Every cell one edit from every key: the report's rule of one character apart meets
// cells x keys pairs. The changed character is a Hangul syllable, which no canonical-form rule
// touches, so the keys' forms stay distinct.
bool hostileOneEdit(std::uint64_t count, Random &random, GeneratedData &out, std::string &error)
{
    const std::vector<std::string> cell = characters("欧阳晓明");
    constexpr std::uint64_t syllables = 0xD7A3 - 0xAC00 + 1;
    const std::uint64_t kinds = 2 * cell.size() + 1; // replaced at each place, inserted at each gap
    if (count > kinds * syllables) {
        error = "at most " + std::to_string(kinds * syllables) + " keys in family 1";
        return false;
    }
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t kind = static_cast<std::size_t>(i % kinds);
        std::string other;
        appendUtf8(other, static_cast<char32_t>(0xAC00 + i / kinds));
        std::string key;
        for (std::size_t c = 0; c <= cell.size(); ++c) {
            if (kind >= cell.size() && kind - cell.size() == c)
                key += other;
            if (c < cell.size())
                key += kind == c ? other : cell[c];
        }
        keys.push_back(std::move(key));
    }
    random.shuffle(keys);
    std::string name;
    for (const std::string &c : cell)
        name += c;
    std::string row = repeated(name + "\t", count);
    row.back() = '\n';
    out.keys = lines(keys);
    out.rows = std::move(row);
    out.rowCount = 1;
    return true;
}

// Distinct two-character names against one row of their mistyped forms: every key lists the
// same row of count cells.
bool hostileMistypedRow(std::uint64_t count, Random &random, const std::vector<std::string> &alphabet,
                        GeneratedData &out, std::string &error)
{
    const std::uint64_t size = alphabet.size();
    if (count > size * size) {
        error = "at most " + std::to_string(size * size) + " keys in family 2";
        return false;
    }
    const Scatter scatter(random, size * size);
    std::vector<std::string> keys;
    std::vector<std::string> cells;
    keys.reserve(static_cast<std::size_t>(count));
    cells.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t n = scatter(i);
        const std::string &first = alphabet[static_cast<std::size_t>(n / size)];
        const std::string &second = alphabet[static_cast<std::size_t>(n % size)];
        keys.push_back(first + second);
        cells.push_back(random.chance(50) ? first + mistyped : mistyped + second);
    }
    random.shuffle(cells);
    std::string row;
    for (const std::string &cell : cells)
        row += cell + "\t";
    row.back() = '\n';
    out.keys = lines(keys);
    out.rows = std::move(row);
    out.rowCount = 1;
    return true;
}

// Short keys that a long cell starts or ends with: every key line lists that row.
bool hostileLongCell(std::uint64_t count, std::uint64_t length, GeneratedData &out)
{
    const std::string head = "张伟";
    const std::string tail = "王芳";
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    std::string row = head;
    for (std::uint64_t i = 0; i + 4 < length; ++i)
        row += letters[static_cast<std::size_t>(i % letters.size())];
    row += tail + "\n";
    std::string keys;
    for (std::uint64_t i = 0; i < count; ++i)
        keys += (i % 2 == 0 ? head : tail) + "\n";
    out.keys = std::move(keys);
    out.rows = std::move(row);
    out.rowCount = 1;
    return true;
}

// One name spelt count ways, with spaces inside and zero-width spaces after, against a cell of
// that name and padding zero-width spaces: every key's form is the cell's, and telling why
// reads the whole cell.
bool hostileInvisiblePadding(std::uint64_t count, std::uint64_t padding, Random &random, GeneratedData &out)
{
    const std::string first = "张";
    const std::string second = "伟";
    const std::string zeroWidth = "\u200b";
    const auto side = static_cast<std::uint64_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i)
        keys.push_back(first + repeated(" ", i % side + 1) + second + repeated(zeroWidth, i / side));
    random.shuffle(keys);
    out.keys = lines(keys);
    out.rows = first + second + repeated(zeroWidth, padding) + "\t95\t88\n";
    out.rowCount = 1;
    return true;
}

// Many distinct keys and no rows to speak of: the report is all missing keys, and the index
// of one-character differences holds ten entries for every key.
bool hostileNoRows(std::uint64_t count, Random &random, GeneratedData &out, std::string &error)
{
    constexpr std::uint64_t numbers = 100000000;
    if (count > numbers) {
        error = "at most " + std::to_string(numbers) + " keys in family 5";
        return false;
    }
    const Scatter scatter(random, numbers);
    std::string keys;
    keys.reserve(static_cast<std::size_t>(count) * 11);
    char line[32];
    for (std::uint64_t i = 0; i < count; ++i) {
        // Ten-digit student numbers: "20" and eight digits.
        std::snprintf(line, sizeof line, "20%08llu\n", static_cast<unsigned long long>(scatter(i)));
        keys += line;
    }
    out.keys = std::move(keys);
    out.rows = "姓名\t语文\t数学\t英语\t总分\n";
    out.rowCount = 1;
    return true;
}

// Every key missing, each with one row of its own one character apart: the index of
// one-character differences holds every key, and the report lists a near row per key.
bool hostileOneEditEach(std::uint64_t count, Random &random, GeneratedData &out)
{
    const std::size_t digits = std::max<std::size_t>(7, std::to_string(count).size());
    const Scatter scatter(random, count);
    std::string keys;
    std::string rows;
    keys.reserve(static_cast<std::size_t>(count) * (digits + 4));
    rows.reserve(static_cast<std::size_t>(count) * (digits + 8));
    // Zeros before the number up to the width of the largest: a width snprintf cannot bound.
    const auto appendNumber = [digits](std::string &out, std::uint64_t value) {
        const std::string number = std::to_string(value);
        out.append(digits - number.size(), '0');
        out += number;
    };
    for (std::uint64_t i = 1; i <= count; ++i) {
        keys += "key";
        appendNumber(keys, i);
        keys += '\n';
    }
    // The rows in an order that looks drawn, so that a key's row lies apart from it.
    for (std::uint64_t i = 0; i < count; ++i) {
        rows += "kez";
        appendNumber(rows, scatter(i) + 1);
        rows += "\tx\ti\n";
    }
    out.keys = std::move(keys);
    out.rows = std::move(rows);
    out.rowCount = count;
    return true;
}

// Every prefix of one text of length characters (from two on) as a key, against one row
// whose cells are that text followed by a number: every key starts every cell.
bool hostilePrefixes(std::uint64_t length, std::uint64_t cells, Random &random, GeneratedData &out)
{
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    std::string text;
    text.reserve(static_cast<std::size_t>(length));
    for (std::uint64_t i = 0; i < length; ++i)
        text += letters[static_cast<std::size_t>(random.below(letters.size()))];
    std::string keys;
    keys.reserve(static_cast<std::size_t>(length * (length + 3) / 2));
    for (std::uint64_t k = 2; k <= length; ++k) {
        keys.append(text, 0, static_cast<std::size_t>(k));
        keys += '\n';
    }
    std::string row;
    row.reserve(static_cast<std::size_t>(cells * (length + 8)));
    for (std::uint64_t c = 1; c <= cells; ++c) {
        row += text;
        row += std::to_string(c);
        row += c == cells ? '\n' : '\t';
    }
    out.keys = std::move(keys);
    out.rows = std::move(row);
    out.rowCount = 1;
    return true;
}

// Every cell alike: rows of width + 2 cells "x", key lines of 2 to width + 1 cells "x". Every row
// holds every line, so each line has every row: the lists' matcher must count the cells of a
// line, not take them one by one, and not keep the cells of every row of every line.
bool hostileEqualCells(std::uint64_t rows, std::uint64_t width, GeneratedData &out)
{
    std::string row;
    for (std::uint64_t c = 0; c < width + 2; ++c)
        row += c == 0 ? "x" : "\tx";
    row += '\n';
    std::string keys;
    for (std::uint64_t cells = 2; cells <= width + 1; ++cells) {
        for (std::uint64_t c = 0; c < cells; ++c)
            keys += c == 0 ? "x" : "\tx";
        keys += '\n';
    }
    out.keys = std::move(keys);
    out.rows.reserve(static_cast<std::size_t>(rows) * row.size());
    for (std::uint64_t r = 0; r < rows; ++r)
        out.rows += row;
    out.rowCount = rows;
    return true;
}

// Cells common but never together: classes × names, the pairs of an even sum as key lines of
// two cells (class, name), those of an odd sum as rows (name, class, a score). Every cell of a
// line is held by many rows and many lines share it, yet no row holds a line.
bool hostileApartPairs(std::uint64_t side, GeneratedData &out)
{
    std::string keys;
    std::string rows;
    char line[64];
    for (std::uint64_t i = 0; i < side; ++i) {
        for (std::uint64_t j = 0; j < side; ++j) {
            const auto c = static_cast<unsigned long long>(i);
            const auto n = static_cast<unsigned long long>(j);
            if ((i + j) % 2 == 0) {
                std::snprintf(line, sizeof line, "高%llu班\t学生%llu\n", c, n);
                keys += line;
            } else {
                std::snprintf(line, sizeof line, "学生%llu\t高%llu班\t%llu\n", n, c, (c * 7 + n) % 101);
                rows += line;
                ++out.rowCount;
            }
        }
    }
    out.keys = std::move(keys);
    out.rows = std::move(rows);
    return true;
}

// Lines of two cells, none with a row: ten-digit student numbers with names, against as many rows
// of other numbers and names. The report's near rows of lists find nothing to judge.
bool hostileMissingPairs(std::uint64_t count, Random &random, GeneratedData &out)
{
    const Scatter scatter(random, 2 * count);
    std::string keys;
    std::string rows;
    char line[64];
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto key = static_cast<unsigned long long>(scatter(i));
        const auto other = static_cast<unsigned long long>(scatter(count + i));
        std::snprintf(line, sizeof line, "20%08llu\t名%llu\n", key, key);
        keys += line;
        std::snprintf(line, sizeof line, "20%08llu\t名%llu\t%llu\n", other, other, other % 101);
        rows += line;
    }
    out.keys = std::move(keys);
    out.rows = std::move(rows);
    out.rowCount = count;
    return true;
}

} // namespace

bool generateHostile(int family, double scale, std::uint64_t seed, GeneratedData &out, std::string &error)
{
    if (!(scale > 0) || scale > 1e6) {
        error = "the scale must be above 0 and at most 10^6";
        return false;
    }
    const auto scaled = [scale](double base) {
        return std::max<std::uint64_t>(2, static_cast<std::uint64_t>(std::llround(base * scale)));
    };
    const std::vector<std::string> alphabet =
        characters(std::string(singleSurnames) + givenCharacters + moreCharacters);
    if (std::find(alphabet.begin(), alphabet.end(), mistyped) != alphabet.end()) {
        error = "the mistyped character is in the name lists";
        return false;
    }

    GeneratedData data;
    Random random(seed);
    bool made = false;
    switch (family) {
    case 1: made = hostileOneEdit(scaled(1e4), random, data, error); break;
    case 2: made = hostileMistypedRow(scaled(1e4), random, alphabet, data, error); break;
    case 3: made = hostileLongCell(scaled(3e4), scaled(3e4), data); break;
    case 4: made = hostileInvisiblePadding(scaled(2e3), scaled(1e5), random, data); break;
    case 5: made = hostileNoRows(scaled(1e6), random, data, error); break;
    case 6: made = hostileOneEditEach(scaled(1e6), random, data); break;
    case 7: made = hostilePrefixes(scaled(1600), 2000, random, data); break;
    case 8: made = hostileEqualCells(scaled(4000), 2000, data); break;
    case 9: made = hostileApartPairs(static_cast<std::uint64_t>(std::llround(447 * std::sqrt(scale))), data); break;
    case 10: made = hostileMissingPairs(scaled(1e6), random, data); break;
    default: error = "no family " + std::to_string(family) + " (1 to 10)"; return false;
    }
    if (!made)
        return false;
    data.keyCount = static_cast<std::uint64_t>(std::count(data.keys.begin(), data.keys.end(), '\n'));
    data.noRowKeys = family == 8 ? 0 : data.keyCount;
    data.seed = seed;
    out = std::move(data);
    return true;
}

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
