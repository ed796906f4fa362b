// reorder: the filter driven by files, for batch checks, comparisons and benchmarks. Its options,
// their help and the exit statuses: reorder --help (reorderoptions.h, the one table of them).
//
// Writes the result text to standard output with LF line ends; with --columns, each result line
// cut to the listed columns (columnselection.h). --explain also writes the
// reconciliation report to FILE as UTF-8 TSV (reporttsv.h): why key lines found no row, which
// were left empty, which rows no line took; FILE is written as ReportFile says, never an input.
// Without --explain, lines whose rows may not be their own are named on standard error with
// status 1. --take-reliable gives lines their near rows as the window's 采用全部可靠行 does, each
// named on standard error, with status 1.

#include "columnselection.h"
#include "filterrun.h"
#include "itemtext.h"
#include "matcher.h"
#include "prefetch.h"
#include "reconciliation.h"
#include "reorderoptions.h"
#include "reportfile.h"
#include "reporttsv.h"
#include "rowcheck.h"
#include "textfile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <signal.h>
#endif

namespace {

using namespace lanshan;
using namespace lanshan::reorder;
using Clock = std::chrono::steady_clock;

// How far the run got, for the status and the words of a failure that may come anywhere (memory
// that runs out): nothing done, a result cut short, or a whole result without what follows it.
struct Progress
{
    bool resultStarted = false; // some of it may stand on standard output
    bool resultWhole = false;
    const char *making = ""; // what was being made after the result, lost where it fails
};

Progress progress;

// Standard error is unbuffered: whole lines, or blocks of them, in one write each. Written
// whatever the bytes, a NUL among them included; a fault shows in ferror(stderr).
void say(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
}

void printError(const std::string &message)
{
    say(errorLine(message));
}

// A key line as the report shows it: its control characters escaped, so that it stays one line
// and whole.
std::string shown(std::u16string_view text)
{
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::optional<std::u16string> readText(const std::string &path)
{
    std::string error;
    std::optional<std::string> bytes = readFileBytes(path, error);
    if (!bytes) {
        printError("cannot read " + path + ": " + error);
        return std::nullopt;
    }
    DecodedText decoded = decodeUtf8Text(*bytes);
    if (decoded.badOffset) {
        printError(path + ": not UTF-8 at byte offset " + std::to_string(*decoded.badOffset));
        return std::nullopt;
    }
    return std::move(decoded.text);
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Writes the result lines, LF between them, in large blocks; each cut to the columns when some
// are chosen. False, errno set, where it could not be written whole.
bool writeResult(const FilterRun &run, const ColumnSelection &columns)
{
    const auto put = [](const std::string &block) {
        progress.resultStarted = true;
        errno = 0;
        return std::fwrite(block.data(), 1, block.size(), stdout) == block.size();
    };
    std::string block;
    block.reserve(1 << 20);
    std::u16string cells;
    constexpr std::size_t ahead = 16;
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        // The rows come out in key order, scattered over the data text: fetch ahead.
        if (i + ahead < run.resultCount())
            prefetch(run.result(i + ahead).data());
        if (i > 0)
            block += '\n';
        if (columns.wholeRows()) {
            appendUtf8(block, run.result(i));
        } else if (run.resultRow(i)) {
            cells.clear();
            columns.appendCells(run.result(i), cells);
            appendUtf8(block, cells);
        }
        if (block.size() >= (1 << 20)) {
            if (!put(block))
                return false;
            block.clear();
        }
    }
    if (!block.empty() && !put(block))
        return false;
    errno = 0;
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// Writes the report where the target says (ReportFile): on any failure, memory included, the
// target stays as it was and no file of the report's is left behind.
bool writeReport(const FilterRun &run, const std::filesystem::path &target, std::string &error, double &reportTime)
{
    ReportFile file(target);
    if (!file.open(error))
        return false;
#ifndef _WIN32
    // For the tests of the signals: stopped here, its temporary file made, the run waits for them.
    if (std::getenv("LANSHAN_REORDER_STOP_AT_REPORT"))
        std::raise(SIGSTOP);
#endif
    try {
        const Clock::time_point reportStart = Clock::now();
        const Reconciliation report = reconcile(run);
        reportTime = millisecondsSince(reportStart);
        writeReportTsv(run, report, [&](std::string_view block) { return file.write(block); });
    } catch (const std::bad_alloc &) {
        error = "out of memory";
        return false;
    } catch (const std::exception &e) {
        error = e.what();
        return false;
    }
    return file.commit(error);
}

// The lines of a run matched in one column that found no row there but would by the rule: the
// row holds their key only outside the key column. Named on standard error; true where any.
bool reportOtherColumnLines(const FilterRun &run)
{
    if (!run.matchColumn())
        return false;
    const Matcher byRule(run.fixlines(), run.datalines());
    std::string text;
    std::size_t count = 0;
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (run.resultRow(i) || run.leftEmpty(i) || byRule.confirmedRows(i).empty())
            continue;
        ++count;
        text += "outside the key column: entry " + std::to_string(i + 1) + " \"" + shown(run.fixlines()[i]) + "\": row "
                + std::to_string(byRule.confirmedRows(i).front() + 1) + " (other-column)\n";
        if (text.size() >= (1 << 16)) {
            say(text);
            text.clear();
        }
    }
    say(text);
    if (count > 0)
        printError(std::to_string(count) + " lines found a row only outside key column "
                   + std::to_string(*run.matchColumn()) + " and were left empty");
    return count > 0;
}

bool everyLineEmpty(const FilterRun &run)
{
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (!run.result(i).empty())
            return false;
    }
    return true;
}

bool reportSuspects(const FilterRun &run, const SuspectLines &suspects)
{
    // Standard error is unbuffered: the lines go out in blocks.
    std::string text;
    for (const SuspectLine &line : suspects.lines) {
        text += "suspect entry " + std::to_string(line.keyLine + 1) + " \"" + shown(run.fixlines()[line.keyLine])
                + "\": row " + std::to_string(line.row + 1) + " (" + causeCode(line.causes) + ")\n";
        if (text.size() >= (1 << 16)) {
            say(text);
            text.clear();
        }
    }
    say(text);
    if (!suspects.lines.empty())
        printError(std::to_string(suspects.lines.size())
                   + " lines whose rows may not be their own: held outside the key column or given to several lines");
    return !suspects.lines.empty();
}

void reportQuestionable(const FilterRun &run)
{
    std::string line = "questionable entry " + std::to_string(run.pickpos() + 1) + " \""
                       + shown(run.fixlines()[run.pickpos()]) + "\": rows";
    for (std::size_t row : run.candidateRows())
        line += ' ' + std::to_string(row + 1);
    line += '\n';
    say(line);
}

// Said at a terminal, where there are no boxes to point to: they name the file to look at.
std::string tooFewKeyLines(const Settings &settings)
{
    return "键文件 " + settings.files[0] + " 不足两行：至少要有两行关键字才能筛选。";
}

std::string emptyInput(const Settings &settings)
{
    return "键文件 " + settings.files[0] + " 或数据文件 " + settings.files[1] + " 为空，结果中没有数据行，请检查输入。";
}

// How long each step took, for --timings.
struct Timings
{
    double read = 0;
    double match = 0;
    double write = 0;
    double explain = 0; // the report written, its making included
    double report = 0;  // the report made
    double check = 0;   // without the report: the rows checked
};

// The report never takes the place of an input.
bool reportApartFromInputs(const Settings &settings)
{
    if (!settings.explainPath)
        return true;
    for (const std::string &input : settings.files) {
        if (const std::string clash = ReportFile::inputClash(*settings.explainPath, input); !clash.empty()) {
            printError("--explain: " + clash);
            return false;
        }
    }
    return true;
}

struct Inputs
{
    std::u16string keys;
    std::u16string data;
};

std::optional<Inputs> readInputs(const Settings &settings, Timings &timings)
{
    const Clock::time_point start = Clock::now();
    std::optional<std::u16string> keys = readText(settings.files[0]);
    if (!keys)
        return std::nullopt;
    std::optional<std::u16string> data = readText(settings.files[1]);
    if (!data)
        return std::nullopt;
    timings.read = millisecondsSince(start);
    return Inputs{std::move(*keys), std::move(*data)};
}

// The near rows that are surely their lines' own, taken into the run as 采用全部可靠行 takes them,
// each named on standard error. Returns how many.
std::size_t takeReliableRows(FilterRun &run)
{
    const Reconciliation report = reconcile(run);
    std::string text;
    std::size_t count = 0;
    for (const auto &[keyLine, row] : safeAdoptions(report, run.fixlines())) {
        const auto missing = std::ranges::lower_bound(report.missing, keyLine, {}, &MissingKey::keyLine);
        const auto near = std::ranges::find(missing->nearRows, row, &NearRow::row);
        run.adopt(keyLine, row);
        ++count;
        text += "taken for entry " + std::to_string(keyLine + 1) + " \"" + shown(run.fixlines()[keyLine]) + "\": row "
                + std::to_string(row + 1) + " (" + causeCode(near->causes) + ")\n";
        if (text.size() >= (1 << 16)) {
            say(text);
            text.clear();
        }
    }
    say(text);
    if (count > 0)
        printError(std::to_string(count) + " lines given a near row by --take-reliable");
    return count;
}

// Takes the run to its end: each questionable line is named and left open. The exit status
// where nothing is to be written.
std::optional<int> settleRun(FilterRun &run, const Settings &settings)
{
    if (run.state() == FilterRun::State::TooFewLines) {
        printError(tooFewKeyLines(settings));
        return exitError;
    }
    const KeyColumnChoice &keyColumn = settings.run.keyColumn;
    // One column cannot hold a line of several cells.
    if (keyColumn.kind == KeyColumnChoice::Kind::Column && run.keyListColumns() > 1) {
        printError("--key-column=" + std::to_string(keyColumn.column) + ": the key lines hold "
                   + std::to_string(run.keyListColumns())
                   + " cells each, which no one column holds; leave it out to match them all");
        return exitError;
    }
    if (keyColumn.kind == KeyColumnChoice::Kind::Auto && !run.matchColumn() && run.listColumns().empty())
        printError("no key column: no column holds the keys of more than half of the lines; matched by the rule");
    std::size_t questionable = 0;
    while (run.state() == FilterRun::State::AwaitingChoice) {
        ++questionable;
        reportQuestionable(run);
        run.ignore();
    }
    if (settings.failOnQuestions && questionable > 0) {
        printError(std::to_string(questionable)
                   + " questionable lines; settle them with --duplicates=first, last or empty");
        return exitQuestionable;
    }
    return std::nullopt;
}

// What follows the result: the report where --explain names one, else the lines whose rows may
// not be their own, for standard error.
struct Afterwards
{
    bool explained = true;
    std::string reportFault; // why the report was not written
    SuspectLines suspects;
};

Afterwards explainOrCheck(const FilterRun &run, const Settings &settings, Timings &timings)
{
    Afterwards after;
    const Clock::time_point explainStart = Clock::now();
    if (settings.explainPath)
        after.explained = writeReport(run, *settings.explainPath, after.reportFault, timings.report);
    timings.explain = millisecondsSince(explainStart);
    const Clock::time_point checkStart = Clock::now();
    if (!settings.explainPath)
        after.suspects = findSuspectLines(run);
    timings.check = millisecondsSince(checkStart);
    return after;
}

void sayTimings(const FilterRun &run, const Settings &settings, const Timings &timings)
{
    char explainPart[64] = "";
    if (settings.explainPath)
        std::snprintf(explainPart, sizeof explainPart, ", explain %.1f ms (report %.1f ms)", timings.explain,
                      timings.report);
    else
        std::snprintf(explainPart, sizeof explainPart, ", check %.1f ms", timings.check);
    std::fprintf(stderr, "reorder: read %.1f ms, match %.1f ms, write %.1f ms%s (%zu keys, %zu rows)\n", timings.read,
                 timings.match, timings.write, explainPart, run.fixlines().size(), run.datalines().size());
}

// The last words on standard error, the first that applies, and the exit status they give.
int saySummary(const FilterRun &run, const Settings &settings, const Afterwards &after)
{
    if (!after.explained) {
        printError("cannot write the report " + *settings.explainPath + ": " + after.reportFault);
        return exitResultOnly;
    }
    if (run.needsWarning()) {
        printError(emptyInput(settings));
        return exitWarning;
    }
    if (everyLineEmpty(run)) {
        printError("every line of the result is empty: no key line was given a row");
        return exitWarning;
    }
    const bool otherColumn = reportOtherColumnLines(run);
    if (reportSuspects(run, after.suspects) || otherColumn)
        return exitWarning;
    return exitOk;
}

int reorderFiles(int argc, char **argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const CommandLine line = parseCommandLine(arguments);
    if (line.exitStatus) {
        std::fputs(line.out.c_str(), stdout);
        say(line.err);
        return *line.exitStatus;
    }
    const Settings &settings = line.settings;
    if (!reportApartFromInputs(settings))
        return exitError;
    Timings timings;
    std::optional<Inputs> inputs = readInputs(settings, timings);
    if (!inputs)
        return exitError;

    const Clock::time_point matchStart = Clock::now();
    FilterRun run(std::move(inputs->keys), std::move(inputs->data), settings.run);
    if (const std::optional<int> ended = settleRun(run, settings))
        return *ended;
    timings.match = millisecondsSince(matchStart);
    const std::size_t taken = settings.takeReliable ? takeReliableRows(run) : 0;

    const Clock::time_point writeStart = Clock::now();
    if (!writeResult(run, settings.columns)) {
        const int writeErrno = errno;
        printError(std::string("cannot write the whole result to standard output: ")
                   + (writeErrno ? std::strerror(writeErrno) : "write error"));
        return exitResultCut;
    }
    timings.write = millisecondsSince(writeStart);
    progress.resultWhole = true;

    progress.making =
        settings.explainPath ? "the --explain report" : "the check of the lines whose rows may not be their own";
    const Afterwards after = explainOrCheck(run, settings, timings);
    progress.making = "the warnings on standard error";
    if (settings.timings)
        sayTimings(run, settings, timings);
    const int status = saySummary(run, settings, after);
    // Warnings that standard error did not take are lost: the run is not done as it says.
    if (std::fflush(stderr) != 0 || std::ferror(stderr))
        return exitResultOnly;
    return status == exitOk && taken > 0 ? exitWarning : status;
}

// Said without making a string, as there is no memory to make one with; the status by how far
// the run got.
int outOfMemory(const char *detail)
{
    if (!progress.resultStarted) {
        std::fputs("reorder: out of memory", stderr);
        std::fputs(detail, stderr);
        std::fputs("\n", stderr);
        return exitError;
    }
    if (!progress.resultWhole) {
        std::fputs("reorder: out of memory: the result on standard output is cut short\n", stderr);
        return exitResultCut;
    }
    std::fputs("reorder: out of memory after the whole result was written: ", stderr);
    std::fputs(progress.making, stderr);
    std::fputs(" not made\n", stderr);
    return exitResultOnly;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#else
    // A reader that stops early ends the run as it ends any command of a pipe, whatever the
    // caller left ignored or blocked.
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    sigprocmask(SIG_UNBLOCK, &brokenPipe, nullptr);
#endif
    // Out of memory anywhere is said, with the run's status, rather than ending in a signal.
    try {
        return reorderFiles(argc, argv);
    } catch (const std::bad_alloc &) {
        return outOfMemory("");
    } catch (const std::length_error &) {
        return outOfMemory(": the input is too large");
    }
}
