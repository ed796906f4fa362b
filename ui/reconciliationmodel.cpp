#include "reconciliationmodel.h"

#include "cellgrid.h"
#include "displaytext.h"
#include "filterrun.h"

#include <algorithm>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace lanshan {

namespace {

// Item ids: 0 for a group, 1 + group for an entry of that group, and from 5 on an entry's own
// row: the entry's index four times, plus the group's place among the groups with rows.
constexpr quintptr entryBase = 1;
constexpr quintptr rowBase = entryBase + ReconciliationModel::GroupCount;
constexpr int groupsWithRows = 4;
constexpr int groupOfRowKind[groupsWithRows] = {ReconciliationModel::Missing, ReconciliationModel::LeftEmpty,
                                                ReconciliationModel::Suspect, ReconciliationModel::Taken};

int rowKind(int group)
{
    return static_cast<int>(std::ranges::find(groupOfRowKind, group) - std::begin(groupOfRowKind));
}

int groupOfRow(quintptr id)
{
    return groupOfRowKind[(id - rowBase) % groupsWithRows];
}

std::size_t entryOfRow(quintptr id)
{
    return (id - rowBase) / groupsWithRows;
}

int clamped(std::size_t count)
{
    return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
}

// As the lists show a line: its first characters when it is long, on one line, with the spaces
// and invisible characters that tell it apart from the key made visible.
QString shown(std::u16string_view text)
{
    return QString::fromStdU16String(visibleLine(excerptText(text, shownLength)));
}

QString words(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString rowNumber(std::size_t row)
{
    return u"第 %1 行"_s.arg(row + 1);
}

QString entryNumber(std::size_t line)
{
    return u"%1."_s.arg(line + 1);
}

} // namespace

ReconciliationModel::ReconciliationModel(QObject *parent)
    : QAbstractItemModel(parent)
{ }

ReconciliationModel::~ReconciliationModel() = default;

void ReconciliationModel::setReport(std::shared_ptr<const FilterRun> run, Reconciliation report)
{
    beginResetModel();
    m_run = std::move(run);
    m_report = m_run ? std::move(report) : Reconciliation{};
    endResetModel();
}

int ReconciliationModel::entryCount(int group) const
{
    switch (group) {
    case Missing: return clamped(m_report.missing.size());
    case LeftEmpty: return clamped(m_report.leftEmpty.size());
    case Unused: return clamped(m_report.unused.size());
    case Suspect: return clamped(m_report.suspect.size());
    case Taken: return clamped(m_report.taken.size());
    default: return 0;
    }
}

QModelIndex ReconciliationModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount() || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, quintptr(0));
    const quintptr id = parent.internalId();
    if (id == 0)
        return createIndex(row, column, entryBase + static_cast<quintptr>(parent.row()));
    const auto group = static_cast<int>(id - entryBase);
    return createIndex(row, column, rowBase + groupsWithRows * static_cast<quintptr>(parent.row()) + rowKind(group));
}

QModelIndex ReconciliationModel::parent(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return {};
    const quintptr id = index.internalId();
    if (id < rowBase)
        return createIndex(static_cast<int>(id - entryBase), 0, quintptr(0));
    return createIndex(static_cast<int>(entryOfRow(id)), 0, entryBase + static_cast<quintptr>(groupOfRow(id)));
}

int ReconciliationModel::rowCount(const QModelIndex &parent) const
{
    if (!m_run)
        return 0;
    if (!parent.isValid())
        return GroupCount;
    if (parent.column() != 0)
        return 0;
    const quintptr id = parent.internalId();
    if (id == 0)
        return entryCount(parent.row());
    if (id >= rowBase)
        return 0;
    const auto entry = static_cast<std::size_t>(parent.row());
    switch (static_cast<int>(id - entryBase)) {
    case Missing: return clamped(m_report.missing[entry].nearRows.size());
    case LeftEmpty: return clamped(m_report.leftEmpty[entry].rows.size());
    case Suspect:
    case Taken: return 1;
    default: return 0;
    }
}

int ReconciliationModel::columnCount(const QModelIndex &) const
{
    return 3;
}

