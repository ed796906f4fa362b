#include "reconciliation.h"

#include "canonicalform.h"
#include "keyrule.h"
#include "nearrowindex.h"
#include "prefetch.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace lanshan {

namespace {

enum RowMark : std::uint8_t { Used = 1, Confirmed = 2, Near = 4 };

bool isBlankRow(std::u16string_view row)
{
    return row.find_first_not_of(u" \t") == std::u16string_view::npos;
}

unsigned causesOf(std::u16string_view key, const NearRowIndex::Hit &hit, std::u16string_view row)
{
    const unsigned causes = hit.lastCell ? unsigned(LastColumn) : 0u;
    switch (hit.rule) {
    case 1: return causes | differingClasses(key, row.substr(hit.cellBegin, hit.cellEnd - hit.cellBegin));
    case 2: return causes | LongerValue;
    default: return causes | OneChar;
    }
}

constexpr std::array<const char *, 8> causeCodes = {
    "spaces", "invisible", "width", "case", "variant", "last-column", "longer-value", "one-char",
};
constexpr std::array<const char16_t *, 8> causeNames = {
    u"空格不同", u"含不可见字符", u"全角/半角不同",        u"大小写不同",
    u"繁简不同", u"在最后一列",   u"只出现在更长的内容里", u"相差一个字",
};

// The report's text, as UTF-16 or as UTF-8.
void appendAscii(std::u16string &out, std::string_view text)
{
    out.append(text.begin(), text.end());
}

void appendAscii(std::string &out, std::string_view text)
{
    out += text;
}

void appendEscaped(std::u16string &out, std::u16string_view text)
{
    std::size_t run = 0; // start of the characters not yet copied
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        // One branch, nearly never taken: a branch on the character's range would be
        // mispredicted at every change between Chinese and ASCII.
        if (!((c == u'\\') | (c == u'\t') | (c == u'\n') | (c == u'\r')))
            continue;
        out.append(text.data() + run, i - run);
        out += u'\\';
        out += c == u'\t' ? u't' : c == u'\n' ? u'n' : c == u'\r' ? u'r' : u'\\';
        run = i + 1;
    }
    out.append(text.data() + run, text.size() - run);
}

// A lone surrogate becomes U+FFFD, as in every UTF-8 the tools write.
void appendEscaped(std::string &out, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            if ((c == u'\\') | (c == u'\t') | (c == u'\n') | (c == u'\r')) {
                out += '\\';
                c = c == u'\t' ? 't' : c == u'\n' ? 'n' : c == u'\r' ? 'r' : '\\';
            }
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            else
                c = 0xFFFD;
        }
        if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

template<class String>
void appendNumber(String &out, std::size_t value)
{
    char digits[24];
    char *p = std::end(digits);
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    appendAscii(out, std::string_view(p, static_cast<std::size_t>(std::end(digits) - p)));
}

// One line: kind, key line, row (numbers from 1, none for SIZE_MAX), cause, key, row text.
template<class String>
void appendLine(String &out, std::string_view kind, std::size_t keyLine, std::size_t row, std::string_view cause,
                std::u16string_view key, std::u16string_view rowText)
{
    appendAscii(out, kind);
    appendAscii(out, "\t");
    if (keyLine != SIZE_MAX)
        appendNumber(out, keyLine + 1);
    appendAscii(out, "\t");
    if (row != SIZE_MAX)
        appendNumber(out, row + 1);
    appendAscii(out, "\t");
    appendAscii(out, cause);
    appendAscii(out, "\t");
    appendEscaped(out, key);
    appendAscii(out, "\t");
    appendEscaped(out, rowText);
    appendAscii(out, "\n");
}

template<class String>
String reportText(const FilterRun &run, const Reconciliation &report)
{
    constexpr std::size_t none = SIZE_MAX;
    const LineTable &keys = run.fixlines();
    const LineTable &rows = run.datalines();
    String out;
    // Rows of 60 characters or so: reallocations are rare, and no pass over the rows ahead.
    out.reserve(96 * (report.missing.size() * 2 + report.leftEmpty.size() + report.unused.size()));
    appendAscii(out, "kind\tkey_line\trow\tcause\tkey\trow_text\n");

    // Rows and keys lie apart in their texts: fetch them some lines ahead.
    constexpr std::size_t ahead = 8;
    auto missing = report.missing.cbegin();
    auto leftEmpty = report.leftEmpty.cbegin();
    while (missing != report.missing.cend() || leftEmpty != report.leftEmpty.cend()) {
        if (report.missing.cend() - missing > static_cast<std::ptrdiff_t>(ahead)) {
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
                appendLine(out, "missing", missing->keyLine, near.row, causeCode(near.causes), key, rows[near.row]);
            ++missing;
        } else {
            appendLine(out, "left-empty", leftEmpty->keyLine, none, {}, keys[leftEmpty->keyLine], {});
            ++leftEmpty;
        }
    }
    for (std::size_t i = 0; i < report.unused.size(); ++i) {
        if (i + ahead < report.unused.size())
            prefetch(rows[report.unused[i + ahead].row].data());
        const UnusedRow &unused = report.unused[i];
        const std::string_view reason = unused.reason == UnusedReason::Duplicate ? "duplicate"
                                        : unused.reason == UnusedReason::Near    ? "near"
                                                                                 : "";
        appendLine(out, "unused", none, unused.row, reason, {}, rows[unused.row]);
    }
    return out;
}

} // namespace

