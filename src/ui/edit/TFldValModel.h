#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

#include "TContent.h"

struct TRule;

// One row of the edit dialog: the field it edits and the value being worked on.
// The value reaches the field only when the dialog saves.
struct TFldVal {
    TContentFldPtr ContentFld;
    QString Value;
    bool Changed = false;  // an editor stored a different value; never reset
};

// The rows of the edit dialog's grid, one per field of the record in layout
// order: the caption column and the value column. The first and the last row
// (record type and end of record) are disabled and never edited.
class TFldValModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { CaptionColumn = 0, ValueColumn = 1 };

    explicit TFldValModel(TContentRec& Rec, QObject* parent = nullptr);

    const TFldVal& Row(int row) const { return FRows[size_t(row)]; }
    const TRule& Rule(int row) const;
    bool IsRowEnabled(int row) const;
    // Whether the working value passes validation for the row's rule.
    bool IsValueValid(int row) const;
    // Assigns every working value to its field, first and last row included.
    void SaveToFields() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Stores an editor's value in the value column; a different value marks the row changed.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString CaptionText(int row) const;

    std::vector<TFldVal> FRows;
};
