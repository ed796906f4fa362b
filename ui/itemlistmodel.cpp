#include "itemlistmodel.h"

#include "displaytext.h"
#include "itemtext.h"
#include "listbox.h"
#include "logging.h"

#include <algorithm>
#include <limits>

namespace lanshan {

namespace {

// Qt lets no exception pass through its event handling: a source that cannot answer counts as
// empty, an item it cannot give shows no text; either is a fault, and it is logged.
int clampedCount(const ItemListModel::CountFunction &count) noexcept
{
    if (!count)
        return 0;
    try {
        return static_cast<int>(std::min<std::size_t>(count(), std::numeric_limits<int>::max()));
    } catch (const std::exception &error) {
        qCWarning(lcItemList) << "no item count:" << error.what();
    } catch (...) {
        qCWarning(lcItemList) << "no item count";
    }
    return 0;
}

std::u16string itemText(const ItemListModel::TextFunction &text, int row) noexcept
{
    if (!text)
        return {};
    try {
        return text(static_cast<std::size_t>(row));
    } catch (const std::exception &error) {
        qCWarning(lcItemList) << "no text for item" << row << ':' << error.what();
    } catch (...) {
        qCWarning(lcItemList) << "no text for item" << row;
    }
    return {};
}

} // namespace

ItemListModel::ItemListModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

void ItemListModel::reset(CountFunction count, TextFunction text)
{
    beginResetModel();
    m_count = std::move(count);
    m_text = std::move(text);
    m_rows = clampedCount(m_count);
    endResetModel();
}

void ItemListModel::itemsAppended()
{
    const int rows = clampedCount(m_count);
    if (rows <= m_rows)
        return;
    beginInsertRows({}, m_rows, rows - 1);
    m_rows = rows;
    endInsertRows();
}

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant ItemListModel::data(const QModelIndex &index, int role) const
{
    const bool spoken = role == Qt::AccessibleTextRole && m_spoken;
    const bool copied = role == ListBox::copyTextRole;
    if ((role != Qt::DisplayRole && !spoken && !copied) || !index.isValid() || index.row() >= m_rows)
        return {};
    if (copied)
        return QString::fromStdU16String(itemText(m_copy ? m_copy : m_text, index.row()));
    std::u16string text = itemText(m_text, index.row());
    if (m_numbersApart)
        text = entryNumberApart(text);
    if (text.size() > shownLength)
        text = excerptText(text, shownLength);
    // A line break inside a row (a spreadsheet cell's, kept on Windows) shows as a mark, so
    // that every item stays one line high and the two lists of the synchronized view stay
    // aligned; copying takes the row from the tables, whole.
    markLineBreaks(text, LineBreaks::CrLf);
    const QString shown = QString::fromStdU16String(text);
    return spoken ? m_spoken(shown) : shown;
}

} // namespace lanshan
