#include "runcomparison.h"

#include <cstdio>
#include <stdexcept>

namespace lanshan::literal {

std::string shown(std::u16string_view text)
{
    std::string out = "u\"";
    for (char16_t c : text) {
        switch (c) {
        case u'\t': out += "\\t"; break;
        case u'\r': out += "\\r"; break;
        case u'\n': out += "\\n"; break;
        case u'"': out += "\\\""; break;
        case u'\\': out += "\\\\"; break;
        default:
            if (c >= 0x20 && c < 0x7f) {
                out += static_cast<char>(c);
            } else {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
                out += buffer;
            }
        }
    }
    out += '"';
    return out;
}

std::string shown(const std::u16string &text)
{
    return shown(std::u16string_view(text));
}
std::string shown(std::size_t value)
{
    return std::to_string(value);
}
std::string shown(bool value)
{
    return value ? "true" : "false";
}
std::string shown(const std::string &text)
{
    return text;
}
std::string shown(const char *text)
{
    return text;
}

std::string shown(const Positions &positions)
{
    std::string out = "{";
    for (std::size_t i = 0; i < positions.size(); ++i)
        out += (i ? ", " : "") + std::to_string(positions[i]);
    return out + "}";
}

std::string shown(const Lines &lines)
{
    std::string out = "{";
    for (std::size_t i = 0; i < lines.size(); ++i)
        out += (i ? ", " : "") + shown(lines[i]);
    return out + "}";
}

const char *stateName(FilterRun::State state)
{
    switch (state) {
    case FilterRun::State::TooFewLines: return "TooFewLines";
    case FilterRun::State::AwaitingChoice: return "AwaitingChoice";
    case FilterRun::State::Finished: return "Finished";
    }
    return "?";
}

void Mismatches::add(const std::string &what, const std::string &got, const std::string &want)
{
    m_text += "    " + what + ": engine " + got + ", literal scan " + want + "\n";
    ++m_count;
}

Lines linesOf(const LineTable &table)
{
    Lines lines;
    for (std::size_t i = 0; i < table.size(); ++i)
        lines.emplace_back(table[i]);
    return lines;
}

Positions positionsOf(std::span<const std::size_t> rows)
{
    return Positions(rows.begin(), rows.end());
}

// One run of the filter, settled as the literal run was, against the literal assembly.
RunCounts compareRun(Mismatches &m, std::u16string_view text1, std::u16string_view text2, const Assembly &want,
                     const std::string &at)
{
    RunCounts counts;
    FilterRun run{std::u16string(text1), std::u16string(text2)};
    m.check([&] { return at + "fixlines"; }, linesOf(run.fixlines()), want.fixlines);
    m.check([&] { return at + "datalines"; }, linesOf(run.datalines()), want.datalines);

    if (want.tooFewLines) {
        counts.tooFewLines = true;
        m.check([&] { return at + "state"; }, stateName(run.state()), std::string("TooFewLines"));
        m.check([&] { return at + "resultCount"; }, run.resultCount(), std::size_t{0});
        m.check([&] { return at + "settledCount"; }, run.settledCount(), std::size_t{0});
        return counts;
    }
    m.check([&] { return at + "TooFewLines"; }, run.state() == FilterRun::State::TooFewLines, false);
    if (!m.empty())
        return counts;

    const std::size_t n = want.fixlines.size();
    std::size_t k = 0;
    while (run.state() == FilterRun::State::AwaitingChoice) {
        const std::string here = at + "stop " + std::to_string(k) + ": ";
        if (k >= want.stops.size()) {
            m.add(here + "questionable line", "stops at key line " + std::to_string(run.pickpos()),
                  "has no further questionable line");
            return counts;
        }
        const Stop &stop = want.stops[k];
        m.check([&] { return here + "pickpos"; }, run.pickpos(), stop.pickpos);
        m.check([&] { return here + "settledCount"; }, run.settledCount(), stop.list1.size());
        m.check([&] { return here + "candidate rows"; }, positionsOf(run.candidateRows()),
                confirmedRows(want.fixlines.at(stop.pickpos), want.datalines));
        if (!m.empty())
            return counts;
        for (std::size_t p = 0; p < n; ++p)
            m.check([&] { return here + "markedKeyItem(" + std::to_string(p) + ")"; }, run.markedKeyItem(p),
                    stop.list3[p]);
        for (std::size_t s = 0; s < stop.list4.size(); ++s) {
            m.check([&] { return here + "candidateItem(" + std::to_string(s) + ")"; }, run.candidateItem(s),
                    stop.list4[s]);
            m.check([&] { return here + "candidatePosition(" + std::to_string(s) + ")"; }, run.candidatePosition(s),
                    stop.list5[s]);
        }
        for (std::size_t p = 0; p < stop.list1.size(); ++p) {
            m.check([&] { return here + "keyItem(" + std::to_string(p) + ")"; }, run.keyItem(p), stop.list1[p]);
            m.check([&] { return here + "resultItem(" + std::to_string(p) + ")"; }, run.resultItem(p), stop.list2[p]);
            m.check([&] { return here + "result(" + std::to_string(p) + ")"; }, run.result(p), want.resultlines[p]);
        }
        if (!m.empty())
            return counts;

        // A row that is no candidate is refused and leaves the run waiting where it was.
        bool refused = false;
        try {
            run.choose(run.candidateRows().back() + 1);
        } catch (const std::invalid_argument &) {
            refused = true;
        }
        m.check([&] { return here + "choice of a row that is no candidate refused"; }, refused, true);
        m.check([&] { return here + "pickpos after the refused choice"; }, run.pickpos(), stop.pickpos);
        if (!m.empty())
            return counts;

        ++counts.questionableLines;
        if (stop.selected) {
            ++counts.choicesTaken;
            run.choose(run.candidateRows()[*stop.selected]);
        } else {
            ++counts.linesLeftEmpty;
            run.ignore();
        }
        ++k;
    }

    m.check([&] { return at + "final state"; }, stateName(run.state()), std::string("Finished"));
    m.check([&] { return at + "number of questionable lines"; }, k, want.stops.size());
    m.check([&] { return at + "resultCount"; }, run.resultCount(), n);
    m.check([&] { return at + "settledCount"; }, run.settledCount(), n);
    if (!m.empty())
        return counts;
    for (std::size_t i = 0; i < n; ++i) {
        m.check([&] { return at + "result(" + std::to_string(i) + ")"; }, run.result(i), want.resultlines[i]);
        m.check([&] { return at + "keyItem(" + std::to_string(i) + ")"; }, run.keyItem(i), want.list1[i]);
        m.check([&] { return at + "resultItem(" + std::to_string(i) + ")"; }, run.resultItem(i), want.list2[i]);
    }
    m.check([&] { return at + "resultText"; }, run.resultText(), want.text3);
    counts.warned = warns(text1, text2, want);
    m.check([&] { return at + "needsWarning"; }, run.needsWarning(), counts.warned);
    return counts;
}

} // namespace lanshan::literal
