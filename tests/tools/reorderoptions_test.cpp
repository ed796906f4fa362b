// The option table of reorder: each option is taken in its forms, stands in the usage text with
// its help, and a malformed use of it is refused with its words and status 2.

#include "reconciliation.h"
#include "reorderoptions.h"
#include "reporttsv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace lanshan;
using namespace lanshan::reorder;

namespace {

// The line as a short text: what it ends with, and each setting that differs from the default.
std::string describe(const CommandLine &line)
{
    std::ostringstream text;
    if (line.exitStatus)
        text << "exit " << *line.exitStatus << ' ';
    if (!line.out.empty())
        text << (line.out == usageText() ? "usage " : line.out.starts_with("reorder ") ? "version " : "out? ");
    const Settings &s = line.settings;
    constexpr const char *duplicates[] = {"ask", "first", "last", "empty"};
    if (s.run.duplicates != DuplicateRows::Ask || !s.failOnQuestions)
        text << "duplicates " << duplicates[static_cast<int>(s.run.duplicates)]
             << (s.failOnQuestions ? " fail " : " settled ");
    if (s.run.keyColumn.kind == KeyColumnChoice::Kind::Auto)
        text << "key-column auto ";
    else if (s.run.keyColumn.kind == KeyColumnChoice::Kind::Column)
        text << "key-column " << s.run.keyColumn.column << ' ';
    if (!s.run.keyCells.empty()) {
        text << "key-cells";
        for (const std::size_t cell : s.run.keyCells)
            text << ' ' << cell;
        text << ' ';
    }
    if (!s.columns.wholeRows()) {
        text << "columns";
        for (const ColumnSelection::Range &range : s.columns.ranges())
            text << ' ' << range.first << '-' << range.last;
        text << ' ';
    }
    if (s.explainPath)
        text << "explain " << *s.explainPath << ' ';
    if (s.timings)
        text << "timings ";
    if (s.takeReliable)
        text << "take-reliable ";
    text << "files " << s.files.size();
    return text.str();
}

CommandLine parse(const std::vector<std::string_view> &arguments)
{
    return parseCommandLine(arguments);
}

struct OptionCase
{
    std::string_view name;
    // Each use, before the two files, and what the line then holds.
    std::vector<std::pair<std::vector<std::string_view>, std::string>> accepted;
    std::string_view malformed;
    std::string_view fault;
};

const std::vector<OptionCase> &optionCases()
{
    static const std::vector<OptionCase> cases = {
        {"--duplicates",
         {{{"--duplicates=first"}, "duplicates first settled files 2"},
          {{"--duplicates=last"}, "duplicates last settled files 2"},
          {{"--duplicates=empty"}, "duplicates empty settled files 2"},
          {{"--duplicates=empty", "--duplicates=fail"}, "files 2"}},
         "--duplicates=maybe",
         "unknown --duplicates mode: maybe"},
        {"--key-column",
         {{{"--key-column=3"}, "key-column 3 files 2"}, {{"--key-column=auto"}, "key-column auto files 2"}},
         "--key-column=0",
         "--key-column takes a column number from 1 or auto, not: 0"},
        {"--columns",
         {{{"--columns=4,1"}, "columns 4-4 1-1 files 2"}, {{"--columns=2-3"}, "columns 2-3 files 2"}},
         "--columns=4-2",
         "--columns: \"4-2\": a range runs from the smaller number to the larger"},
        // A set of cells: each once, ascending.
        {"--key-cells",
         {{{"--key-cells=3,1-2,2"}, "key-cells 1 2 3 files 2"},
          {{"--key-cells=1", "--key-cells=2"}, "key-cells 2 files 2"}},
         "--key-cells=,",
         "--key-cells: no column listed in \",\""},
        {"--explain", {{{"--explain=r.tsv"}, "explain r.tsv files 2"}}, "--explain=", "unknown option: --explain="},
        {"--timings", {{{"--timings"}, "timings files 2"}}, "--timings=yes", "unknown option: --timings=yes"},
        {"--take-reliable",
         {{{"--take-reliable"}, "take-reliable files 2"}},
         "--take-reliable=no",
         "unknown option: --take-reliable=no"},
        // Answered at once, whatever follows.
        {"--help",
         {{{"--help"}, "exit 0 usage files 0"}, {{"-h", "--bogus"}, "exit 0 usage files 0"}},
         "--help=all",
         "unknown option: --help=all"},
        {"--version", {{{"--version"}, "exit 0 version files 0"}}, "--version=2", "unknown option: --version=2"},
    };
    return cases;
}

} // namespace

TEST(ReorderOptions, EveryOptionHasItsCase)
{
    std::set<std::string_view> table;
    for (const Option &option : options())
        table.insert(option.name);
    std::set<std::string_view> tested;
    for (const OptionCase &c : optionCases())
        tested.insert(c.name);
    EXPECT_EQ(table, tested);
}

TEST(ReorderOptions, EachFormIsTaken)
{
    for (const OptionCase &c : optionCases()) {
        for (const auto &[arguments, expected] : c.accepted) {
            std::vector<std::string_view> line = arguments;
            line.insert(line.end(), {"keys.txt", "data.txt"});
            const CommandLine parsed = parse(line);
            EXPECT_EQ(describe(parsed), expected) << c.name << ": " << arguments.front();
            EXPECT_EQ(parsed.err, "") << c.name;
        }
    }
}

TEST(ReorderOptions, AMalformedUseIsRefusedWithItsWordsAndTheUsage)
{
    for (const OptionCase &c : optionCases()) {
        const CommandLine parsed = parse({c.malformed, "keys.txt", "data.txt"});
        EXPECT_EQ(parsed.exitStatus, exitError) << c.malformed;
        EXPECT_EQ(parsed.out, "") << c.malformed;
        EXPECT_EQ(parsed.err, errorLine(c.fault) + usageText()) << c.malformed;
    }
}

