#include "reporttsv.h"

#include "displaytext.h"
#include "nearcause.h"
#include "prefetch.h"
#include "reportwording.h"
#include "utf16.h"

#include <vector>

namespace lanshan {

namespace {

constexpr std::size_t blockSize = 1 << 20;

// UTF-8 of the text with its control characters escaped, in one pass, into room made for the
// longest escape (six bytes a unit) and trimmed after.
void appendEscaped(std::string &out, std::u16string_view text)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    const std::size_t oldSize = out.size();
    out.resize(oldSize + 6 * text.size());
    char *o = out.data() + oldSize;
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c >= 0x20 && c < 0x7F && c != u'\\') {
            *o++ = static_cast<char>(c);
            ++i;
            continue;
        }
        if (c == u'\\' || c == u'\t' || c == u'\r' || c == u'\n') {
            *o++ = '\\';
            *o++ = c == u'\\' ? '\\' : c == u'\t' ? 't' : c == u'\r' ? 'r' : 'n';
            ++i;
        } else if (c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029) {
            *o++ = '\\';
            *o++ = 'u';
            for (int shift = 12; shift >= 0; shift -= 4)
                *o++ = hexDigits[(c >> shift) & 0xF];
            ++i;
        } else {
            const CodePoint point = codePointAt(text, i);
            o = encodeUtf8(point.value, o);
            i += point.units;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

constexpr std::size_t none = SIZE_MAX;

// One line: kind, key line, row (numbers from 1, none for SIZE_MAX), cause, key, row text with
// the mark of its cut, if any.
void appendLine(std::string &out, std::string_view kind, std::size_t keyLine, std::size_t row, std::string_view cause,
                std::u16string_view key, const Excerpt &rowText)
{
    out += kind;
    out += '\t';
    if (keyLine != none)
        appendDecimal(out, keyLine + 1);
    out += '\t';
    if (row != none)
        appendDecimal(out, row + 1);
    out += '\t';
    out += cause;
    out += '\t';
    appendEscaped(out, key);
    out += '\t';
    appendEscaped(out, rowText.head);
    appendEscaped(out, rowText.mark);
    out += '\n';
}

} // namespace

std::string causeCode(unsigned causes)
{
    std::string code;
    for (const CauseEntry &entry : causeTable) {
        if (causes & causeBit(entry.index)) {
            if (!code.empty())
                code += '+';
            code += entry.code;
        }
    }
    return code;
}

bool writeReportTsv(const FilterRun &run, const Reconciliation &report,
                    const std::function<bool(std::string_view)> &write)
{
    const LineTable &keys = run.fixlines();
    const LineTable &rows = run.datalines();
    // Every combination of causes, worded once.
    constexpr unsigned allCauses = causeBit(CauseIndex::Count) - 1;
    static const std::vector<std::string> codes = [] {
        std::vector<std::string> all(allCauses + 1);
        for (unsigned causes = 0; causes <= allCauses; ++causes)
            all[causes] = causeCode(causes);
        return all;
    }();
    std::string out;
    out.reserve(blockSize + 4096);
    const auto flush = [&](bool always) {
        if (out.empty() || (!always && out.size() < blockSize))
            return true;
        const bool written = write(out);
        out.clear();
        return written;
    };
    out += "kind\tkey_line\trow\tcause\tkey\trow_text\n";

    // Rows and keys lie apart in their texts: fetched some lines ahead, a key's near rows first,
    // then where they lie, then the rows.
    constexpr std::size_t ahead = 8;
    auto missing = report.missing.cbegin();
    auto leftEmpty = report.leftEmpty.cbegin();
    while (missing != report.missing.cend() || leftEmpty != report.leftEmpty.cend()) {
        const std::ptrdiff_t left = report.missing.cend() - missing;
        if (left > static_cast<std::ptrdiff_t>(3 * ahead))
            prefetch(missing[3 * ahead].nearRows.data());
        if (left > static_cast<std::ptrdiff_t>(2 * ahead)) {
            for (const NearRow &near : missing[2 * ahead].nearRows)
                rows.fetchAhead(near.row);
        }
        if (left > static_cast<std::ptrdiff_t>(ahead)) {
            prefetch(keys[missing[ahead].keyLine].data());
            for (const NearRow &near : missing[ahead].nearRows)
                prefetch(rows[near.row].data());
        }
        if (leftEmpty == report.leftEmpty.cend()
            || (missing != report.missing.cend() && missing->keyLine < leftEmpty->keyLine)) {
            const std::u16string_view key = keys[missing->keyLine];
            if (missing->nearRows.empty())
                appendLine(out, "missing", missing->keyLine, none, {}, key, {});
            for (const NearRow &near : missing->nearRows)
                appendLine(out, "missing", missing->keyLine, near.row, codes[near.causes & allCauses], key,
                           excerpt(rows[near.row], nearRowTextLength));
            ++missing;
        } else {
            appendLine(out, "left-empty", leftEmpty->keyLine, none, {}, keys[leftEmpty->keyLine], {});
            ++leftEmpty;
        }
        if (!flush(false))
            return false;
    }
    for (std::size_t i = 0; i < report.unused.size(); ++i) {
        if (i + ahead < report.unused.size())
            prefetch(rows[report.unused[i + ahead].row].data());
        const UnusedRow &unused = report.unused[i];
        const std::string_view reason = unused.reason == UnusedReason::Duplicate ? "duplicate"
                                        : unused.reason == UnusedReason::Near    ? "near"
                                                                                 : "";
        appendLine(out, "unused", none, unused.row, reason, {}, {rows[unused.row], {}});
        if (!flush(false))
            return false;
    }
    for (const SuspectLine &suspect : report.suspect) {
        appendLine(out, "suspect", suspect.keyLine, suspect.row, codes[suspect.causes & allCauses],
                   keys[suspect.keyLine], excerpt(rows[suspect.row], nearRowTextLength));
        if (!flush(false))
            return false;
    }
    return flush(true);
}

std::string reportTsv(const FilterRun &run, const Reconciliation &report)
{
    std::string text;
    writeReportTsv(run, report, [&](std::string_view block) {
        text += block;
        return true;
    });
    return text;
}

} // namespace lanshan
