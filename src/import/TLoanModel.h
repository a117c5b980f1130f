#pragma once

#include "FaTypes.h"

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>

#include <vector>

// The contracts of the import dialog's grid, one row per contract, with their
// marks. Sorting keeps the marks and the rows' identity.
class TLoanModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum TColumn { ClientCol, DateCol, NumberCol, FOCol, AmountCol, FundCol, FTCol, ColumnCount };

    explicit TLoanModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // A column outside the grid (no sort column) leaves the order alone.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void SetLoans(std::vector<TLoan> loans);
    void Clear();
    const TLoan& Loan(int row) const { return FLoans[size_t(row)]; }

    // Inverts the row's mark and answers whether it is marked now.
    bool ToggleMark(int row);
    void MarkAll(bool marked);
    // The marked contracts' ids, in the order of the rows.
    std::vector<qint64> MarkedDealIds() const;

    // The order of two contracts in a column: the date by whole days, the
    // amount by value, every other column by its text, character code by
    // character code. Negative, zero or positive for a before, equal to,
    // after b.
    static int Compare(const TLoan& a, const TLoan& b, int column);
    // Two decimals with the locale's thousands and decimal separators.
    static QString AmountText(qint64 tenThousandths, const QLocale& locale = QLocale());
    static QString CellText(const TLoan& loan, int column);

private:
    void RowsChanged(int first, int last, const QList<int>& roles);

    std::vector<TLoan> FLoans;
};
