#include "reorderoptions.h"

#include "reportwording.h"
#include "textfile.h"
#include "version.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace lanshan::reorder {

namespace {

// The column the help's text starts at, how far a form may reach past it with the help still
// beside it, and the widest line of the synopsis.
constexpr std::size_t helpIndent = 16;
constexpr std::size_t widestFormBeside = 4;
constexpr std::size_t synopsisWidth = 100;

const char exitStatuses[] = "exit status:\n"
                            "  0  done\n"
                            "  1  done with a warning on standard error: an empty input or result, a result of\n"
                            "     empty lines only, lines that found a row only outside the --key-column, or lines\n"
                            "     whose rows may not be their own (without --explain), or rows taken by\n"
                            "     --take-reliable\n"
                            "  2  nothing done, nothing on standard output: bad usage, an unreadable or non-UTF-8\n"
                            "     input or --columns list, --explain naming an input, fewer than two key lines, or\n"
                            "     out of memory\n"
                            "  3  questionable lines unsettled (--duplicates=fail)\n"
                            "  4  the whole result written, but not all that follows it, named on standard error: the\n"
                            "     --explain report (FILE left as it was), the warnings (standard error failed), or\n"
                            "     what ran out of memory\n"
                            "  5  the result not written whole (a full disk, a write error): what stands on standard\n"
                            "     output is cut short; said on standard error\n"
                            "  ended by a signal, as any program: SIGPIPE (141) where the reader of standard output\n"
                            "     stops early; SIGINT (Ctrl+C, 130), SIGTERM (143), SIGHUP (129), SIGQUIT, SIGUSR1,\n"
                            "     SIGUSR2, SIGALRM, SIGXCPU and SIGPIPE first remove the report's temporary file,\n"
                            "     FILE left as it was; SIGKILL cannot be caught and leaves it: .FILE.reorder-XXXX\n"
                            "     (16 hexadecimal digits) beside FILE\n";

// Why a list of columns was refused, naming the item at fault.
std::string columnsFault(const ParsedColumns &parsed, std::string_view list)
{
    std::string item = "\"";
    appendUtf8(item, parsed.item);
    item += '"';
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

// A list of columns as --columns and --key-cells take it: at least one column, in UTF-8.
std::optional<ColumnSelection> columnList(std::string_view option, std::string_view list, std::string &fault)
{
    const DecodedText decoded = decodeUtf8Text(list);
    if (decoded.badOffset) {
        fault = std::string(option) + ": not UTF-8 at byte offset " + std::to_string(*decoded.badOffset);
        return std::nullopt;
    }
    ParsedColumns parsed = ColumnSelection::parse(decoded.text);
    if (!parsed.selection || parsed.selection->wholeRows()) {
        fault = std::string(option) + ": " + columnsFault(parsed, list);
        return std::nullopt;
    }
    return std::move(parsed.selection);
}

std::string takeDuplicates(std::string_view mode, CommandLine &line)
{
    static constexpr std::pair<std::string_view, DuplicateRows> modes[] = {
        {"fail", DuplicateRows::Ask},
        {"first", DuplicateRows::TakeFirst},
        {"last", DuplicateRows::TakeLast},
        {"empty", DuplicateRows::LeaveEmpty},
    };
    for (const auto &[name, rows] : modes) {
        if (mode == name) {
            line.settings.run.duplicates = rows;
            line.settings.failOnQuestions = rows == DuplicateRows::Ask;
            return {};
        }
    }
    return "unknown --duplicates mode: " + std::string(mode);
}

std::string takeKeyColumn(std::string_view column, CommandLine &line)
{
    if (column == "auto") {
        line.settings.run.keyColumn = KeyColumnChoice::automatic();
        return {};
    }
    std::size_t number = 0;
    const char *end = column.data() + column.size();
    if (const auto [at, error] = std::from_chars(column.data(), end, number);
        error == std::errc() && at == end && number > 0) {
        line.settings.run.keyColumn = KeyColumnChoice::inColumn(number);
        return {};
    }
    return "--key-column takes a column number from 1 or auto, not: " + std::string(column);
}

std::string takeColumns(std::string_view list, CommandLine &line)
{
    std::string fault;
    if (std::optional<ColumnSelection> columns = columnList("--columns", list, fault))
        line.settings.columns = std::move(*columns);
    return fault;
}

// The run takes the cells as a set: each once, ascending.
std::string takeKeyCells(std::string_view list, CommandLine &line)
{
    std::string fault;
    const std::optional<ColumnSelection> cells = columnList("--key-cells", list, fault);
    if (!cells)
        return fault;
    std::vector<std::size_t> &keyCells = line.settings.run.keyCells;
    keyCells.clear();
    for (const ColumnSelection::Range &range : cells->ranges()) {
        for (std::size_t cell = range.first; cell <= range.last; ++cell)
            keyCells.push_back(cell);
    }
    std::ranges::sort(keyCells);
    keyCells.erase(std::unique(keyCells.begin(), keyCells.end()), keyCells.end());
    return {};
}

std::string takeExplain(std::string_view file, CommandLine &line)
{
    line.settings.explainPath = std::string(file);
    return {};
}

std::string takeTakeReliable(std::string_view, CommandLine &line)
{
    line.settings.takeReliable = true;
    return {};
}

std::string takeTimings(std::string_view, CommandLine &line)
{
    line.settings.timings = true;
    return {};
}

std::string takeHelp(std::string_view, CommandLine &line)
{
    line.out = usageText();
    line.exitStatus = exitOk;
    return {};
}

std::string takeVersion(std::string_view, CommandLine &line)
{
    line.out = std::string("reorder ") + versionString + "\n";
    line.exitStatus = exitOk;
    return {};
}

// The help of --explain, with the length at which the report cuts a near row's text.
std::string_view explainHelp()
{
    static const std::string help = [] {
        std::string text = "also writes the reconciliation report as UTF-8 TSV, one line per finding:\n"
                           "kind, key_line, row, cause, key, row_text. A near row's text is cut to its\n"
                           "first ";
        text += std::to_string(nearRowTextLength);
        text += " characters and \"\u2026\"; an unused row's text is whole. In key and\n"
                "row_text, \\\\ is a backslash, \\t TAB, \\r CR, \\n LF, and \\uXXXX any other\n"
                "control character (C0, DEL, U+0085, U+2028, U+2029), on standard error too.\n"
                "A regular FILE (or a new one) is replaced through a temporary file of a\n"
                "unique name beside it only when the whole report was written, keeping its\n"
                "mode (a new one: 0666 less the umask), and its owner and group where the\n"
                "caller may set them. A symbolic link is followed to the file at the end of\n"
                "its chain, which is replaced, the links left as they are; a chain of more\n"
                "than 40 links (a loop) and a link in a sticky folder that anyone may write\n"
                "to, owned neither by the caller nor by the folder's owner, are refused. The\n"
                "file of standard output or standard error gets the report after what was\n"
                "written to it; a device, FIFO or terminal is written directly; a folder or a\n"
                "read-only file is refused and left as it is; FILE may not be KEYS or DATA.\n"
                "Lines whose rows may not be their own (kind suspect: other-column, the row\n"
                "holds the key only outside the key column; shared-row, other lines were\n"
                "given the same row) come last; without --explain they are named on standard\n"
                "error and the exit status is 1. Lines given a near row by --take-reliable\n"
                "(kind taken, with the causes of that row) come after them.";
        return text;
    }();
    return help;
}

using Form = Option::Form;

const Option table[] = {
    {"--duplicates", "", Form::Value, "fail|first|last|empty",
     "what becomes of a key line that several rows belong to: fail (the default) names\n"
     "such lines on standard error and writes no result (status 3); first and last take\n"
     "the first or the last of its rows in DATA; empty leaves the line empty.",
     takeDuplicates},
    {"--key-column", "", Form::Value, "N|auto",
     "a row belongs to a key line when its cell in column N (from 1) equals the key\n"
     "line; auto: the column that holds most keys, or the usual rule where none does\n"
     "(said on standard error).",
     takeKeyColumn},
    {"--columns", "", Form::Value, "LIST",
     "writes only these columns of each row, in the order listed, TAB between them:\n"
     "column numbers from 1 and ranges, such as 3, 1,3, 2-4 or 4,1. A line without\n"
     "a row stays empty; a row without such a column gives an empty cell. Matching,\n"
     "the report and --explain are not affected.",
     takeColumns},
    {"--key-cells", "", Form::Value, "LIST",
     "for key lines of several TAB-separated cells (学号, 姓名), which find the\n"
     "rows that hold every one of their cells: only these cells of each line, by their\n"
     "columns in KEYS, in the syntax of --columns (2, or 1,3).",
     takeKeyCells},
    {"--take-reliable", "", Form::Switch, "",
     "gives each key line without a row its near row where that row is surely its own,\n"
     "as the window's 采用全部可靠行 does: the row differs from the key only by spaces,\n"
     "invisible characters, width, case, traditional forms or the last column; of a line\n"
     "of several cells, it holds at least one cell as it is, the others so or not at all,\n"
     "and no other value where the list's column stands; and it is the line's only such\n"
     "row and no other line's. Each taking is named on standard error (entry, key, row,\n"
     "causes) and the exit status is 1.",
     takeTakeReliable},
    {"--explain", "", Form::NonEmpty, "FILE", explainHelp(), takeExplain},
    {"--timings", "", Form::Switch, "",
     "also says on standard error how long reading, matching, writing and the report\n"
     "(or, without --explain, the check of the rows) took.",
     takeTimings},
    {"--help", "-h", Form::Alone, "", "shows this text.", takeHelp},
    {"--version", "", Form::Alone, "", "shows the version of reorder.", takeVersion},
};

// The option an argument gives, or none; the value after "=" with it.
const Option *findOption(std::string_view argument, std::string_view &value)
{
    for (const Option &option : table) {
        if (option.form == Form::Switch || option.form == Form::Alone) {
            if (argument == option.name || (!option.alias.empty() && argument == option.alias))
                return &option;
            continue;
        }
        const std::string prefix = std::string(option.name) + "=";
        if (argument.starts_with(prefix) && (option.form == Form::Value || argument.size() > prefix.size())) {
            value = argument.substr(prefix.size());
            return &option;
        }
    }
    return nullptr;
}

// How to call: the options of a run, wrapped under the first line's, then those answered alone.
std::string synopsis()
{
    const std::string indent(std::string_view("usage: reorder ").size(), ' ');
    std::string text = "usage: reorder ";
    std::size_t lineStart = 0;
    const auto add = [&](const std::string &word) {
        const std::size_t length = text.size() - lineStart;
        if (length > indent.size() && length + 1 + word.size() > synopsisWidth) {
            lineStart = text.size() + 1;
            text += "\n" + indent;
        } else if (length > indent.size()) {
            text += ' ';
        }
        text += word;
    };
    std::string alone;
    for (const Option &option : table) {
        if (option.form != Form::Alone) {
            // Appended piece by piece: at -O3 GCC 12 takes operator+ of a literal and a
            // temporary for an overlapping copy (-Wrestrict).
            std::string form = "[";
            form += optionForm(option);
            form += ']';
            add(form);
        } else {
            alone += (alone.empty() ? "" : " | ") + std::string(option.name);
        }
    }
    add("KEYS DATA");
    return text + "\n       reorder " + alone + "\n";
}

// The option's form, then its help, each line after the first indented to the same column; a
// wide form has its help start on the next line.
std::string optionHelp(const Option &option)
{
    std::string text = optionForm(option);
    if (!option.alias.empty())
        text += ", " + std::string(option.alias);
    if (text.size() > helpIndent + widestFormBeside)
        text += "\n" + std::string(helpIndent, ' ');
    else
        text += std::string(text.size() + 2 < helpIndent ? helpIndent - text.size() : 2, ' ');
    for (const char c : option.help) {
        text += c;
        if (c == '\n')
            text += std::string(helpIndent, ' ');
    }
    return text + "\n";
}

CommandLine refuse(CommandLine line, const std::string &fault)
{
    line.err = (fault.empty() ? std::string() : errorLine(fault)) + usageText();
    line.exitStatus = exitError;
    return line;
}

} // namespace

std::span<const Option> options()
{
    return table;
}

std::string optionForm(const Option &option)
{
    if (option.argument.empty())
        return std::string(option.name);
    return std::string(option.name) + "=" + std::string(option.argument);
}

std::string usageText()
{
    std::string text = synopsis();
    text += "Writes the rows of DATA in the order of the key lines of KEYS to standard output.\n";
    for (const Option &option : table)
        text += optionHelp(option);
    return text + exitStatuses;
}

CommandLine parseCommandLine(std::span<const std::string_view> arguments)
{
    CommandLine line;
    for (const std::string_view argument : arguments) {
        std::string_view value;
        std::string fault;
        if (const Option *option = findOption(argument, value))
            fault = option->take(value, line);
        else if (argument.size() > 1 && argument.front() == '-' && argument != "--")
            fault = "unknown option: " + std::string(argument);
        else
            line.settings.files.emplace_back(argument);
        if (!fault.empty())
            return refuse(std::move(line), fault);
        if (line.exitStatus)
            return line;
    }
    // Without a fault to name, the usage says what is missing.
    if (line.settings.files.size() != 2)
        return refuse(std::move(line), {});
    return line;
}

std::string errorLine(std::string_view message)
{
    // A name from the command line may hold any byte: its control characters are written as the
    // report writes them (reporttsv.h), so that the message stays one line and whole. Backslashes
    // stay, as they part the folders of a Windows path.
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string line = "reorder: ";
    for (std::size_t i = 0; i < message.size(); ++i) {
        const auto byte = [&](std::size_t at) {
            return at < message.size() ? static_cast<unsigned char>(message[at]) : 0;
        };
        const unsigned char c = byte(i);
        constexpr unsigned none = 0x10000;
        unsigned code = none;
        if (c == 0xC2 && byte(i + 1) == 0x85) { // U+0085
            code = 0x85;
            i += 1;
        } else if (c == 0xE2 && byte(i + 1) == 0x80 && (byte(i + 2) == 0xA8 || byte(i + 2) == 0xA9)) { // U+2028, U+2029
            code = 0x2000 + byte(i + 2) - 0x80;
            i += 2;
        } else if (c < 0x20 || c == 0x7F) {
            code = c;
        }
        if (code == '\t' || code == '\r' || code == '\n') {
            line += '\\';
            line += code == '\t' ? 't' : code == '\r' ? 'r' : 'n';
        } else if (code != none) {
            line += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                line += hexDigits[(code >> shift) & 0xF];
        } else {
            line += static_cast<char>(c);
        }
    }
    return line + "\n";
}

} // namespace lanshan::reorder
