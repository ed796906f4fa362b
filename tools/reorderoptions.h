#pragma once

#include "columnselection.h"
#include "runoptions.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The command line of reorder. Its options stand in one table, from which both the parsing and
// the usage text are made, so that an option, its argument and its help are written once.
namespace lanshan::reorder {

constexpr int exitOk = 0;
constexpr int exitWarning = 1;
constexpr int exitError = 2;
constexpr int exitQuestionable = 3;
constexpr int exitResultOnly = 4; // the whole result, not all that follows it
constexpr int exitResultCut = 5;

// What the command line asks of a run.
struct Settings
{
    RunOptions run;
    bool failOnQuestions = true; // --duplicates=fail: ask, and list every questionable line
    bool timings = false;
    bool takeReliable = false; // --take-reliable: the rows that 采用全部可靠行 takes
    std::optional<std::string> explainPath;
    ColumnSelection columns;        // whole rows where none are listed
    std::vector<std::string> files; // KEYS and DATA, once the line is taken
};

struct CommandLine
{
    Settings settings;
    // Set where the command line itself ends the program: a refusal, the help, the version.
    std::optional<int> exitStatus;
    std::string out; // for standard output
    std::string err; // for standard error: the fault and the usage
};

struct Option
{
    enum class Form {
        Switch,   // --timings
        Value,    // --columns=LIST; "--columns=" is refused by take
        NonEmpty, // --explain=FILE; "--explain=" is no option at all, as a file has a name
        Alone,    // --help: answered at once, the rest of the line unread
    };
    std::string_view name;  // "--columns"
    std::string_view alias; // "-h", or empty
    Form form;
    std::string_view argument; // "LIST", after "=": empty for Switch and Alone
    // For the usage text: each line after the first stands under the one before.
    std::string_view help;
    // Takes the value after "=" (empty for Switch and Alone); the fault to say, or empty.
    std::string (*take)(std::string_view value, CommandLine &line);
};

std::span<const Option> options();

// "--columns=LIST": the option as the usage writes it.
std::string optionForm(const Option &option);

// The whole help: how to call, what each option does, the exit statuses.
std::string usageText();

// The arguments after the program's name, in order; the first fault ends the reading.
CommandLine parseCommandLine(std::span<const std::string_view> arguments);

// A message as reorder says it on standard error: "reorder: ", the message, a line end.
std::string errorLine(std::string_view message);

} // namespace lanshan::reorder
