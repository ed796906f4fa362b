// reorder: the filter driven by files, for batch checks, comparisons and benchmarks.
//
//   reorder [--duplicates=fail|first|last|empty] [--key-column=N|auto] [--columns=LIST]
//           [--explain=FILE] [--timings] KEYS DATA
//
// Writes the result text to standard output with LF line ends; with --columns, each result line
// cut to the listed columns (columnselection.h). --explain also writes the
// reconciliation report to FILE as UTF-8 TSV (reporttsv.h): why key lines found no row, which
// were left empty, which rows no line took; FILE is written as ReportFile says, never an input.
// Exit statuses as the usage text lists them. Without --explain, lines whose rows may not be
// their own are named on standard error with status 1.

#include "columnselection.h"
#include "filterrun.h"
#include "itemtext.h"
#include "matcher.h"
#include "prefetch.h"
#include "reconciliation.h"
#include "reportfile.h"
#include "reporttsv.h"
#include "rowcheck.h"
#include "textfile.h"
#include "version.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
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
#endif

namespace {

using namespace lanshan;
using Clock = std::chrono::steady_clock;

constexpr int exitOk = 0;
constexpr int exitWarning = 1;
constexpr int exitError = 2;
constexpr int exitQuestionable = 3;
constexpr int exitReportUnwritten = 4;

const char usage[] =
    "usage: reorder [--duplicates=fail|first|last|empty] [--key-column=N|auto] [--columns=LIST]\n"
    "               [--key-cells=LIST] [--explain=FILE] [--timings] KEYS DATA\n"
    "Writes the rows of DATA in the order of the key lines of KEYS to standard output.\n"
    "--columns=LIST  writes only these columns of each row, in the order listed, TAB between them:\n"
    "                column numbers from 1 and ranges, such as 3, 1,3, 2-4 or 4,1. A line without\n"
    "                a row stays empty; a row without such a column gives an empty cell. Matching,\n"
    "                the report and --explain are not affected.\n"
    "--key-cells=LIST  for key lines of several TAB-separated cells (学号, 姓名), which find the\n"
    "                rows that hold every one of their cells: only these cells of each line, by their\n"
    "                columns in KEYS, in the syntax of --columns (2, or 1,3).\n"
    "--key-column=N  a row belongs to a key line when its cell in column N (from 1) equals the key\n"
    "                line; auto: the column that holds most keys, or the usual rule where none does\n"
    "                (said on standard error).\n"
    "--explain=FILE  also writes the reconciliation report as UTF-8 TSV, one line per finding:\n"
    "                kind, key_line, row, cause, key, row_text. A near row's text is cut to its\n"
    "                first 200 characters and \"\u2026\"; an unused row's text is whole. In key and\n"
    "                row_text, \\\\ is a backslash, \\t TAB, \\r CR, \\n LF, and \\uXXXX any other\n"
    "                control character (C0, DEL, U+0085, U+2028, U+2029). A regular FILE (or a\n"
    "                new one; a symbolic link is followed) is replaced through a temporary file\n"
    "                of a unique name beside it only when the whole report was written; a\n"
    "                device, FIFO or terminal is written directly; a folder or a read-only file\n"
    "                is refused and left as it is; FILE may not be KEYS or DATA. Lines whose\n"
    "                rows may not be their own (kind suspect: other-column, the row holds the\n"
    "                key only outside the key column; shared-row, other lines were given the\n"
    "                same row) come last; without --explain they are named on standard error\n"
    "                and the exit status is 1.\n"
    "exit status:\n"
    "  0  done\n"
    "  1  done with a warning on standard error: an empty input or result, a result of\n"
    "     empty lines only, lines that found a row only outside the --key-column, or lines\n"
    "     whose rows may not be their own (without --explain)\n"
    "  2  nothing done: bad usage, an unreadable or non-UTF-8 input or --columns list,\n"
    "     --explain naming an input, fewer than two key lines, or out of memory\n"
    "  3  questionable lines unsettled (--duplicates=fail)\n"
    "  4  the result written but not the --explain report, FILE left as it was\n"
    "  ended by SIGINT (Ctrl+C), SIGTERM or SIGHUP: the signal's own status (130, 143, 129);\n"
    "     while the report is made, its temporary file is removed and FILE left as it was\n";

void printError(const std::string &message)
{
    std::fprintf(stderr, "reorder: %s\n", message.c_str());
}

std::string utf8(std::u16string_view text)
{
    std::string out;
    appendUtf8(out, text);
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

// Why a --columns list was refused, naming the item at fault.
std::string columnsFault(const ParsedColumns &parsed, std::string_view list)
{
    const std::string item = "\"" + utf8(parsed.item) + "\"";
    switch (parsed.fault) {
    // No header is known here: names are no columns.
    case ColumnsFault::NotANumber:
    case ColumnsFault::UnknownName:
    case ColumnsFault::SameName: return item + " is not a column number or a range such as 2-4";
    case ColumnsFault::Zero: return item + ": columns are numbered from 1";
    case ColumnsFault::TooLarge: return item + ": no column beyond " + std::to_string(ColumnSelection::maxColumns);
    case ColumnsFault::Reversed: return item + ": a range runs from the smaller number to the larger";
    case ColumnsFault::TooMany: return "more than " + std::to_string(ColumnSelection::maxColumns) + " columns listed";
    case ColumnsFault::None: break;
    }
    return "no column listed in \"" + std::string(list) + "\"";
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Writes the result lines, LF between them, in large blocks; each cut to the columns when some
// are chosen.
bool writeResult(const FilterRun &run, const ColumnSelection &columns)
{
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
            if (std::fwrite(block.data(), 1, block.size(), stdout) != block.size())
                return false;
            block.clear();
        }
    }
    if (!block.empty() && std::fwrite(block.data(), 1, block.size(), stdout) != block.size())
        return false;
    return std::fflush(stdout) == 0;
}

// Writes the report where the target says (ReportFile): on any failure, memory included, the
// target stays as it was and no file of the report's is left behind.
bool writeReport(const FilterRun &run, const std::filesystem::path &target, std::string &error, double &reportTime)
{
    ReportFile file(target);
    if (!file.open(error))
        return false;
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
        text += "outside the key column: entry " + std::to_string(i + 1) + " \"" + utf8(run.fixlines()[i]) + "\": row "
                + std::to_string(byRule.confirmedRows(i).front() + 1) + " (other-column)\n";
        if (text.size() >= (1 << 16)) {
            std::fputs(text.c_str(), stderr);
            text.clear();
        }
    }
    std::fputs(text.c_str(), stderr);
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
        text += "suspect entry " + std::to_string(line.keyLine + 1) + " \"" + utf8(run.fixlines()[line.keyLine])
                + "\": row " + std::to_string(line.row + 1) + " (" + causeCode(line.causes) + ")\n";
        if (text.size() >= (1 << 16)) {
            std::fputs(text.c_str(), stderr);
            text.clear();
        }
    }
    std::fputs(text.c_str(), stderr);
    if (!suspects.lines.empty())
        printError(std::to_string(suspects.lines.size())
                   + " lines whose rows may not be their own: held outside the key column or given to several lines");
    return !suspects.lines.empty();
}

