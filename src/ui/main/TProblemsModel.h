#pragma once

#include "ContentCheck.h"

#include <QAbstractTableModel>

#include <array>
#include <vector>

class TFormat;

// The rows of the problems list: one per finding, with the record type's
// name, the account, "(field id) caption", the value and the reason in
// Russian. The texts are taken when the findings are handed over, so that
// sorting reads no record (and no record that has gone).
class TProblemsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { RecordColumn, AccountColumn, FieldColumn, ValueColumn, ReasonColumn, ColumnCount };

    explicit TProblemsModel(const TFormat& format, QObject* parent = nullptr);

    void SetFindings(const std::vector<TFinding>& findings);
    // Where the finding of the row points: its record (none for the file as a
    // whole) and the field's place in it (-1 for none).
    const TContentRec* Record(int row) const { return FRows[size_t(row)].Record; }
    int FieldIndex(int row) const { return FRows[size_t(row)].FieldIndex; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct TRow {
        const TContentRec* Record = nullptr;
        int FieldIndex = -1;
        std::array<QString, ColumnCount> Texts;
    };

    TRow RowOf(const TFinding& finding) const;

    const TFormat& FFormat;
    std::vector<TRow> FRows;
};

// Why a finding is a problem, in the words of the window.
QString ProblemReason(const TFinding& finding);
