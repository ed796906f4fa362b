#include "reconciliation.h"

#include "canonicalform.h"
#include "itemtext.h"
#include "keyrule.h"
#include "nearrowindex.h"

#include <array>
#include <cstdint>

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

void appendEscaped(std::u16string &out, std::u16string_view text)
{
    for (char16_t c : text) {
        switch (c) {
        case u'\\': out += u"\\\\"; break;
        case u'\t': out += u"\\t"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        default: out += c;
        }
    }
}

void appendLine(std::u16string &out, std::u16string_view kind, std::u16string_view keyLine, std::u16string_view row,
                std::u16string_view cause, std::u16string_view key, std::u16string_view rowText)
{
    out += kind;
    for (std::u16string_view field : {keyLine, row, cause}) {
        out += u'\t';
        out += field;
    }
    out += u'\t';
    appendEscaped(out, key);
    out += u'\t';
    appendEscaped(out, rowText);
    out += u'\n';
}

std::u16string ascii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
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
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (const std::optional<std::size_t> row = run.resultRow(i))
            marks[*row] |= Used;
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
        if (run.resultRow(i))
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
    const LineTable &keys = run.fixlines();
    const LineTable &rows = run.datalines();
    std::u16string out = u"kind\tkey_line\trow\tcause\tkey\trow_text\n";
    auto missing = report.missing.cbegin();
    auto leftEmpty = report.leftEmpty.cbegin();
    while (missing != report.missing.cend() || leftEmpty != report.leftEmpty.cend()) {
        if (leftEmpty == report.leftEmpty.cend()
            || (missing != report.missing.cend() && missing->keyLine < leftEmpty->keyLine)) {
            const std::u16string line = decimal(missing->keyLine + 1);
            if (missing->nearRows.empty())
                appendLine(out, u"missing", line, {}, {}, keys[missing->keyLine], {});
            for (const NearRow &near : missing->nearRows) {
                appendLine(out, u"missing", line, decimal(near.row + 1), ascii(causeCode(near.causes)),
                           keys[missing->keyLine], rows[near.row]);
            }
            ++missing;
        } else {
            appendLine(out, u"left-empty", decimal(leftEmpty->keyLine + 1), {}, {}, keys[leftEmpty->keyLine], {});
            ++leftEmpty;
        }
    }
    for (const UnusedRow &unused : report.unused) {
        const std::u16string_view reason = unused.reason == UnusedReason::Duplicate ? u"duplicate"
                                           : unused.reason == UnusedReason::Near    ? u"near"
                                                                                    : u"";
        appendLine(out, u"unused", {}, decimal(unused.row + 1), reason, {}, rows[unused.row]);
    }
    return out;
}

} // namespace lanshan
