// libFuzzer target: the filter run against the literal n x m scan of literalscan.h.
//
// The input bytes become two UTF-16 texts and a stream of choices:
//   0x00-0x7F   that ASCII unit (NUL, TAB, lone CR and lone LF included)
//   0x80-0xEF   one unit of the table below (spaces, lone surrogates, look-alikes of spaces)
//   0xF0-0xFB   one emoji, a surrogate pair
//   0xFC        U+0020
//   0xFD        CR LF
//   0xFE        the next two bytes, little-endian, as one unit (any value)
//   0xFF        the end of the keys; a second 0xFF starts the choices
// Each run is settled four ways: always the first row, always the last, always left empty,
// and by the choice bytes (a byte picks a row, or leaves the line empty; when they run out,
// the first row). Any difference from the literal scan aborts with both inputs printed. The
// reconciliation of the run left with empty lines must account for every row once, and taking
// its reliable near rows must give their keys a row. Matching in the key column must give each
// line the first row holding its key there, and the suspect lines must be those a plain look at
// the result finds.

#include "filterrun.h"
#include "keyrule.h"
#include "linetable.h"
#include "literalscan.h"
#include "reconciliation.h"
#include "reporttsv.h"
#include "rowcells.h"
#include "rowcheck.h"
#include "runcomparison.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace lit = lanshan::literal;
using lit::shown;

constexpr char16_t unusualUnits[] = {
    u' ',      u'\t',     u'\r',     u'\n',     u'\0',     u'.',      u'1',      u'a',
    u'\u3000', u'\u00a0', u'\u2028', u'\u2029', u'\u200f', u'\u202e', u'\ufeff', u'\u5f20',
    0xD800,    0xDBFF,    0xDC00,    0xDFFF,    0xD83D,    0xDE00,    u'\u0d0a', u'\u0a0d',
    u'\u0a00', u'\u000d', u'\uffff', u'\ufffd', u'\uff21', u'\u0085', u'\u000b', u'\u000c',
};

struct Input
{
    std::u16string keys;
    std::u16string data;
    std::string choices;
};

Input decode(const std::uint8_t *bytes, std::size_t size)
{
    Input in;
    std::u16string *text = &in.keys;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t b = bytes[i++];
        if (b < 0x80) {
            *text += static_cast<char16_t>(b);
        } else if (b < 0xF0) {
            *text += unusualUnits[(b - 0x80) % std::size(unusualUnits)];
        } else if (b < 0xFC) {
            const char32_t emoji = U'\U0001F600' + (b - 0xF0);
            *text += static_cast<char16_t>(0xD800 + ((emoji - 0x10000) >> 10));
            *text += static_cast<char16_t>(0xDC00 + ((emoji - 0x10000) & 0x3FF));
        } else if (b == 0xFC) {
            *text += u' ';
        } else if (b == 0xFD) {
            *text += u"\r\n";
        } else if (b == 0xFE) {
            char16_t unit = i < size ? bytes[i++] : 0;
            if (i < size)
                unit = static_cast<char16_t>(unit | (bytes[i++] << 8));
            *text += unit;
        } else if (text == &in.keys) {
            text = &in.data;
        } else {
            in.choices.assign(reinterpret_cast<const char *>(bytes + i), size - i);
            break;
        }
    }
    return in;
}

// Any difference ends the fuzzing with both inputs printed.
void abortOnMismatch(const Input &in, const char *check, const lit::Mismatches &m)
{
    if (m.empty())
        return;
    std::fprintf(stderr, "engine and literal scan differ (%s):\n%s", check, m.text().c_str());
    std::fprintf(stderr, "  keys   = %s\n  data   = %s\n", shown(in.keys).c_str(), shown(in.data).c_str());
    std::abort();
}

