#pragma once

// The comparison of one filter run with the literal scan's assembly of the same run, shared by
// the differential test and the fuzzer: every value the run shows on its way, settled at each
// questionable line as the literal run was.

#include "filterrun.h"
#include "literalscan.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lanshan::literal {

using Positions = std::vector<std::size_t>;

// Values in failure messages: texts as C++ literals with control characters escaped.
std::string shown(std::u16string_view text);
std::string shown(const std::u16string &text);
std::string shown(std::size_t value);
std::string shown(bool value);
std::string shown(const std::string &text);
std::string shown(const char *text);
std::string shown(const Positions &positions);
std::string shown(const Lines &lines);

const char *stateName(FilterRun::State state);
Lines linesOf(const LineTable &table);
Positions positionsOf(std::span<const std::size_t> rows);

// The differences found, each saying what the engine gives and what the literal scan gives.
class Mismatches
{
public:
    // The label is only made when the values differ.
    template<class What, class Got, class Want>
    void check(const What &what, const Got &got, const Want &want)
    {
        if (!(got == want))
            add(what(), shown(got), shown(want));
    }
    void add(const std::string &what, const std::string &got, const std::string &want);
    bool empty() const { return m_count == 0; }
    const std::string &text() const { return m_text; }

private:
    std::string m_text;
    std::size_t m_count = 0;
};

// What the run met on its way.
struct RunCounts
{
    bool tooFewLines = false;
    std::size_t questionableLines = 0;
    std::size_t choicesTaken = 0;
    std::size_t linesLeftEmpty = 0;
    bool warned = false;
};

// Runs the filter on the two texts and records in m how it differs from want, each label
// starting with at. At every questionable line a row that is no candidate must be refused.
RunCounts compareRun(Mismatches &m, std::u16string_view text1, std::u16string_view text2, const Assembly &want,
                     const std::string &at);

} // namespace lanshan::literal