Reconciliation reconcile(const FilterRun &run)
{
    Reconciliation report;
    if (run.state() != FilterRun::State::Finished)
        return report;
    const LineTable &keys = run.fixlines();
    const LineTable &rows = run.datalines();

    std::vector<std::uint8_t> marks(rows.size(), 0);
    std::vector<bool> unmatched(run.resultCount(), false);
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (const std::optional<std::size_t> row = run.resultRow(i))
            marks[*row] |= Used;
        else
            unmatched[i] = true;
    }
    for (std::size_t row : run.everyConfirmedRow())
        marks[row] |= Confirmed;
    std::vector<std::size_t> unusedRows;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!(marks[row] & Used) && !isBlankRow(rows[row]))
            unusedRows.push_back(row);
    }

    std::vector<std::u32string> forms;
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (!unmatched[i])
            continue;
        if (run.leftEmpty(i)) {
            const std::span<const std::size_t> confirmed = run.confirmedRows(i);
            report.leftEmpty.push_back({i, std::vector<std::size_t>(confirmed.begin(), confirmed.end())});
        } else if (!isEmptyKey(keys[i]) && run.confirmedRows(i).empty()) {
            report.missing.push_back({i, {}});
            // A key holding a TAB spans columns: no single cell is near it.
            forms.push_back(keys[i].find(u'\t') == std::u16string_view::npos ? canonicalForm(keys[i])
                                                                             : std::u32string());
        }
    }

    NearRowIndex index(std::move(forms));
    index.search(rows, unusedRows);
    for (std::size_t m = 0; m < report.missing.size(); ++m) {
        MissingKey &missing = report.missing[m];
        for (const NearRowIndex::Hit &hit : index.hits(m)) {
            missing.nearRows.push_back({hit.row, causesOf(keys[missing.keyLine], hit, rows[hit.row])});
            marks[hit.row] |= Near;
        }
    }

    report.unused.reserve(unusedRows.size());
    for (std::size_t row : unusedRows) {
        // A row of a key is a duplicate first: its key line is settled, whatever it is near.
        const UnusedReason reason = (marks[row] & Confirmed) ? UnusedReason::Duplicate
                                    : (marks[row] & Near)    ? UnusedReason::Near
                                                             : UnusedReason::NoKey;
        report.unused.push_back({row, reason});
    }
    return report;
}

std::string causeCode(unsigned causes)
{
    std::string code;
    for (std::size_t bit = 0; bit < causeCodes.size(); ++bit) {
        if (causes & (1u << bit)) {
            if (!code.empty())
                code += '+';
            code += causeCodes[bit];
        }
    }
    return code;
}

std::u16string causeWords(unsigned causes)
{
    std::u16string words;
    for (std::size_t bit = 0; bit < causeNames.size(); ++bit) {
        if (causes & (1u << bit)) {
            if (!words.empty())
                words += u'、';
            words += causeNames[bit];
        }
    }
    return words;
}

std::u16string visibleText(std::u16string_view text)
{
    static const char16_t hexDigits[] = u"0123456789ABCDEF";
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        std::size_t units = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        }
        if (c == u' ') {
            out += u"⟨空格⟩";
        } else if (c == u'\u3000') {
            out += u"⟨全角空格⟩";
        } else if (c == u'\u00a0') {
            out += u"⟨不换行空格⟩";
        } else if (isSpaceCharacter(c) || isInvisibleCharacter(c)) {
            std::u16string hex;
            for (char32_t v = c; v != 0 || hex.size() < 4; v >>= 4)
                hex.insert(hex.begin(), hexDigits[v & 0xF]);
            out += u"⟨U+" + hex + u"⟩";
        } else {
            out += text.substr(i, units);
        }
        i += units - 1;
    }
    return out;
}

std::vector<std::pair<std::size_t, std::size_t>> safeAdoptions(const Reconciliation &report)
{
    std::vector<std::pair<std::size_t, std::size_t>> adoptions;
    for (const MissingKey &missing : report.missing) {
        std::size_t sameForm = 0;
        std::size_t row = 0;
        for (const NearRow &near : missing.nearRows) {
            if (!(near.causes & (LongerValue | OneChar))) {
                ++sameForm;
                row = near.row;
            }
        }
        if (sameForm == 1)
            adoptions.emplace_back(missing.keyLine, row);
    }
    return adoptions;
}

std::u16string reportTsv(const FilterRun &run, const Reconciliation &report)
{
    return reportText<std::u16string>(run, report);
}

std::string reportTsvUtf8(const FilterRun &run, const Reconciliation &report)
{
    return reportText<std::string>(run, report);
}

} // namespace lanshan
