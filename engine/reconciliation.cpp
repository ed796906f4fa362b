#include "reconciliation.h"

#include "canonicalform.h"
#include "keyrule.h"
#include "nearrowindex.h"
#include "prefetch.h"
#include "rowcells.h"
#include "rowcheck.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <tuple>
#include <unordered_map>

namespace lanshan {

namespace {

enum RowMark : std::uint8_t { Used = 1, Confirmed = 2, Near = 4 };

bool isBlankRow(std::u16string_view row)
{
    return row.find_first_not_of(u" \t") == std::u16string_view::npos;
}

// A near row found by the canonical form (SameForm) whose text classes are still to be told.
struct SameForm
{
    std::size_t row;
    std::size_t cellBegin;
    std::size_t cellEnd;
    std::size_t missing; // position in Reconciliation::missing
    std::size_t near;    // position in its nearRows

    bool operator<(const SameForm &o) const
    {
        return std::tie(row, cellBegin, missing, near) < std::tie(o.row, o.cellBegin, o.missing, o.near);
    }
};

// The text classes of every SameForm pair, cell by cell: a cell's forms are made once however many
// keys it is near, a key's once for a run of lines with the same text.
void addTextCauses(std::vector<SameForm> pairs, const LineTable &keys, const LineTable &rows, Reconciliation &report)
{
    std::sort(pairs.begin(), pairs.end());
    std::optional<ClassForms> cell;
    std::optional<ClassForms> key;
    std::u16string_view keyText;
    // The keys and their entries lie apart: fetched some pairs ahead, the entry first, then where
    // its key lies, then the key.
    constexpr std::size_t ahead = 8;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (i + 3 * ahead < pairs.size())
            prefetch(&report.missing[pairs[i + 3 * ahead].missing]);
        if (i + 2 * ahead < pairs.size()) {
            const MissingKey &next = report.missing[pairs[i + 2 * ahead].missing];
            keys.fetchAhead(next.keyLine);
            prefetch(next.nearRows.data());
        }
        if (i + ahead < pairs.size())
            prefetch(keys[report.missing[pairs[i + ahead].missing].keyLine].data());
        const SameForm &p = pairs[i];
        if (i == 0 || p.row != pairs[i - 1].row || p.cellBegin != pairs[i - 1].cellBegin)
            cell.emplace(rows[p.row].substr(p.cellBegin, p.cellEnd - p.cellBegin));
        MissingKey &missing = report.missing[p.missing];
        const std::u16string_view text = keys[missing.keyLine];
        if (!key || text != keyText) {
            key.emplace(text);
            keyText = text;
        }
        missing.nearRows[p.near].causes |= key->differingClasses(*cell);
    }
}

// Near rows of the missing lines of several cells: the unused rows that hold some of a line's
// cells, most cells first. A cell that more rows hold than a line may list (a class, a gender)
// tells no row apart and is not looked for, so that the search stays linear.
void addPartOfKeyRows(const LineTable &keys, const LineTable &rows, const std::vector<std::size_t> &unusedRows,
                      Reconciliation &report, std::vector<std::uint8_t> &marks)
{
    constexpr std::size_t most = 5;
    struct Postings
    {
        std::vector<std::size_t> rows;
        bool tooMany = false;
    };
    std::unordered_map<std::u16string_view, Postings> byCell;
    for (const MissingKey &missing : report.missing) {
        const std::u16string_view key = keys[missing.keyLine];
        if (key.find(u'\t') == std::u16string_view::npos)
            continue;
        forEachCell(key, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) {
            if (!isEmptyKey(cell))
                byCell.try_emplace(cell);
        });
    }
    if (byCell.empty())
        return;
    for (const std::size_t row : unusedRows) {
        forEachCell(rows[row], [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) {
            const auto found = cell.empty() ? byCell.end() : byCell.find(cell);
            if (found == byCell.end() || found->second.tooMany)
                return;
            Postings &postings = found->second;
            if (!postings.rows.empty() && postings.rows.back() == row)
                return;
            if (postings.rows.size() == most) {
                postings.tooMany = true;
                postings.rows = {};
                return;
            }
            postings.rows.push_back(row);
        });
    }
    std::vector<std::pair<std::size_t, std::size_t>> held; // (row, cells of the line it holds)
    for (MissingKey &missing : report.missing) {
        const std::u16string_view key = keys[missing.keyLine];
        if (key.find(u'\t') == std::u16string_view::npos)
            continue;
        held.clear();
        forEachCell(key, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) {
            if (isEmptyKey(cell))
                return;
            for (const std::size_t row : byCell[cell].rows)
                held.emplace_back(row, 1);
        });
        std::sort(held.begin(), held.end());
        std::size_t kept = 0;
        for (std::size_t h = 0; h < held.size(); ++h) {
            if (kept > 0 && held[kept - 1].first == held[h].first)
                ++held[kept - 1].second;
            else
                held[kept++] = held[h];
        }
        held.resize(kept);
        std::stable_sort(held.begin(), held.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
        for (std::size_t h = 0; h < held.size() && missing.nearRows.size() < most; ++h) {
            missing.nearRows.push_back({held[h].first, PartOfKey});
            marks[held[h].first] |= Near;
        }
    }
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
    std::vector<std::size_t> unmatched;
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (const std::optional<std::size_t> row = run.resultRow(i))
            marks[*row] |= Used;
        else
            unmatched.push_back(i);
    }
    for (std::size_t row : run.everyConfirmedRow())
        marks[row] |= Confirmed;
    // The texts of the rows and keys looked at lie apart: each is fetched some lines ahead.
    constexpr std::size_t ahead = 8;
    std::vector<std::size_t> unusedRows;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!(marks[row] & Used))
            unusedRows.push_back(row);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < unusedRows.size(); ++i) {
        if (i + ahead < unusedRows.size())
            prefetch(rows[unusedRows[i + ahead]].data());
        if (!isBlankRow(rows[unusedRows[i]]))
            unusedRows[kept++] = unusedRows[i];
    }
    unusedRows.resize(kept);

    // Room for every line without a row at once: a million keys without rows are common enough.
    std::vector<std::u16string_view> nearKeys;
    nearKeys.reserve(unmatched.size());
    report.missing.reserve(unmatched.size());
    for (std::size_t u = 0; u < unmatched.size(); ++u) {
        if (u + ahead < unmatched.size())
            prefetch(keys[unmatched[u + ahead]].data());
        const std::size_t i = unmatched[u];
        if (run.leftEmpty(i)) {
            const std::span<const std::size_t> confirmed = run.confirmedRows(i);
            report.leftEmpty.push_back({i, std::vector<std::size_t>(confirmed.begin(), confirmed.end())});
        } else if (!isEmptyKey(keys[i]) && run.confirmedRows(i).empty()) {
            report.missing.push_back({i, {}});
            // A key holding a TAB spans columns: no single cell is near it.
            nearKeys.push_back(keys[i].find(u'\t') == std::u16string_view::npos ? keys[i] : std::u16string_view());
        }
    }

    NearRowIndex index(std::move(nearKeys));
    index.search(rows, unusedRows);
    std::vector<SameForm> sameForm;
    for (std::size_t m = 0; m < report.missing.size(); ++m) {
        index.fetchHitPlace(m + 2 * ahead);
        index.fetchHits(m + ahead);
        MissingKey &missing = report.missing[m];
        missing.nearRows.reserve(index.hits(m).size());
        for (const NearRowIndex::Hit &hit : index.hits(m)) {
            unsigned causes = hit.lastCell ? unsigned(LastColumn) : 0u;
            if (hit.rule == NearRowIndex::Rule::SameForm)
                sameForm.push_back({hit.row, hit.cellBegin, hit.cellEnd, m, missing.nearRows.size()});
            else
                causes |= hit.rule == NearRowIndex::Rule::StartOrEnd ? LongerValue : OneChar;
            missing.nearRows.push_back({hit.row, causes});
            marks[hit.row] |= Near;
        }
    }
    addTextCauses(std::move(sameForm), keys, rows, report);
    addPartOfKeyRows(keys, rows, unusedRows, report, marks);
    // A cell that equals the key in every respect was passed over only because the run looked
    // in one column: said so, never an empty cause, and never taken as reliable.
    if (run.matchColumn()) {
        for (MissingKey &missing : report.missing) {
            for (NearRow &near : missing.nearRows) {
                if (near.causes == 0)
                    near.causes = OtherColumn;
            }
        }
    }

    SuspectLines suspects = findSuspectLines(run);
    report.keyColumn = suspects.keyColumn;
    report.suspect = std::move(suspects.lines);

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

std::vector<std::pair<std::size_t, std::size_t>> safeAdoptions(const Reconciliation &report)
{
    // A row that holds part of a line's cells is that line's only where no other line has it near.
    std::unordered_map<std::size_t, std::size_t> partOfKeyLines;
    for (const MissingKey &missing : report.missing) {
        for (const NearRow &near : missing.nearRows) {
            if (near.causes & PartOfKey)
                ++partOfKeyLines[near.row];
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> adoptions;
    for (const MissingKey &missing : report.missing) {
        std::size_t reliable = 0;
        std::size_t row = 0;
        for (const NearRow &near : missing.nearRows) {
            const bool partReliable =
                near.causes == PartOfKey && missing.nearRows.size() == 1 && partOfKeyLines[near.row] == 1;
            if ((near.causes & ~reliableCauses) == 0 || partReliable) {
                ++reliable;
                row = near.row;
            }
        }
        if (reliable == 1)
            adoptions.emplace_back(missing.keyLine, row);
    }
    return adoptions;
}

} // namespace lanshan
