#include "filterrun.h"

#include "itemtext.h"
#include "keyrule.h"
#include "linecells.h"
#include "rowcells.h"

#include <algorithm>
#include <stdexcept>

namespace lanshan {

FilterRun::FilterRun(std::u16string keysText, std::u16string dataText, RunOptions options)
    : m_options(options)
    , m_fixlines(std::move(keysText))
    , m_datalines(std::move(dataText))
{
    if (m_fixlines.lastPosition() < 1)
        return;
    using Kind = KeyColumnChoice::Kind;
    if (m_options.keyColumn.kind == Kind::Column && m_options.keyColumn.column > 0)
        m_matchColumn = m_options.keyColumn.column;
    m_matcher = std::make_unique<Matcher>(m_fixlines, m_datalines, m_matchColumn, m_options.keyCells);
    if (m_options.keyColumn.kind == Kind::Auto) {
        m_likelyKeyColumn = m_matcher->majorityColumn();
        // A list of several columns: each cell looked for in the column where most lines hold it.
        if (keyListColumns() > 1)
            m_listColumns = Matcher::listCellColumns(m_fixlines, m_datalines, *m_matcher);
        const bool inListColumns =
            std::ranges::any_of(m_listColumns, [](std::uint32_t column) { return column != UINT32_MAX; });
        if (*m_likelyKeyColumn)
            m_matchColumn = *m_likelyKeyColumn;
        if (*m_likelyKeyColumn || inListColumns)
            m_matcher =
                std::make_unique<Matcher>(m_fixlines, m_datalines, m_matchColumn, m_options.keyCells, m_listColumns);
        if (!inListColumns)
            m_listColumns.clear();
    }
    m_resultRow.assign(m_fixlines.size(), noRow);
    m_emptiedByChoice.assign(m_fixlines.size(), false);
    m_adopted.assign(m_fixlines.size(), false);
    advance();
}

std::optional<std::size_t> FilterRun::likelyKeyColumn() const
{
    if (!m_likelyKeyColumn)
        m_likelyKeyColumn = m_matcher ? m_matcher->majorityColumn() : std::nullopt;
    return *m_likelyKeyColumn;
}

const std::vector<std::uint32_t> &FilterRun::likelyListColumns() const
{
    if (!m_likelyListColumns) {
        m_likelyListColumns.emplace();
        if (m_matcher && keyListColumns() > 1)
            *m_likelyListColumns =
                m_listColumns.empty() ? Matcher::listCellColumns(m_fixlines, m_datalines, *m_matcher) : m_listColumns;
    }
    return *m_likelyListColumns;
}

std::size_t FilterRun::keyListColumns() const
{
    if (!m_keyListColumns) {
        std::size_t most = 1;
        for (std::size_t i = 0; i < m_fixlines.size(); ++i) {
            const std::u16string_view key = m_fixlines[i];
            if (key.find(u'\t') == std::u16string_view::npos)
                continue;
            std::size_t cells = 0;
            forEachCell(
                key, [&](std::u16string_view cell, std::size_t, std::uint32_t, bool) { cells += !isEmptyKey(cell); });
            most = std::max(most, cells);
        }
        m_keyListColumns = most;
    }
    return *m_keyListColumns;
}

std::size_t FilterRun::countedLines() const
{
    const std::size_t lines = m_resultRow.size();
    return lines > 1 && m_fixlines[lines - 1].empty() ? lines - 1 : lines;
}

std::size_t FilterRun::questionCount() const
{
    if (!m_questionCount) {
        m_questionCount = 0;
        for (std::size_t i = 0; m_matcher && i < m_fixlines.size(); ++i)
            *m_questionCount += m_matcher->confirmedRows(i).size() > 1;
    }
    return *m_questionCount;
}

std::vector<char> FilterRun::linesHeldIn(std::size_t column) const
{
    return m_matcher ? m_matcher->linesHeldIn(column) : std::vector<char>(m_fixlines.size(), false);
}

std::size_t FilterRun::questionNumber() const
{
    requireAwaiting();
    return m_questionsMet;
}

std::u16string_view FilterRun::result(std::size_t pos) const
{
    const std::size_t row = m_resultRow.at(pos);
    return row == noRow ? std::u16string_view() : m_datalines[row];
}

std::u16string FilterRun::keyItem(std::size_t pos) const
{
    if (pos >= m_settled)
        throw std::out_of_range("key line not settled");
    return numberedItem(pos, m_fixlines[pos]);
}

std::u16string FilterRun::resultItem(std::size_t pos) const
{
    if (pos >= m_settled)
        throw std::out_of_range("key line not settled");
    return numberedItem(pos, result(pos));
}

std::size_t FilterRun::pickpos() const
{
    requireAwaiting();
    return m_settled;
}

std::span<const std::size_t> FilterRun::candidateRows() const
{
    requireAwaiting();
    return m_matcher->confirmedRows(m_settled);
}

std::u16string FilterRun::markedKeyItem(std::size_t pos) const
{
    requireAwaiting();
    return markedItem(pos, m_fixlines[pos], pos == m_settled);
}

std::u16string FilterRun::candidateItem(std::size_t item) const
{
    const std::size_t row = candidateRows()[item];
    return candidateEntry(row, m_datalines[row]);
}

std::u16string FilterRun::candidatePosition(std::size_t item) const
{
    return positionItem(candidateRows()[item]);
}

void FilterRun::choose(std::size_t rowPos)
{
    const std::span<const std::size_t> rows = candidateRows();
    if (!std::binary_search(rows.begin(), rows.end(), rowPos))
        throw std::invalid_argument("row is not a candidate of the awaited line");
    settle(rowPos);
    advance();
}

void FilterRun::ignore()
{
    requireAwaiting();
    settle(noRow);
    advance();
}

std::span<const std::size_t> FilterRun::confirmedRows(std::size_t pos) const
{
    if (pos >= m_resultRow.size())
        throw std::out_of_range("no such key line");
    return m_matcher->confirmedRows(pos);
}

std::span<const std::size_t> FilterRun::everyConfirmedRow() const
{
    return m_matcher ? m_matcher->everyConfirmedRow() : std::span<const std::size_t>();
}

bool FilterRun::leftEmpty(std::size_t pos) const
{
    // Only ignore() settles a line with several rows and gives it none; leaveEmpty() any line.
    return pos < m_settled && m_resultRow[pos] == noRow && (confirmedRows(pos).size() > 1 || m_emptiedByChoice[pos]);
}

std::vector<std::uint32_t> FilterRun::keyCells(std::size_t pos, std::size_t row) const
{
    const std::span<const std::size_t> rows = confirmedRows(pos);
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at == rows.end() || *at != row)
        return {};
    const std::span<const std::uint32_t> kept = m_matcher->keyCells(pos, static_cast<std::size_t>(at - rows.begin()));
    // A line of several cells keeps only its first row's cells.
    if (kept.empty() && m_fixlines[pos].find(u'\t') != std::u16string_view::npos)
        return cellsHoldingLine(m_fixlines[pos], m_datalines[row], m_options.keyCells, m_listColumns);
    return {kept.begin(), kept.end()};
}

