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
// the first row). Any difference from the literal scan aborts with both inputs printed.

#include "filterrun.h"
#include "keyrule.h"
#include "linetable.h"
#include "literalscan.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace lit = lanshan::literal;
using lanshan::FilterRun;

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

std::string shown(std::u16string_view text)
{
    std::string out = "u\"";
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out + '"';
}

// The state of one comparison, printed when it fails.
struct Context
{
    const Input &in;
    const char *check;
};

[[noreturn]] void mismatch(const Context &c, const std::string &what, std::u16string_view engine,
                           std::u16string_view literal)
{
    std::fprintf(stderr, "engine and literal scan differ (%s): %s\n", c.check, what.c_str());
    std::fprintf(stderr, "  keys   = %s\n  data   = %s\n", shown(c.in.keys).c_str(), shown(c.in.data).c_str());
    std::fprintf(stderr, "  engine = %s\n  scan   = %s\n", shown(engine).c_str(), shown(literal).c_str());
    std::abort();
}

std::u16string number(std::size_t value)
{
    const std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

void expectEqual(const Context &c, const std::string &what, std::u16string_view engine, std::u16string_view literal)
{
    if (engine != literal)
        mismatch(c, what, engine, literal);
}

void expectEqual(const Context &c, const std::string &what, std::size_t engine, std::size_t literal)
{
    if (engine != literal)
        mismatch(c, what, number(engine), number(literal));
}

void compareTable(const Context &c, const char *what, const lanshan::LineTable &table, const lit::Lines &lines)
{
    expectEqual(c, std::string(what) + " count", table.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        expectEqual(c, std::string(what) + " line " + std::to_string(i), table[i], lines[i]);
}

// The key rule, key line by data row.
void compareKeyRule(const Context &c, const lit::Lines &keys, const lit::Lines &rows)
{
    for (const std::u16string &key : keys) {
        expectEqual(c, "isEmptyKey of " + shown(key), lanshan::isEmptyKey(key), lit::isEmptyKey(key));
        for (std::size_t j = 0; j < rows.size(); ++j) {
            const std::string at = "key " + shown(key) + ", row " + std::to_string(j) + ": ";
            const bool candidate = lit::isCandidate(key, rows[j]);
            const bool confirmed = lit::isConfirmed(key, lit::candidateEntry(j, rows[j]));
            expectEqual(c, at + "isCandidate", lanshan::isCandidate(key, rows[j]), candidate);
            expectEqual(c, at + "belongsTo", lanshan::belongsTo(key, rows[j], j), candidate && confirmed);
        }
    }
}

void compareRun(const Context &c, const lit::Assembly &want)
{
    FilterRun run(c.in.keys, c.in.data);
    compareTable(c, "fixlines", run.fixlines(), want.fixlines);
    compareTable(c, "datalines", run.datalines(), want.datalines);
    if (want.tooFewLines) {
        expectEqual(c, "stopped for too few lines", run.state() == FilterRun::State::TooFewLines, true);
        expectEqual(c, "resultCount", run.resultCount(), 0);
        return;
    }
    const std::size_t n = want.fixlines.size();
    expectEqual(c, "resultCount", run.resultCount(), n);

    std::size_t k = 0;
    for (; run.state() == FilterRun::State::AwaitingChoice; ++k) {
        if (k == want.stops.size())
            mismatch(c, "an extra questionable line", number(run.pickpos()), u"none");
        const lit::Stop &stop = want.stops[k];
        const std::string at = "stop " + std::to_string(k) + ": ";
        expectEqual(c, at + "pickpos", run.pickpos(), stop.pickpos);
        expectEqual(c, at + "settledCount", run.settledCount(), stop.list1.size());
        expectEqual(c, at + "candidate count", run.candidateRows().size(), stop.list4.size());
        for (std::size_t p = 0; p < n; ++p)
            expectEqual(c, at + "markedKeyItem " + std::to_string(p), run.markedKeyItem(p), stop.list3[p]);
        for (std::size_t s = 0; s < stop.list4.size(); ++s) {
            expectEqual(c, at + "candidateItem " + std::to_string(s), run.candidateItem(s), stop.list4[s]);
            expectEqual(c, at + "candidatePosition " + std::to_string(s), run.candidatePosition(s), stop.list5[s]);
        }
        for (std::size_t p = 0; p < stop.list1.size(); ++p) {
            expectEqual(c, at + "keyItem " + std::to_string(p), run.keyItem(p), stop.list1[p]);
            expectEqual(c, at + "resultItem " + std::to_string(p), run.resultItem(p), stop.list2[p]);
        }

        // A row that is no candidate is refused and leaves the run waiting where it was.
        const std::size_t notCandidate = run.candidateRows().back() + 1;
        bool refused = false;
        try {
            run.choose(notCandidate);
        } catch (const std::invalid_argument &) {
            refused = true;
        }
        expectEqual(c, at + "choice of a row that is no candidate refused", refused, true);
        expectEqual(c, at + "pickpos after the refused choice", run.pickpos(), stop.pickpos);

        if (stop.selected)
            run.choose(run.candidateRows()[*stop.selected]);
        else
            run.ignore();
    }
    expectEqual(c, "questionable lines", k, want.stops.size());
    expectEqual(c, "finished", run.state() == FilterRun::State::Finished, true);
    expectEqual(c, "settledCount", run.settledCount(), n);
    for (std::size_t i = 0; i < n; ++i) {
        expectEqual(c, "result " + std::to_string(i), run.result(i), want.resultlines[i]);
        expectEqual(c, "keyItem " + std::to_string(i), run.keyItem(i), want.list1[i]);
        expectEqual(c, "resultItem " + std::to_string(i), run.resultItem(i), want.list2[i]);
    }
    expectEqual(c, "resultText", run.resultText(), want.text3);
    expectEqual(c, "needsWarning", run.needsWarning(), lit::warns(c.in.keys, c.in.data, want));
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

    compareKeyRule(Context{in, "key rule"}, keys, rows);

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

    compareRun(Context{in, "run settled with the first row"}, lit::run(in.keys, in.data, first));
    compareRun(Context{in, "run settled with the last row"}, lit::run(in.keys, in.data, last));
    compareRun(Context{in, "run settled by leaving lines empty"}, lit::run(in.keys, in.data, empty));
    compareRun(Context{in, "run settled by the choice bytes"}, lit::run(in.keys, in.data, byInput));
    return 0;
}
