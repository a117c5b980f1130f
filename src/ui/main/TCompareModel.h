#pragma once

#include "ContentDiff.h"

#include <QAbstractItemModel>

#include <vector>

// The entries of the comparison list as a tree: the groups that differ (an
// account, the Header, the Trailer, the records without an account), under
// each its records added, removed or changed, and under a changed record
// each field with its old and new value. Rows are made from the comparison's
// own results when the view asks for them; nothing is copied.
class TCompareModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum TColumn { SubjectColumn, ChangeColumn, OldColumn, NewColumn, ColumnCount };

    // Where an entry points in the open file: the record, and the field to
    // focus (-1 for the record's row). No record for what only the older
    // file holds.
    struct TTarget {
        const TContentRec* Rec = nullptr;
        int FieldIndex = -1;
    };

    explicit TCompareModel(QObject* parent = nullptr);

    // The results shown, read until the next call; none shows nothing, and
    // is what the model must be given while the results change.
    void SetAccounts(const std::vector<TAccountDifference>* accounts);

    TTarget Target(const QModelIndex& index) const;
    // Names an entry across a change of the results, as long as it stays.
    QString EntryKey(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // What a row of the tree is: a group, one of its records, or a field of
    // a changed record.
    struct TEntry {
        const TAccountDifference* Group = nullptr;
        const TRecordDifference* Record = nullptr;
        const TFieldDifference* Field = nullptr;
    };

    TEntry EntryOf(const QModelIndex& index) const;
    QVariant Text(const TEntry& entry, int column) const;

    const std::vector<TAccountDifference>* FAccounts = nullptr;
};