std::optional<std::pair<std::size_t, std::size_t>> ReconciliationModel::rowToTakeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.internalId() < rowBase)
        return std::nullopt;
    const std::size_t entry = entryOfRow(index.internalId());
    const auto child = static_cast<std::size_t>(index.row());
    switch (groupOfRow(index.internalId())) {
    case LeftEmpty: {
        const LeftEmptyKey &key = m_report.leftEmpty[entry];
        return std::pair{key.keyLine, key.rows[child]};
    }
    case Missing: {
        const MissingKey &key = m_report.missing[entry];
        return std::pair{key.keyLine, key.nearRows[child].row};
    }
    default: return std::nullopt;
    }
}

std::optional<std::size_t> ReconciliationModel::lineOfGroupAt(const QModelIndex &index, int group) const
{
    if (!index.isValid() || index.model() != this || index.internalId() == 0)
        return std::nullopt;
    const quintptr id = index.internalId();
    if (id == entryBase + static_cast<quintptr>(group))
        return keyLineOf(group, static_cast<std::size_t>(index.row()));
    if (id >= rowBase && groupOfRow(id) == group)
        return keyLineOf(group, entryOfRow(id));
    return std::nullopt;
}

std::optional<std::size_t> ReconciliationModel::suspectLineAt(const QModelIndex &index) const
{
    return lineOfGroupAt(index, Suspect);
}

std::optional<std::size_t> ReconciliationModel::takenLineAt(const QModelIndex &index) const
{
    return lineOfGroupAt(index, Taken);
}

QModelIndex ReconciliationModel::keyLineIndex(int group, std::size_t line) const
{
    // Every group of key lines is in key order.
    const auto find = [&](const auto &entries, auto keyLine) -> QModelIndex {
        const auto at = std::ranges::lower_bound(entries, line, {}, keyLine);
        if (at == entries.end() || std::invoke(keyLine, *at) != line)
            return {};
        return index(clamped(static_cast<std::size_t>(at - entries.begin())), 0, index(group, 0));
    };
    switch (group) {
    case Missing: return find(m_report.missing, &MissingKey::keyLine);
    case LeftEmpty: return find(m_report.leftEmpty, &LeftEmptyKey::keyLine);
    case Suspect: return find(m_report.suspect, &SuspectLine::keyLine);
    case Taken: return find(m_report.taken, &TakenLine::keyLine);
    default: return {};
    }
}

QString ReconciliationModel::nearSentenceAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.internalId() < entryBase + Taken)
        return {};
    // A taken line explains itself as its row does.
    const bool takenLine = index.internalId() == entryBase + Taken;
    if (index.internalId() < rowBase && !takenLine)
        return {};
    const int group = takenLine ? int(Taken) : groupOfRow(index.internalId());
    const std::size_t entry = takenLine ? static_cast<std::size_t>(index.row()) : entryOfRow(index.internalId());
    if (group == Missing) {
        const NearRow &near = m_report.missing[entry].nearRows[static_cast<std::size_t>(index.row())];
        return u"%1与第 %2 个关键字相近：%3。"_s.arg(rowNumber(near.row),
                                                     QString::number(m_report.missing[entry].keyLine + 1),
                                                     rowText(group, entry, static_cast<std::size_t>(index.row()), 2));
    }
    if (group == Taken) {
        const TakenLine &taken = m_report.taken[entry];
        return u"第 %1 个关键字采用了%2：%3。点“留空”撤回。"_s.arg(
            QString::number(taken.keyLine + 1), rowNumber(taken.near.row), rowText(group, entry, 0, 2));
    }
    return {};
}

QString ReconciliationModel::suspectSentenceAt(const QModelIndex &index) const
{
    const std::optional<std::size_t> line = suspectLineAt(index);
    if (!line)
        return {};
    const auto at = std::ranges::lower_bound(m_report.suspect, *line, {}, &SuspectLine::keyLine);
    return u"第 %1 个关键字的结果（%2）可能取错：%3。点“留空”把它清空。"_s.arg(*line + 1).arg(
        rowNumber(at->row), QString::fromStdU16String(suspectWords(*at, m_report.keyColumn)));
}

QString ReconciliationModel::groupText(int group) const
{
    switch (group) {
    case Missing: return u"%1（%2 个关键字）"_s.arg(words(missingGroupWords)).arg(m_report.missing.size());
    case LeftEmpty: return u"%1（%2 个关键字）"_s.arg(words(leftEmptyGroupWords)).arg(m_report.leftEmpty.size());
    case Suspect: return u"%1（%2 行）"_s.arg(words(suspectGroupWords)).arg(m_report.suspect.size());
    case Taken: return u"%1（%2 行）"_s.arg(words(takenGroupWords)).arg(m_report.taken.size());
    default: return u"%1（%2 行数据）"_s.arg(words(unusedGroupWords)).arg(m_report.unused.size());
    }
}

