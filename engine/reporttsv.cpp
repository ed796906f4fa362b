#include "reporttsv.h"

#include "displaytext.h"
#include "nearcause.h"
#include "prefetch.h"
#include "reportwalk.h"
#include "reportwording.h"
#include "utf16.h"

#include <vector>

namespace lanshan {

// In one pass, into room made for the longest escape (six bytes a unit) and trimmed after.
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

namespace {

constexpr std::size_t blockSize = 1 << 20;

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

// The causes as codes, every combination worded once.
std::string_view codeOf(unsigned causes)
{
    constexpr unsigned allCauses = causeBit(CauseIndex::Count) - 1;
    static const std::vector<std::string> codes = [] {
        std::vector<std::string> all(allCauses + 1);
        for (unsigned c = 0; c <= allCauses; ++c)
            all[c] = causeCode(c);
        return all;
    }();
    return codes[causes & allCauses];
}

// The lines of the findings, as walkReport() hands them over, given to write() in blocks.
class TsvLines
{
public:
    TsvLines(const FilterRun &run, const Reconciliation &report, const std::function<bool(std::string_view)> &write)
        : m_keys(run.fixlines())
        , m_rows(run.datalines())
        , m_report(report)
        , m_write(write)
    {
        m_out.reserve(blockSize + 4096);
        m_out += "kind\tkey_line\trow\tcause\tkey\trow_text\n";
    }

    bool missing(const MissingKey &missing)
    {
        fetchMissingAhead(m_missingSeen++);
        const std::u16string_view key = m_keys[missing.keyLine];
        if (missing.nearRows.empty())
            appendLine(m_out, "missing", missing.keyLine, none, {}, key, {});
        for (const NearRow &near : missing.nearRows)
            appendLine(m_out, "missing", missing.keyLine, near.row, codeOf(near.causes), key,
                       excerpt(m_rows[near.row], nearRowTextLength));
        return flush(false);
    }

    bool leftEmpty(const LeftEmptyKey &leftEmpty)
    {
        appendLine(m_out, "left-empty", leftEmpty.keyLine, none, {}, m_keys[leftEmpty.keyLine], {});
        return flush(false);
    }

    bool unused(const UnusedRow &unused)
    {
        if (const std::size_t ahead = m_unusedSeen++ + rowsAhead; ahead < m_report.unused.size())
            prefetch(m_rows[m_report.unused[ahead].row].data());
        const std::string_view reason = unused.reason == UnusedReason::Duplicate ? "duplicate"
                                        : unused.reason == UnusedReason::Near    ? "near"
                                                                                 : "";
        appendLine(m_out, "unused", none, unused.row, reason, {}, {m_rows[unused.row], {}});
        return flush(false);
    }

    bool suspect(const SuspectLine &suspect)
    {
        appendLine(m_out, "suspect", suspect.keyLine, suspect.row, codeOf(suspect.causes), m_keys[suspect.keyLine],
                   excerpt(m_rows[suspect.row], nearRowTextLength));
        return flush(false);
    }

    bool taken(const TakenLine &taken)
    {
        appendLine(m_out, "taken", taken.keyLine, taken.near.row, codeOf(taken.near.causes), m_keys[taken.keyLine],
                   excerpt(m_rows[taken.near.row], nearRowTextLength));
        return flush(false);
    }

    // The last block, however small.
    bool finish() { return flush(true); }

private:
    static constexpr std::size_t rowsAhead = 8;

    bool flush(bool always)
    {
        if (m_out.empty() || (!always && m_out.size() < blockSize))
            return true;
        const bool written = m_write(m_out);
        m_out.clear();
        return written;
    }

    // Rows and keys lie apart in their texts: fetched some lines ahead, a key's near rows first,
    // then where they lie, then the rows.
    void fetchMissingAhead(std::size_t at) const
    {
        const std::vector<MissingKey> &all = m_report.missing;
        const std::size_t left = all.size() - at;
        if (left > 3 * rowsAhead)
            prefetch(all[at + 3 * rowsAhead].nearRows.data());
        if (left > 2 * rowsAhead) {
            for (const NearRow &near : all[at + 2 * rowsAhead].nearRows)
                m_rows.fetchAhead(near.row);
        }
        if (left > rowsAhead) {
            prefetch(m_keys[all[at + rowsAhead].keyLine].data());
            for (const NearRow &near : all[at + rowsAhead].nearRows)
                prefetch(m_rows[near.row].data());
        }
    }

    const LineTable &m_keys;
    const LineTable &m_rows;
    const Reconciliation &m_report;
    const std::function<bool(std::string_view)> &m_write;
    std::string m_out;
    std::size_t m_missingSeen = 0;
    std::size_t m_unusedSeen = 0;
};

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
    TsvLines lines(run, report, write);
    return walkReport(report, lines) && lines.finish();
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
