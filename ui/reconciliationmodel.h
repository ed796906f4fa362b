#pragma once

#include "reconciliation.h"
#include "reportwording.h"

#include <QAbstractItemModel>

#include <memory>
#include <optional>

namespace lanshan {

class FilterRun;

// The reconciliation report of a run as a tree of five groups: the keys without a row, each
// with its near rows; the keys left empty by choice, each with its rows; the rows no key took;
// the lines whose row may not be theirs, each with that row and why; the lines given a near row,
// each with that row and why it is near. Three columns: the entry or row number, the text
// with its invisible characters shown, and the cause in words. Items are made when a view asks for them, so a report of
// a million rows costs no copies. A key of several cells also gives its cells to be drawn apart (cellTextRole).
class ReconciliationModel : public QAbstractItemModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReconciliationModel)

public:
    enum Group { Missing, LeftEmpty, Unused, Suspect, Taken, GroupCount };

    explicit ReconciliationModel(QObject *parent = nullptr);
    ~ReconciliationModel() override;

    // The run's report afresh, or none.
    void setReport(std::shared_ptr<const FilterRun> run, Reconciliation report);
    const Reconciliation &report() const { return m_report; }

    // The key line and the row the user may take for it: a near row of a key without a row, or
    // a row of a key left empty; nothing elsewhere.
    std::optional<std::pair<std::size_t, std::size_t>> rowToTakeAt(const QModelIndex &index) const;
    // The key line the user may empty: a line whose row may not be its own, or that row.
    std::optional<std::size_t> suspectLineAt(const QModelIndex &index) const;
    // What is wrong with that line, in one sentence; nothing elsewhere.
    QString suspectSentenceAt(const QModelIndex &index) const;
    // Why a near row or a taken row is near its key line, whole, in one sentence: the cause column
    // may cut it off; nothing elsewhere.
    QString nearSentenceAt(const QModelIndex &index) const;
    // The key line whose taken row the user may give back: a line of the taken group, or its row.
    std::optional<std::size_t> takenLineAt(const QModelIndex &index) const;
    // The entry of a key line in a group of key lines; invalid where it is not there.
    QModelIndex keyLineIndex(int group, std::size_t line) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int entryCount(int group) const;
    QString groupText(int group) const;
    // The key line of an entry of the group, or of its row; nothing elsewhere.
    std::optional<std::size_t> lineOfGroupAt(const QModelIndex &index, int group) const;
    // The key line of an entry of the missing, left-empty, suspect or taken group.
    std::size_t keyLineOf(int group, std::size_t entry) const;
    QString entryText(int group, std::size_t entry, int column) const;
    QString rowText(int group, std::size_t entry, std::size_t child, int column) const;

    std::shared_ptr<const FilterRun> m_run;
    Reconciliation m_report;
};

} // namespace lanshan
