#pragma once

#include <QAbstractListModel>

#include <functional>
#include <string>

namespace lanshan {

// A read-only list model over items that someone else holds: it asks for the count and for
// each item's text only when a view needs them, so a million items cost no copies.
class ItemListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ItemListModel)

public:
    using CountFunction = std::function<std::size_t()>;
    using TextFunction = std::function<std::u16string(std::size_t)>;
    // What a screen reader says for an item, given its shown text; empty: the shown text.
    using SpokenFunction = std::function<QString(const QString &shown)>;

    explicit ItemListModel(QObject *parent = nullptr);

    // New items altogether: views lose their selection and scroll to the top.
    void reset(CountFunction count = {}, TextFunction text = {});
    // The source has grown at its end; selection and scroll stay.
    void itemsAppended();

    void setSpokenForm(SpokenFunction spoken) { m_spoken = std::move(spoken); }
    // Items numbered "N." whose text is a number show the entry number apart ("4. 4"), so that
    // they do not read as decimals; copies take the item as it is.
    void setEntryNumbersApart(bool apart) { m_numbersApart = apart; }
    // What copying an item takes (ListBox::copyTextRole); unset: the item's text, whole and
    // without the marks that show its line breaks.
    void setCopyForm(TextFunction copy) { m_copy = std::move(copy); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    CountFunction m_count;
    TextFunction m_text;
    SpokenFunction m_spoken;
    TextFunction m_copy;
    bool m_numbersApart = false;
    int m_rows = 0;
};

} // namespace lanshan
