#include "celljudge.h"

#include "keyrule.h"
#include "nearcause.h"
#include "rowcells.h"

#include <type_traits>

namespace lanshan {

CellJudge::CellJudge(std::span<const std::uint32_t> columns, bool inColumnsOnly)
    : m_columns(columns.begin(), columns.end())
    , m_inColumnsOnly(inColumnsOnly)
{ }

CellJudge::~CellJudge() = default;

void CellJudge::setRow(std::u16string_view row)
{
    m_cells.clear();
    forEachCell(row, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { m_cells.push_back(cell); });
    // Clearing a table costs its buckets, which a wide row leaves many of: after one, the narrow
    // rows that follow get tables of their own size.
    const auto sized = [&](auto &table) {
        if (table.bucket_count() > 4 * (m_cells.size() + 16))
            table = std::remove_reference_t<decltype(table)>();
        else
            table.clear();
    };
    sized(m_held);
    if (!m_inColumnsOnly) {
        for (const std::u16string_view cell : m_cells)
            ++m_held[cell].count;
    }
    m_forms.assign(m_cells.size(), std::nullopt);
    m_classForms.assign(m_cells.size(), std::nullopt);
    sized(m_byForm);
    m_byFormMade = false;
}

std::uint32_t CellJudge::columnOf(std::uint32_t keyCell) const
{
    return keyCell < m_columns.size() ? m_columns[keyCell] : noColumn;
}

const std::u32string &CellJudge::formOf(std::uint32_t cell)
{
    if (!m_forms[cell])
        m_forms[cell] = canonicalForm(m_cells[cell]);
    return *m_forms[cell];
}

const ClassForms &CellJudge::classFormsOf(std::uint32_t cell)
{
    if (!m_classForms[cell])
        m_classForms[cell].emplace(m_cells[cell]);
    return *m_classForms[cell];
}

std::optional<std::uint32_t> CellJudge::cellOfForm(const std::u32string &form)
{
    if (!m_byFormMade) {
        // The leftmost cell of each form; the forms live in m_forms, which no longer grows.
        for (std::uint32_t c = 0; c < m_cells.size(); ++c) {
            if (!isEmptyKey(m_cells[c]))
                m_byForm.try_emplace(formOf(c), c);
        }
        m_byFormMade = true;
    }
    const auto found = m_byForm.find(form);
    return found == m_byForm.end() ? std::nullopt : std::optional<std::uint32_t>(found->second);
}

bool CellJudge::takeExact(std::u16string_view cell, std::uint32_t column)
{
    if (m_inColumnsOnly)
        return column < m_cells.size() && m_cells[column] == cell;
    // Each cell of the row stands for one cell of the line, as the filter takes them.
    const auto found = m_held.find(cell);
    if (found == m_held.end())
        return false;
    Held &held = found->second;
    if (held.takenStamp != m_stamp) {
        held.takenStamp = m_stamp;
        held.taken = 0;
    }
    if (held.taken == held.count)
        return false;
    ++held.taken;
    return true;
}

CellVerdict CellJudge::verdictOf(std::u16string_view cell, std::uint32_t keyCell, std::uint32_t column)
{
    const bool columnKnown = column < m_cells.size();
    const std::u32string form = canonicalForm(cell);
    if (!form.empty()) {
        // The same but for what the eye does not see or the keyboard's mode changes.
        std::optional<std::uint32_t> same;
        if (m_inColumnsOnly) {
            if (columnKnown && formOf(column) == form)
                same = column;
        } else {
            same = cellOfForm(form);
        }
        if (same)
            return {keyCell, *same, ClassForms(cell).differingClasses(classFormsOf(*same)), CellFate::Near};
        // A slip of one character, where the cell belongs.
        if (columnKnown && longEnoughForm(form) && oneEditApart(form, formOf(column)))
            return {keyCell, column, OneChar, CellFate::Near};
    }
    if (columnKnown && !isEmptyKey(m_cells[column]))
        return {keyCell, column, 0, CellFate::Conflict};
    return {keyCell, column, 0, CellFate::Absent};
}

CellJudgement CellJudge::judge(std::u16string_view line, std::vector<CellVerdict> &verdicts)
{
    if (++m_stamp == 0) {
        for (auto &[text, held] : m_held)
            held.takenStamp = 0;
        m_stamp = 1;
    }
    CellJudgement sum;
    // Every cell's exact match is taken before any is judged near, so that a cell the row holds
    // twice is not spent on a near one.
    const std::size_t firstVerdict = verdicts.size();
    m_pending.clear();
    forEachCell(line, [&](std::u16string_view cell, std::size_t, std::uint32_t keyCell, bool) {
        if (isEmptyKey(cell))
            return;
        if (takeExact(cell, columnOf(keyCell))) {
            ++sum.exactCells;
        } else {
            verdicts.push_back({keyCell, 0, 0, CellFate::Absent});
            m_pending.push_back(cell);
        }
    });
    for (std::size_t v = firstVerdict; v < verdicts.size(); ++v) {
        const std::uint32_t keyCell = verdicts[v].keyCell;
        verdicts[v] = verdictOf(m_pending[v - firstVerdict], keyCell, columnOf(keyCell));
        switch (verdicts[v].fate) {
        case CellFate::Near:
            ++sum.nearCells;
            sum.causes |= verdicts[v].causes;
            break;
        case CellFate::Conflict:
            sum.conflict = true;
            sum.causes |= OtherValue;
            break;
        case CellFate::Absent: sum.causes |= PartOfKey; break;
        case CellFate::Exact: break;
        }
    }
    return sum;
}

unsigned oneCellCauses(std::u16string_view key, std::u16string_view row)
{
    const std::u32string form = canonicalForm(key);
    if (form.empty())
        return 0;
    const bool longEnough = longEnoughForm(form);
    bool exact = false;
    std::optional<unsigned> same;
    unsigned longer = 0;
    unsigned oneChar = 0;
    // The first cell by the best rule; a cell equal to the key, but for the last, is the key's own.
    forEachCell(row, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool last) {
        const unsigned lastBit = last ? unsigned(LastColumn) : 0u;
        if (cell == key && !last) {
            exact = true;
            return true;
        }
        const std::u32string cellForm = canonicalForm(cell);
        if (cellForm == form) {
            if (!same)
                same = differingClasses(key, cell) | lastBit;
            return false;
        }
        if (!longEnough)
            return false;
        const std::u32string_view cellView(cellForm);
        if (!longer && cellForm.size() > form.size() && (cellView.starts_with(form) || cellView.ends_with(form)))
            longer = LongerValue | lastBit;
        if (!oneChar && oneEditApart(form, cellForm))
            oneChar = OneChar | lastBit;
        return false;
    });
    if (exact)
        return 0;
    return same ? *same : longer ? longer : oneChar;
}

} // namespace lanshan