TEST(ReorderOptions, TheUsageShowsEachOptionWithItsHelp)
{
    const std::string usage = usageText();
    for (const Option &option : options()) {
        const std::string form = optionForm(option);
        const std::string called = option.form == Option::Form::Alone ? " " + form : "[" + form + "]";
        EXPECT_NE(usage.find(called), std::string::npos) << form;
        // The help block: the form at the start of a line, the help's lines after it in order.
        std::size_t at = usage.find("\n" + form);
        EXPECT_NE(at, std::string::npos) << form;
        std::istringstream help{std::string(option.help)};
        for (std::string helpLine; std::getline(help, helpLine);) {
            at = usage.find(helpLine + "\n", at);
            EXPECT_NE(at, std::string::npos) << form << ": " << helpLine;
        }
    }
}

// The help of --explain says how much of a near row the report keeps: as much as it keeps.
TEST(ReorderOptions, TheExplainHelpSaysWhereANearRowIsCut)
{
    const std::string usage = usageText();
    // The words may wrap between "its" and "first".
    const std::size_t cut = usage.find("A near row's text is cut to its");
    ASSERT_NE(cut, std::string::npos);
    const std::size_t first = usage.find("first ", cut);
    ASSERT_NE(first, std::string::npos);
    const std::size_t length = std::stoul(usage.substr(first + 6));
    const std::string row = "abcdefgh" + std::string(1000, 'z');
    ASSERT_LT(length, row.size());

    FilterRun run(u"abcdefgh\r\nq", std::u16string(row.begin(), row.end()));
    const std::string tsv = reportTsv(run, reconcile(run));
    const std::string nearLine = "missing\t1\t1\tlast-column+longer-value\tabcdefgh\t";
    const std::size_t at = tsv.find(nearLine);
    ASSERT_NE(at, std::string::npos) << tsv.substr(0, 200);
    EXPECT_EQ(tsv.substr(at + nearLine.size(), tsv.find('\n', at) - at - nearLine.size()),
              row.substr(0, length) + "\u2026");
}

TEST(ReorderOptions, TheUsageFitsATerminal)
{
    std::istringstream usage(usageText());
    for (std::string line; std::getline(usage, line);) {
        // Columns on the screen: a CJK character takes two, and its three bytes count as two.
        const auto wide = static_cast<std::size_t>(
            std::ranges::count_if(line, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }));
        EXPECT_LE(line.size() - wide / 2, 100u) << line;
    }
}

// Arguments that are no option: the two files, in order; "-" and "--" are files too.
TEST(ReorderOptions, FilesAndUnknownOptions)
{
    const struct
    {
        std::vector<std::string_view> arguments;
        std::string described;
        std::string err;
    } cases[] = {
        {{"k", "d"}, "files 2", ""},
        {{"-", "--"}, "files 2", ""},
        {{"k"}, "exit 2 files 1", usageText()},
        {{"k", "d", "e"}, "exit 2 files 3", usageText()},
        {{"--bogus", "k", "d"}, "exit 2 files 0", errorLine("unknown option: --bogus") + usageText()},
        {{"--duplicates", "k", "d"}, "exit 2 files 0", errorLine("unknown option: --duplicates") + usageText()},
        // The first fault ends the reading, before a later --help.
        {{"k", "--columns=0", "--help"},
         "exit 2 files 1",
         errorLine("--columns: \"0\": columns are numbered from 1") + usageText()},
    };
    for (const auto &c : cases) {
        const CommandLine parsed = parse(c.arguments);
        EXPECT_EQ(describe(parsed), c.described) << c.arguments.front();
        EXPECT_EQ(parsed.err, c.err) << c.arguments.front();
    }
}

// The exit statuses the help lists are the README's, each once: a status said in one place only
// is a status a user cannot look up.
TEST(ReorderOptions, TheReadmeListsTheStatusesOfTheHelp)
{
    std::set<int> help;
    std::istringstream usage(usageText());
    bool inStatuses = false;
    for (std::string line; std::getline(usage, line);) {
        inStatuses = inStatuses || line == "exit status:";
        if (!inStatuses)
            continue;
        if (line.size() > 4 && line.starts_with("  ") && std::isdigit(static_cast<unsigned char>(line[2])))
            help.insert(std::stoi(line.substr(2)));
        // A signal's status ends its brackets: "SIGPIPE (141)", "(Ctrl+C, 130)".
        for (std::size_t at = line.find('('); at != std::string::npos; at = line.find('(', at + 1)) {
            const std::size_t close = line.find(')', at);
            if (close == std::string::npos)
                break;
            const std::size_t start = line.find_last_of(" (", close - 1) + 1;
            const std::string last = line.substr(start, close - start);
            if (last.size() == 3 && last.find_first_not_of("0123456789") == std::string::npos)
                help.insert(std::stoi(last));
        }
    }

    const auto path = std::filesystem::absolute(std::filesystem::path(LANSHAN_README).make_preferred());
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::multiset<int> readme;
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("## "))
            inSection = line == "## reorder";
        if (!inSection || !line.starts_with("| ") || line.size() < 3
            || !std::isdigit(static_cast<unsigned char>(line[2])))
            continue;
        std::istringstream numbers(line.substr(2, line.find(" |", 2) - 2));
        for (std::string number; std::getline(numbers, number, ',');)
            readme.insert(std::stoi(number));
    }
    EXPECT_EQ(std::set<int>(readme.begin(), readme.end()), help);
    EXPECT_EQ(readme.size(), help.size()) << "a status stands twice in the README";
    EXPECT_TRUE(help.contains(exitResultCut));
}
