#include "reconciliation.h"

#include "canonicalform.h"
#include "celljudge.h"
#include "keygroups.h"
#include "keyrule.h"
#include "nearrowindex.h"
#include "prefetch.h"
#include "rowcells.h"
#include "rowcheck.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
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
// cells as they are, each judged cell by cell (CellJudge), those without a conflict first, then
// by the cells they hold. A cell that more rows hold than a line may list (a class, a gender)
// tells no row apart and is not looked for; a line judges its likeliest rows only, so that the
// search stays linear. In steps: the rows of each cell, the likeliest rows of each line, their
// judgement row by row, the best kept.
class CellListNearRows
{
public:
    CellListNearRows(const FilterRun &run, Reconciliation &report)
        : m_run(run)
        , m_keys(run.fixlines())
        , m_report(report)
    { }

    void add(const std::vector<std::size_t> &unusedRows, std::vector<std::uint8_t> &marks)
    {
        if (!findRowsOfCells(unusedRows))
            return;
        pairLinesWithRows();
        judgePairs();
        keepBest(marks);
    }

private:
    static constexpr std::size_t most = NearRowIndex::maxHits;
    static constexpr std::size_t judged = 16;
    static constexpr std::size_t batchSize = 32;

    // The rows that hold a cell, kept in place: most cells have one or none.
    struct Postings
    {
        std::array<std::uint32_t, most> rows{};
        std::uint8_t count = 0;
        bool tooMany = false;
    };
    struct Pair
    {
        std::size_t row;
        std::size_t missing;
        CellJudgement sum;
        std::size_t firstVerdict = 0;
        std::size_t verdicts = 0;
    };

    template<class Visit>
    void forEachLineCell(Visit visit) const
    {
        for (std::size_t m = 0; m < m_report.missing.size(); ++m) {
            if (!m_report.missing[m].severalCells)
                continue;
            forEachCell(m_keys[m_report.missing[m].keyLine],
                        [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) {
                            if (!isEmptyKey(cell))
                                visit(m, cell);
                        });
        }
    }

    bool findRowsOfCells(const std::vector<std::size_t> &unusedRows)
    {
        std::size_t cells = 0;
        forEachLineCell([&](std::size_t, std::u16string_view) { ++cells; });
        if (cells == 0)
            return false;
        m_cells = std::make_unique<KeyGroups>(cells);
        m_cellOf.reserve(cells);
        // In batches whose slots are fetched before they are used: the table is larger than the
        // caches.
        std::vector<std::pair<std::u16string_view, std::uint64_t>> batch;
        const auto insertBatch = [&] {
            for (const auto &[cell, hash] : batch)
                m_cellOf.push_back(m_cells->insert(cell, hash));
            batch.clear();
        };
        forEachLineCell([&](std::size_t, std::u16string_view cell) {
            batch.emplace_back(cell, hashText(cell));
            m_cells->prefetchSlot(batch.back().second);
            if (batch.size() == batchSize)
                insertBatch();
        });
        insertBatch();
        m_postings.resize(m_cells->size());
        const LineTable &rows = m_run.datalines();
        std::vector<std::pair<std::uint32_t, std::uint64_t>> looked; // row and hash, of batch's cells
        const auto findBatch = [&] {
            for (std::size_t b = 0; b < batch.size(); ++b)
                post(looked[b].first, m_cells->find(batch[b].first, looked[b].second));
            batch.clear();
            looked.clear();
        };
        for (const std::size_t row : unusedRows) {
            forEachCell(rows[row], [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) {
                if (cell.empty() || !m_cells->mayHold(cell))
                    return;
                const std::uint64_t hash = hashText(cell);
                m_cells->prefetchSlot(hash);
                batch.emplace_back(cell, hash);
                looked.emplace_back(static_cast<std::uint32_t>(row), hash);
            });
            if (batch.size() >= batchSize)
                findBatch();
        }
        findBatch();
        return true;
    }

    // Notes that the row holds the cell (found, none where it is no line's cell).
    void post(std::uint32_t row, std::uint32_t found)
    {
        if (found == KeyGroups::none || m_postings[found].tooMany)
            return;
        Postings &postings = m_postings[found];
        if (postings.count > 0 && postings.rows[postings.count - 1] == row)
            return;
        if (postings.count == most) {
            postings.tooMany = true;
            return;
        }
        postings.rows[postings.count++] = row;
    }

