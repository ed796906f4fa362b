// celllist_bench: what a class list of several columns costs the filter against a list of one.
//
//   celllist_bench [N ...]
//
// For every N (default 100000 1000000): N rows "S0000001 TAB 张17 TAB three scores", shuffled,
// and N key lines, once as the 学号 alone and once as 学号 TAB 姓名 (the name shared by every
// 5000th student); each run (the filter, duplicates taken first, and its result text) timed best
// of five taken in turn, with the ratio of the two. Then the worst pastes for lists of cells, each timed once
// at two sizes so that the growth shows: one row of many equal cells, many key lines of a hundred
// cells each, one key line of many cells.

#include "filterrun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using lanshan::FilterRun;
using lanshan::RunOptions;
using Clock = std::chrono::steady_clock;

std::u16string text(const std::string &ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string id(std::size_t i)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "S%07zu", i);
    return text(buffer);
}

std::u16string name(std::size_t i)
{
    // Appended: GCC 12 takes operator+ of a literal and a temporary for an overlapping copy.
    std::u16string name = u"张";
    name += text(std::to_string(i % 5000));
    return name;
}

// Seconds for one run and its result text; the result's size keeps the work from being dropped.
double timed(const std::u16string &keys, const std::u16string &rows, std::size_t &resultSize)
{
    const Clock::time_point start = Clock::now();
    FilterRun run(keys, rows, RunOptions{lanshan::DuplicateRows::TakeFirst, {}, {}});
    resultSize = run.resultText().size();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {100'000, 1'000'000};

    std::printf("celllist_bench: best of 5 taken in turn, seconds for the run and its result text\n");
    std::printf("%9s | %10s | %10s | %6s\n", "n = m", "学号", "学号 姓名", "ratio");
    std::printf("----------+------------+------------+-------\n");
    for (const std::size_t n : sizes) {
        std::vector<std::size_t> order(n);
        std::iota(order.begin(), order.end(), std::size_t(0));
        std::shuffle(order.begin(), order.end(), std::mt19937(1));
        std::u16string rows;
        for (const std::size_t i : order)
            rows += id(i) + u"\t" + name(i) + u"\t" + text(std::to_string(i % 100)) + u"\t"
                    + text(std::to_string(i * 7 % 100)) + u"\t" + text(std::to_string(i * 13 % 100)) + u"\r\n";
        std::u16string single;
        std::u16string pairs;
        for (std::size_t i = 0; i < n; ++i) {
            single += id(i) + u"\r\n";
            pairs += id(i) + u"\t" + name(i) + u"\r\n";
        }
        std::size_t singleSize = 0;
        std::size_t pairsSize = 0;
        // Taken in turn, so that a slow spell of the machine weighs on both alike.
        double one = 1e9;
        double two = 1e9;
        for (int round = 0; round < 5; ++round) {
            one = std::min(one, timed(single, rows, singleSize));
            two = std::min(two, timed(pairs, rows, pairsSize));
        }
        if (singleSize != pairsSize) {
            std::fprintf(stderr, "celllist_bench: the two runs give results of different sizes\n");
            return 1;
        }
        std::printf("%9zu | %10.3f | %10.3f | %6.2f\n", n, one, two, two / one);
    }

    std::printf("\nworst pastes for lists of cells, each run once: seconds at size s and 2s\n");
    struct Worst
    {
        const char *what;
        std::size_t size;
        std::u16string (*keys)(std::size_t);
        std::u16string (*rows)(std::size_t);
    };
    const Worst worst[] = {
        {"one row of s equal cells, 2 list lines", 10'000, [](std::size_t) { return std::u16string(u"a\ta\r\na\tb"); },
         [](std::size_t s) {
             std::u16string row;
             for (std::size_t i = 0; i < s; ++i)
                 row += u"a\t";
             return row;
         }},
        {"s/100 key lines of 100 cells, 1000 rows", 1'000'000,
         [](std::size_t s) {
             std::u16string keys;
             for (std::size_t line = 0; line < s / 100; ++line) {
                 for (std::size_t c = 0; c < 100; ++c)
                     keys += text(std::to_string((line + c) % 1000)) + u"\t";
                 keys += u"\r\n";
             }
             return keys;
         },
         [](std::size_t) {
             std::u16string rows;
             for (std::size_t r = 0; r < 1000; ++r)
                 rows += text(std::to_string(r)) + u"\t" + text(std::to_string((r + 1) % 1000)) + u"\tx\r\n";
             return rows;
         }},
        {"one key line of s cells, 1000 rows", 100'000,
         [](std::size_t s) {
             std::u16string keys;
             for (std::size_t c = 0; c < s; ++c)
                 keys += text(std::to_string(c)) + u"\t";
             return keys + u"\r\nx";
         },
         [](std::size_t) {
             std::u16string rows;
             for (std::size_t r = 0; r < 1000; ++r)
                 rows += text(std::to_string(r)) + u"\t" + text(std::to_string(r + 1)) + u"\r\n";
             return rows;
         }},
    };
    for (const Worst &w : worst) {
        std::size_t size = 0;
        const double at = timed(w.keys(w.size), w.rows(w.size), size);
        const double twice = timed(w.keys(2 * w.size), w.rows(2 * w.size), size);
        std::printf("%-45s s = %8zu: %7.3f s, 2s: %7.3f s (x%.2f)\n", w.what, w.size, at, twice, twice / at);
    }
    return 0;
}