// The key rule, key line by data row.
void compareKeyRule(const Input &in, const lit::Lines &keys, const lit::Lines &rows)
{
    lit::Mismatches m;
    for (const std::u16string &key : keys) {
        m.check([&] { return "isEmptyKey of " + shown(key); }, lanshan::isEmptyKey(key), lit::isEmptyKey(key));
        for (std::size_t j = 0; j < rows.size(); ++j) {
            const auto at = [&] { return "key " + shown(key) + ", row " + std::to_string(j) + ": "; };
            const bool candidate = lit::isCandidate(key, rows[j]);
            const bool confirmed = lit::isConfirmed(key, lit::candidateEntry(j, rows[j]));
            m.check([&] { return at() + "isCandidate"; }, lanshan::isCandidate(key, rows[j]), candidate);
            m.check([&] { return at() + "belongsTo"; }, lanshan::belongsTo(key, rows[j], j), candidate && confirmed);
        }
    }
    abortOnMismatch(in, "key rule", m);
}

void compareRun(const Input &in, const char *check, const lit::Assembly &want)
{
    lit::Mismatches m;
    lit::compareRun(m, in.keys, in.data, want, "");
    abortOnMismatch(in, check, m);
}

void abortOnReport(const Input &in, const char *fault)
{
    std::fprintf(stderr, "reconciliation: %s\n  keys   = %s\n  data   = %s\n", fault, shown(in.keys).c_str(),
                 shown(in.data).c_str());
    std::abort();
}

void checkReconciliation(const Input &in)
{
    lanshan::FilterRun run(in.keys, in.data);
    while (run.state() == lanshan::FilterRun::State::AwaitingChoice)
        run.ignore();
    if (run.state() != lanshan::FilterRun::State::Finished)
        return;
    const lanshan::Reconciliation report = lanshan::reconcile(run);
    enum Seen : char { Not, Used, Unused };
    std::vector<Seen> seen(run.datalines().size(), Not);
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (const auto row = run.resultRow(i))
            seen[*row] = Used;
    }
    for (const lanshan::UnusedRow &unused : report.unused) {
        if (seen[unused.row] != Not)
            abortOnReport(in, "a row listed unused twice or also used");
        seen[unused.row] = Unused;
    }
    for (std::size_t row = 0; row < seen.size(); ++row) {
        const bool blank = run.datalines()[row].find_first_not_of(u" \t") == std::u16string_view::npos;
        if ((seen[row] == Not) != blank)
            abortOnReport(in, "a row neither used nor unused, or a blank one listed");
    }
    for (const lanshan::MissingKey &key : report.missing) {
        for (const lanshan::NearRow &near : key.nearRows) {
            if (seen[near.row] != Unused)
                abortOnReport(in, "a near row that is not unused");
        }
    }
    // The TSV: one line a finding, six fields each, whatever the texts hold.
    std::size_t findings =
        1 + report.leftEmpty.size() + report.unused.size() + report.suspect.size() + report.taken.size();
    for (const lanshan::MissingKey &key : report.missing)
        findings += std::max<std::size_t>(1, key.nearRows.size());
    const std::string tsv = lanshan::reportTsv(run, report);
    if (static_cast<std::size_t>(std::count(tsv.begin(), tsv.end(), '\n')) != findings
        || static_cast<std::size_t>(std::count(tsv.begin(), tsv.end(), '\t')) != 5 * findings)
        abortOnReport(in, "a TSV line broken or missing");
    const auto reliable = lanshan::safeAdoptions(report, run.fixlines());
    for (const auto &[keyLine, row] : reliable)
        run.adopt(keyLine, row);
    for (const auto &[keyLine, row] : reliable) {
        if (run.resultRow(keyLine) != row)
            abortOnReport(in, "a reliable near row not taken");
    }
}

