#include "itemlistmodel.h"

#include <algorithm>
#include <limits>

namespace lanshan {

namespace {

int clampedCount(const ItemListModel::CountFunction &count)
{
    if (!count)
        return 0;
    return static_cast<int>(std::min<std::size_t>(count(), std::numeric_limits<int>::max()));
}

} // namespace

ItemListModel::ItemListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

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
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows)
        return {};
    std::u16string text = m_text(static_cast<std::size_t>(index.row()));
    if (text.size() > shownLength) {
        // Not into a surrogate pair.
        const std::size_t cut = QChar::isHighSurrogate(text[shownLength - 1]) ? shownLength - 1 : shownLength;
        text.resize(cut);
        text += u'\u2026';
    }
    return QString::fromStdU16String(text);
}

} // namespace lanshan