    // The likeliest rows of each line: those holding the most of its cells.
    void pairLinesWithRows()
    {
        std::vector<std::pair<std::size_t, std::size_t>> held; // (row, cells of the line it holds)
        std::size_t line = SIZE_MAX;
        const auto pairUp = [&] {
            std::sort(held.begin(), held.end());
            std::size_t kept = 0;
            for (std::size_t h = 0; h < held.size(); ++h) {
                if (kept > 0 && held[kept - 1].first == held[h].first)
                    ++held[kept - 1].second;
                else
                    held[kept++] = held[h];
            }
            held.resize(kept);
            std::stable_sort(held.begin(), held.end(),
                             [](const auto &a, const auto &b) { return a.second > b.second; });
            for (std::size_t h = 0; h < held.size() && h < judged; ++h)
                m_pairs.push_back({held[h].first, line, {}});
            held.clear();
        };
        std::size_t at = 0; // the cell's place among the lines' cells, as m_cellOf has them
        forEachLineCell([&](std::size_t m, std::u16string_view) {
            if (m != line && line != SIZE_MAX)
                pairUp();
            line = m;
            const Postings &postings = m_postings[m_cellOf[at++]];
            if (postings.tooMany)
                return;
            for (std::uint8_t p = 0; p < postings.count; ++p)
                held.emplace_back(postings.rows[p], 1);
        });
        if (line != SIZE_MAX)
            pairUp();
    }

    // Row by row, so that each row is taken apart once.
    void judgePairs()
    {
        std::sort(m_pairs.begin(), m_pairs.end(),
                  [](const Pair &a, const Pair &b) { return std::tie(a.row, a.missing) < std::tie(b.row, b.missing); });
        const bool inColumnsOnly = !m_run.listColumns().empty();
        CellJudge judge(inColumnsOnly ? m_run.listColumns() : m_run.likelyListColumns(), inColumnsOnly);
        for (std::size_t p = 0; p < m_pairs.size(); ++p) {
            Pair &pair = m_pairs[p];
            if (p == 0 || pair.row != m_pairs[p - 1].row)
                judge.setRow(m_run.datalines()[pair.row]);
            pair.firstVerdict = m_verdicts.size();
            pair.sum = judge.judge(m_keys[m_report.missing[pair.missing].keyLine], m_verdicts);
            pair.verdicts = m_verdicts.size() - pair.firstVerdict;
        }
    }

    // The reliable rows first, so that a second one is never left out of sight.
    void keepBest(std::vector<std::uint8_t> &marks)
    {
        const auto rank = [](const Pair &p) {
            const NearRow near{p.row, p.sum.causes, p.sum.exactCells};
            return std::tuple(p.missing, p.sum.conflict, !reliableNearRow(near, true), -std::int64_t(p.sum.exactCells),
                              -std::int64_t(p.sum.nearCells), p.row);
        };
        std::sort(m_pairs.begin(), m_pairs.end(), [&](const Pair &a, const Pair &b) { return rank(a) < rank(b); });
        for (const Pair &pair : m_pairs) {
            MissingKey &missing = m_report.missing[pair.missing];
            if (missing.nearRows.size() == most)
                continue;
            if (m_report.verdicts.size() + pair.verdicts > UINT32_MAX)
                throw std::length_error("too many cells to report");
            missing.nearRows.push_back({pair.row, pair.sum.causes, pair.sum.exactCells,
                                        static_cast<std::uint32_t>(m_report.verdicts.size()),
                                        static_cast<std::uint32_t>(pair.verdicts)});
            const auto first = m_verdicts.begin() + static_cast<std::ptrdiff_t>(pair.firstVerdict);
            m_report.verdicts.insert(m_report.verdicts.end(), first,
                                     first + static_cast<std::ptrdiff_t>(pair.verdicts));
            marks[pair.row] |= Near;
        }
    }

    const FilterRun &m_run;
    const LineTable &m_keys;
    Reconciliation &m_report;
    // The lines' cells, numbered; per cell of each line in turn, its number; per number, its rows.
    std::unique_ptr<KeyGroups> m_cells;
    std::vector<std::uint32_t> m_cellOf;
    std::vector<Postings> m_postings;
    std::vector<Pair> m_pairs;
    std::vector<CellVerdict> m_verdicts;
};