std::size_t ReconciliationModel::keyLineOf(int group, std::size_t entry) const
{
    switch (group) {
    case Missing: return m_report.missing[entry].keyLine;
    case LeftEmpty: return m_report.leftEmpty[entry].keyLine;
    case Taken: return m_report.taken[entry].keyLine;
    default: return m_report.suspect[entry].keyLine;
    }
}

QString ReconciliationModel::entryText(int group, std::size_t entry, int column) const
{
    if (group == Unused) {
        const UnusedRow &unused = m_report.unused[entry];
        if (column == 0)
            return rowNumber(unused.row);
        return column == 1 ? shown(m_run->datalines()[unused.row]) : words(unusedReasonWords(unused.reason));
    }
    const std::size_t line = keyLineOf(group, entry);
    if (column == 0)
        return entryNumber(line);
    if (column == 1) {
        // A key of several cells reads as its cells: its TABs are shown.
        QString key = shown(m_run->fixlines()[line]);
        key.replace(u'\t', QChar(cellMark));
        return key;
    }
    if (group == Suspect)
        return u"%1，结果为%2"_s.arg(words(suspectGroupWords), rowNumber(m_report.suspect[entry].row));
    if (group == Taken)
        return u"%1%2"_s.arg(words(takenGroupWords), rowNumber(m_report.taken[entry].near.row));
    if (group == LeftEmpty)
        return u"%1，%2 %3 行"_s.arg(words(leftEmptyGroupWords), words(keyRowWords))
            .arg(m_report.leftEmpty[entry].rows.size());
    const std::size_t near = m_report.missing[entry].nearRows.size();
    return near ? u"相近的数据 %1 行"_s.arg(near) : words(noNearRowWords);
}

QString ReconciliationModel::rowText(int group, std::size_t entry, std::size_t child, int column) const
{
    std::size_t row = 0;
    QString cause = words(keyRowWords);
    if (group == Missing) {
        const NearRow &near = m_report.missing[entry].nearRows[child];
        row = near.row;
        cause = QString::fromStdU16String(
            nearRowWords(m_report, near, m_run->fixlines()[m_report.missing[entry].keyLine], m_run->datalines()[row]));
    } else if (group == Taken) {
        const TakenLine &taken = m_report.taken[entry];
        row = taken.near.row;
        cause = taken.near.causes == 0
                    ? words(keyRowWords)
                    : QString::fromStdU16String(
                        nearRowWords(m_report, taken.near, m_run->fixlines()[taken.keyLine], m_run->datalines()[row]));
    } else if (group == Suspect) {
        const SuspectLine &suspect = m_report.suspect[entry];
        row = suspect.row;
        cause = QString::fromStdU16String(suspectWords(suspect, m_report.keyColumn));
    } else {
        row = m_report.leftEmpty[entry].rows[child];
    }
    if (column == 0)
        return rowNumber(row);
    return column == 1 ? shown(m_run->datalines()[row]) : cause;
}

QVariant ReconciliationModel::data(const QModelIndex &index, int role) const
{
    const bool cells = role == cellTextRole && index.column() == 1;
    if (!index.isValid() || !m_run || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && !cells))
        return {};
    const quintptr id = index.internalId();
    if (cells) {
        // A key of several cells is drawn cell by cell, each still followed by its ⇥; a row is
        // drawn from the TABs it shows.
        if (id == 0 || id >= rowBase || id == entryBase + Unused)
            return {};
        QString key = shown(
            m_run->fixlines()[keyLineOf(static_cast<int>(id - entryBase), static_cast<std::size_t>(index.row()))]);
        key.replace(u'\t', QString(QChar(cellMark)) + u'\t');
        return key;
    }
    if (id == 0)
        return index.column() == 0 ? groupText(index.row()) : QString();
    if (id < rowBase)
        return entryText(static_cast<int>(id - entryBase), static_cast<std::size_t>(index.row()), index.column());
    return rowText(groupOfRow(id), entryOfRow(id), static_cast<std::size_t>(index.row()), index.column());
}

QVariant ReconciliationModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0: return u"序号"_s;
    case 1: return u"内容"_s;
    default: return u"原因"_s;
    }
}

} // namespace lanshan
