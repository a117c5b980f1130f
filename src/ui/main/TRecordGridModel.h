#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class TContentRec;

// The rows of one grid: a reference to each record shown (the content list
// owns them) and one column per field of the run's record type. Cells are read
// from the records when they are drawn, so a changed value shows at the next
// repaint without a rebuild.
class TRecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Columns follow the layout of first's record type, captioned with the rule names.
    TRecordGridModel(const TContentRec& first, QObject* parent = nullptr);

    void SetRecs(std::vector<TContentRec*> recs);
    // Takes one row out; the other rows, the focus and the selection stay.
    void RemoveRow(int row);
    // The cells of the rows first to last are drawn afresh.
    void RefreshRows(int first, int last);
    TContentRec* Rec(int row) const { return FRecs[size_t(row)]; }
    int RowOf(const TContentRec* rec) const;  // -1 when not shown
    const QStringList& Captions() const { return FCaptions; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The cell text: the field's value exactly as stored.
    QString VTGetText(const QModelIndex& index) const;
    // The cell background: yellow behind a value that fails validation.
    QVariant VTBeforeCellPaint(const QModelIndex& index) const;

private:
    std::vector<TContentRec*> FRecs;
    QStringList FCaptions;
};