// Matching in one column against a plain scan of that column: every line takes the first row
// whose cell there is its key, or none; and the suspect lines of the rule's run are those a plain
// look at its result finds.
void checkKeyColumn(const Input &in, const lit::Lines &keys, const lit::Lines &rows)
{
    lanshan::FilterRun run(in.keys, in.data,
                           {lanshan::DuplicateRows::TakeFirst, lanshan::KeyColumnChoice::automatic(), {}});
    if (run.state() != lanshan::FilterRun::State::Finished)
        return;
    const auto cellAt = [](std::u16string_view row, std::size_t column) -> std::optional<std::u16string_view> {
        std::optional<std::u16string_view> found;
        lanshan::forEachCell(row, [&](std::u16string_view cell, std::size_t, std::uint32_t index, bool) {
            if (index + 1 == column)
                found = cell;
        });
        return found;
    };
    if (const std::optional<std::size_t> column = run.matchColumn()) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            // A line of several cells is a list, matched by its own rule (the differential test).
            if (keys[i].find(u'\t') != std::u16string::npos)
                continue;
            std::optional<std::size_t> want;
            if (!lanshan::isEmptyKey(keys[i])) {
                for (std::size_t j = 0; j < rows.size() && !want; ++j) {
                    if (cellAt(rows[j], *column) == std::u16string_view(keys[i]))
                        want = j;
                }
            }
            if (run.resultRow(i) != want)
                abortOnReport(in, "a line matched in the key column is not the first row holding its key there");
        }
    }
    const lanshan::SuspectLines suspects = lanshan::findSuspectLines(run);
    std::vector<std::size_t> uses(rows.size(), 0);
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (const std::optional<std::size_t> row = run.resultRow(i))
            ++uses[*row];
    }
    std::size_t s = 0;
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        const std::optional<std::size_t> row = run.resultRow(i);
        if (!row)
            continue;
        const bool shared = uses[*row] > 1;
        bool inColumn = false;
        bool anywhere = false;
        lanshan::forEachCell(rows[*row], [&](std::u16string_view cell, std::size_t, std::uint32_t index, bool) {
            if (cell == std::u16string_view(keys[i])) {
                anywhere = true;
                inColumn |= suspects.keyColumn && index + 1 == *suspects.keyColumn;
            }
        });
        const bool other = suspects.keyColumn && anywhere && !inColumn;
        if (!shared && !other)
            continue;
        if (s == suspects.lines.size() || suspects.lines[s].keyLine != i
            || bool(suspects.lines[s].causes & lanshan::SharedRow) != shared
            || bool(suspects.lines[s].causes & lanshan::OtherColumn) != other)
            abortOnReport(in, "a suspect line missed, or one listed for the wrong cause");
        ++s;
    }
    if (s != suspects.lines.size())
        abortOnReport(in, "a line listed as suspect that is not");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    const Input in = decode(bytes, size);

    // The literal scan makes n x m candidate tests with fresh strings each; keep one input
    // within a few milliseconds.
    const lit::Lines keys = lit::splitLines(in.keys);
    const lit::Lines rows = lit::splitLines(in.data);
    if (keys.size() * rows.size() > 40000)
        return -1;

    compareKeyRule(in, keys, rows);

    const lit::Settle first = [](const lit::Stop &) -> std::optional<std::size_t> { return 0; };
    const lit::Settle last = [](const lit::Stop &stop) -> std::optional<std::size_t> { return stop.list4.size() - 1; };
    const lit::Settle empty = [](const lit::Stop &) -> std::optional<std::size_t> { return std::nullopt; };
    std::size_t next = 0;
    const lit::Settle byInput = [&](const lit::Stop &stop) -> std::optional<std::size_t> {
        if (next == in.choices.size())
            return 0;
        const std::size_t pick = static_cast<unsigned char>(in.choices[next++]) % (stop.list4.size() + 1);
        if (pick == stop.list4.size())
            return std::nullopt;
        return pick;
    };

    compareRun(in, "run settled with the first row", lit::run(in.keys, in.data, first));
    compareRun(in, "run settled with the last row", lit::run(in.keys, in.data, last));
    compareRun(in, "run settled by leaving lines empty", lit::run(in.keys, in.data, empty));
    compareRun(in, "run settled by the choice bytes", lit::run(in.keys, in.data, byInput));
    checkReconciliation(in);
    checkKeyColumn(in, keys, rows);
    return 0;
}