void FilterRun::leaveEmpty(std::size_t keyLine)
{
    if (m_state != State::Finished)
        throw std::logic_error("the run is not finished");
    if (m_resultRow.at(keyLine) == noRow)
        throw std::logic_error("the key line has no row");
    m_resultRow[keyLine] = noRow;
    m_emptiedByChoice[keyLine] = true;
    m_adopted[keyLine] = false;
}

void FilterRun::giveBack(std::size_t keyLine)
{
    if (m_state != State::Finished)
        throw std::logic_error("the run is not finished");
    if (!m_adopted.at(keyLine))
        throw std::logic_error("the key line's row was not taken");
    m_resultRow[keyLine] = noRow;
    m_adopted[keyLine] = false;
}

void FilterRun::adopt(std::size_t keyLine, std::size_t row)
{
    if (m_state != State::Finished)
        throw std::logic_error("the run is not finished");
    if (m_resultRow.at(keyLine) != noRow)
        throw std::logic_error("the key line has a row already");
    if (row >= m_datalines.size())
        throw std::out_of_range("no such row");
    m_resultRow[keyLine] = row;
    m_adopted[keyLine] = true;
}

std::u16string FilterRun::resultText() const
{
    std::u16string text;
    std::size_t size = m_resultRow.empty() ? 0 : 2 * (m_resultRow.size() - 1);
    for (std::size_t i = 0; i < m_resultRow.size(); ++i)
        size += result(i).size();
    text.reserve(size);
    for (std::size_t i = 0; i < m_resultRow.size(); ++i) {
        if (i > 0)
            text += u"\r\n";
        text += result(i);
    }
    return text;
}

bool FilterRun::needsWarning() const
{
    // The result text is empty when there is no result line, or one that is empty.
    const bool resultEmpty = m_resultRow.empty() || (m_resultRow.size() == 1 && result(0).empty());
    return lanshan::needsWarning(m_fixlines.text().empty(), m_datalines.text().empty(), resultEmpty);
}

bool needsWarning(bool keysEmpty, bool dataEmpty, bool resultEmpty)
{
    return keysEmpty || dataEmpty || resultEmpty;
}

void FilterRun::ignoreRest()
{
    requireAwaiting();
    m_ignoringRest = true;
    ++m_restLeftEmpty;
    settle(noRow);
    advance();
}

void FilterRun::settle(std::size_t row)
{
    m_resultRow[m_settled++] = row;
}

void FilterRun::advance()
{
    while (m_settled < m_resultRow.size()) {
        const std::span<const std::size_t> rows = m_matcher->confirmedRows(m_settled);
        if (rows.size() > 1) {
            ++m_questionsMet;
            if (m_ignoringRest) {
                ++m_restLeftEmpty;
                settle(noRow);
                continue;
            }
            switch (m_options.duplicates) {
            case DuplicateRows::Ask: m_state = State::AwaitingChoice; return;
            case DuplicateRows::TakeFirst: settle(rows.front()); break;
            case DuplicateRows::TakeLast: settle(rows.back()); break;
            case DuplicateRows::LeaveEmpty: settle(noRow); break;
            }
            continue;
        }
        settle(rows.empty() ? noRow : rows.front());
    }
    m_state = State::Finished;
}

void FilterRun::requireAwaiting() const
{
    if (m_state != State::AwaitingChoice)
        throw std::logic_error("the run awaits no choice");
}

} // namespace lanshan