void reportQuestionable(const FilterRun &run)
{
    std::string line = "questionable entry " + std::to_string(run.pickpos() + 1) + " \""
                       + utf8(run.fixlines()[run.pickpos()]) + "\": rows";
    for (std::size_t row : run.candidateRows())
        line += ' ' + std::to_string(row + 1);
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

int reorder(int argc, char **argv)
{
    // fail: ask, and list every questionable line.
    bool failOnQuestions = true;
    RunOptions options;
    bool timings = false;
    std::optional<std::string> explainPath;
    ColumnSelection columns;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return exitOk;
        } else if (arg == "--version") {
            std::printf("reorder %s\n", versionString);
            return exitOk;
        } else if (arg == "--timings") {
            timings = true;
        } else if (arg.starts_with("--explain=") && arg.size() > 10) {
            explainPath = std::string(arg.substr(10));
        } else if (arg.starts_with("--duplicates=")) {
            const std::string_view mode = arg.substr(13);
            failOnQuestions = mode == "fail";
            if (mode == "fail")
                options.duplicates = DuplicateRows::Ask;
            else if (mode == "first")
                options.duplicates = DuplicateRows::TakeFirst;
            else if (mode == "last")
                options.duplicates = DuplicateRows::TakeLast;
            else if (mode == "empty")
                options.duplicates = DuplicateRows::LeaveEmpty;
            else {
                printError("unknown --duplicates mode: " + std::string(mode));
                std::fputs(usage, stderr);
                return exitError;
            }
        } else if (arg.starts_with("--key-column=")) {
            const std::string_view column = arg.substr(13);
            std::size_t number = 0;
            const auto [end, error] = std::from_chars(column.data(), column.data() + column.size(), number);
            if (column == "auto") {
                options.keyColumn = KeyColumnChoice::automatic();
            } else if (error == std::errc() && end == column.data() + column.size() && number > 0) {
                options.keyColumn = KeyColumnChoice::inColumn(number);
            } else {
                printError("--key-column takes a column number from 1 or auto, not: " + std::string(column));
                std::fputs(usage, stderr);
                return exitError;
            }
        } else if (arg.starts_with("--key-cells=")) {
            const std::string_view list = arg.substr(12);
            DecodedText decoded = decodeUtf8Text(list);
            ParsedColumns parsed = decoded.badOffset ? ParsedColumns{} : ColumnSelection::parse(decoded.text);
            if (decoded.badOffset || !parsed.selection || parsed.selection->wholeRows()) {
                printError("--key-cells: "
                           + (decoded.badOffset ? "not UTF-8 at byte offset " + std::to_string(*decoded.badOffset)
                                                : columnsFault(parsed, list)));
                std::fputs(usage, stderr);
                return exitError;
            }
            options.keyCells.clear();
            for (const ColumnSelection::Range &range : parsed.selection->ranges()) {
                for (std::size_t cell = range.first; cell <= range.last; ++cell)
                    options.keyCells.push_back(cell);
            }
            std::sort(options.keyCells.begin(), options.keyCells.end());
            options.keyCells.erase(std::unique(options.keyCells.begin(), options.keyCells.end()),
                                   options.keyCells.end());
        } else if (arg.starts_with("--columns=")) {
            const std::string_view list = arg.substr(10);
            DecodedText decoded = decodeUtf8Text(list);
            if (decoded.badOffset) {
                printError("--columns: not UTF-8 at byte offset " + std::to_string(*decoded.badOffset));
                std::fputs(usage, stderr);
                return exitError;
            }
            ParsedColumns parsed = ColumnSelection::parse(decoded.text);
            if (!parsed.selection || parsed.selection->wholeRows()) {
                printError("--columns: " + columnsFault(parsed, list));
                std::fputs(usage, stderr);
                return exitError;
            }
            columns = std::move(*parsed.selection);
        } else if (arg.size() > 1 && arg.front() == '-' && arg != "--") {
            printError("unknown option: " + std::string(arg));
            std::fputs(usage, stderr);
            return exitError;
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.size() != 2) {
        std::fputs(usage, stderr);
        return exitError;
    }
    // The report never takes the place of an input.
    for (const std::string &input : files) {
        if (const std::string clash = explainPath ? ReportFile::inputClash(*explainPath, input) : std::string();
            !clash.empty()) {
            printError("--explain: " + clash);
            return exitError;
        }
    }

    const Clock::time_point readStart = Clock::now();
    std::optional<std::u16string> keys = readText(files[0]);
    if (!keys)
        return exitError;
    std::optional<std::u16string> data = readText(files[1]);
    if (!data)
        return exitError;
    const double readTime = millisecondsSince(readStart);

    const Clock::time_point matchStart = Clock::now();
    FilterRun run(std::move(*keys), std::move(*data), options);
    if (run.state() == FilterRun::State::TooFewLines) {
        printError("请在上面的输入框中输入待处理数据！");
        return exitError;
    }
    // One column cannot hold a line of several cells.
    if (options.keyColumn.kind == KeyColumnChoice::Kind::Column && run.keyListColumns() > 1) {
        printError("--key-column=" + std::to_string(options.keyColumn.column) + ": the key lines hold "
                   + std::to_string(run.keyListColumns())
                   + " cells each, which no one column holds; leave it out to match them all");
        return exitError;
    }
    if (options.keyColumn.kind == KeyColumnChoice::Kind::Auto && !run.matchColumn() && run.listColumns().empty())
        printError("no key column: no column holds the keys of more than half of the lines; matched by the rule");
    std::size_t questionable = 0;
    while (run.state() == FilterRun::State::AwaitingChoice) {
        ++questionable;
        reportQuestionable(run);
        run.ignore();
    }
    const double matchTime = millisecondsSince(matchStart);
    if (failOnQuestions && questionable > 0) {
        printError(std::to_string(questionable)
                   + " questionable lines; settle them with --duplicates=first, last or empty");
        return exitQuestionable;
    }

    const Clock::time_point writeStart = Clock::now();
    if (!writeResult(run, columns)) {
        printError("cannot write the result to standard output");
        return exitError;
    }
    const double writeTime = millisecondsSince(writeStart);

    const Clock::time_point explainStart = Clock::now();
    std::string explainError;
    double reportTime = 0;
    const bool explained = !explainPath || writeReport(run, *explainPath, explainError, reportTime);
    const double explainTime = millisecondsSince(explainStart);
    // Without the report, the lines whose rows may not be their own are named on standard error.
    const Clock::time_point checkStart = Clock::now();
    const SuspectLines suspects = explainPath ? SuspectLines{} : findSuspectLines(run);
    const double checkTime = millisecondsSince(checkStart);

    if (timings) {
        char explainPart[64] = "";
        if (explainPath)
            std::snprintf(explainPart, sizeof explainPart, ", explain %.1f ms (report %.1f ms)", explainTime,
                          reportTime);
        else
            std::snprintf(explainPart, sizeof explainPart, ", check %.1f ms", checkTime);
        std::fprintf(stderr, "reorder: read %.1f ms, match %.1f ms, write %.1f ms%s (%zu keys, %zu rows)\n", readTime,
                     matchTime, writeTime, explainPart, run.fixlines().size(), run.datalines().size());
    }
    if (!explained) {
        printError("cannot write the report " + *explainPath + ": " + explainError);
        return exitReportUnwritten;
    }
    if (run.needsWarning()) {
        printError("请确认您已经进行了正确的数据处理");
        return exitWarning;
    }
    if (everyLineEmpty(run)) {
        printError("every line of the result is empty: no key line was given a row");
        return exitWarning;
    }
    const bool otherColumn = reportOtherColumnLines(run);
    if (reportSuspects(run, suspects) || otherColumn)
        return exitWarning;
    return exitOk;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // Out of memory anywhere is said, with the run's status, rather than ending in a signal.
    try {
        return reorder(argc, argv);
    } catch (const std::bad_alloc &) {
        printError("out of memory");
    } catch (const std::length_error &) {
        printError("out of memory: the input is too large");
    }
    return exitError;
}