// The lines given rows by the user, each with why its row is near it. A row is taken apart once
// however many lines took it, and lines of one key on one row share their judgement: a list of
// one name a thousand times, all taking one long row, costs that row once.
void addTakenLines(const FilterRun &run, Reconciliation &report)
{
    const LineTable &keys = run.fixlines();
    const LineTable &rows = run.datalines();
    std::vector<std::pair<std::size_t, std::size_t>> byRow; // (row, key line)
    for (std::size_t i = 0; i < run.resultCount(); ++i) {
        if (run.adopted(i))
            byRow.emplace_back(*run.resultRow(i), i);
    }
    if (byRow.empty())
        return;
    std::sort(byRow.begin(), byRow.end(), [&](const auto &a, const auto &b) {
        return std::tuple(a.first, keys[a.second], a.second) < std::tuple(b.first, keys[b.second], b.second);
    });
    const bool inColumnsOnly = !run.listColumns().empty();
    CellJudge judge(inColumnsOnly ? run.listColumns() : run.likelyListColumns(), inColumnsOnly);
    std::vector<CellVerdict> verdicts;
    report.taken.reserve(byRow.size());
    for (std::size_t t = 0; t < byRow.size(); ++t) {
        const auto [row, line] = byRow[t];
        const std::u16string_view key = keys[line];
        TakenLine taken{line, {row, 0}, key.find(u'\t') != std::u16string_view::npos};
        const bool sameAsBefore = t > 0 && byRow[t - 1].first == row && keys[byRow[t - 1].second] == key;
        if (sameAsBefore) {
            taken.near = report.taken.back().near;
        } else if (taken.severalCells) {
            if (t == 0 || byRow[t - 1].first != row)
                judge.setRow(rows[row]);
            verdicts.clear();
            const CellJudgement sum = judge.judge(key, verdicts);
            if (report.verdicts.size() + verdicts.size() > UINT32_MAX)
                throw std::length_error("too many cells to report");
            taken.near = {row, sum.causes, sum.exactCells, static_cast<std::uint32_t>(report.verdicts.size()),
                          static_cast<std::uint32_t>(verdicts.size())};
            report.verdicts.insert(report.verdicts.end(), verdicts.begin(), verdicts.end());
        } else {
            taken.near.causes = oneCellCauses(key, rows[row]);
            if (taken.near.causes == 0 && run.matchColumn())
                taken.near.causes = OtherColumn;
        }
        report.taken.push_back(taken);
    }
    std::sort(report.taken.begin(), report.taken.end(),
              [](const TakenLine &a, const TakenLine &b) { return a.keyLine < b.keyLine; });
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
            const bool severalCells = keys[i].find(u'\t') != std::u16string_view::npos;
            report.missing.push_back({i, {}, severalCells});
            // A key holding a TAB spans columns: no single cell is near it; its cells are judged
            // one by one (CellListNearRows).
            nearKeys.push_back(severalCells ? std::u16string_view() : keys[i]);
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
    CellListNearRows(run, report).add(unusedRows, marks);
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

    addTakenLines(run, report);

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

bool reliableNearRow(const NearRow &near, bool severalCells)
{
    if ((near.causes & ~reliableCauses) != 0)
        return false;
    return !severalCells || near.exactCells > 0;
}

std::vector<std::pair<std::size_t, std::size_t>> safeAdoptions(const Reconciliation &report, const LineTable &keys)
{
    // A row reliable for lines of two different keys is neither's for sure.
    struct Claim
    {
        std::u16string_view key;
        bool contested = false;
    };
    std::unordered_map<std::size_t, Claim> claims;
    for (const MissingKey &missing : report.missing) {
        for (const NearRow &near : missing.nearRows) {
            if (!reliableNearRow(near, missing.severalCells))
                continue;
            const auto [claim, first] = claims.try_emplace(near.row, Claim{keys[missing.keyLine]});
            if (!first && claim->second.key != keys[missing.keyLine])
                claim->second.contested = true;
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> adoptions;
    for (const MissingKey &missing : report.missing) {
        std::size_t reliable = 0;
        std::size_t row = 0;
        for (const NearRow &near : missing.nearRows) {
            if (reliableNearRow(near, missing.severalCells)) {
                ++reliable;
                row = near.row;
            }
        }
        if (reliable == 1 && !claims[row].contested)
            adoptions.emplace_back(missing.keyLine, row);
    }
    return adoptions;
}

} // namespace lanshan
