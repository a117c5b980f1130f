#include "TLoanModel.h"

#include "UvoColors.h"

#include <QBrush>

#include <algorithm>
#include <numeric>

namespace {

const char* const Captions[TLoanModel::ColumnCount] = {"Клиент", "Дата", "Номер", "ФО", "Сумма", "Вал", "FT"};

const Qt::Alignment Alignments[TLoanModel::ColumnCount] = {
    Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignHCenter};

template <class T>
int Order(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

TLoanModel::TLoanModel(QObject* parent) : QAbstractTableModel(parent) {}

int TLoanModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(FLoans.size()); }

int TLoanModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TLoanModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TLoan& loan = Loan(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return CellText(loan, index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Alignments[index.column()] | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return loan.Selected ? QVariant(QBrush(UvoColors::MarkedContract)) : QVariant();
    case Qt::ForegroundRole:  // readable on aqua also while a run disables the grid
        return loan.Selected ? QVariant(QBrush(UvoColors::MarkedContractText)) : QVariant();
    default:
        return {};
    }
}

QVariant TLoanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(Captions[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QString TLoanModel::CellText(const TLoan& loan, int column)
{
    switch (column) {
    case ClientCol:
        return loan.ClName;
    case DateCol:
        return loan.DealDate.toString(QStringLiteral("dd.MM.yyyy"));  // empty for a date the bank left out
    case NumberCol:
        return loan.DealNumber;
    case FOCol:
        return loan.FOBrief;
    case AmountCol:
        return AmountText(loan.DealQty);
    case FundCol:
        return loan.Fund;
    case FTCol:
        return loan.FT;
    default:
        return {};
    }
}

QString TLoanModel::AmountText(qint64 tenThousandths, const QLocale& locale)
{
    // Rounded to cents half away from zero, in whole numbers so that no
    // amount is ever shown a cent off.
    const qint64 cents = (tenThousandths < 0 ? tenThousandths - 50 : tenThousandths + 50) / 100;
    const qint64 magnitude = cents < 0 ? -cents : cents;
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return (cents < 0 ? locale.negativeSign() : QString()) + grouped.toString(magnitude / 100) + locale.decimalPoint() +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

int TLoanModel::Compare(const TLoan& a, const TLoan& b, int column)
{
    switch (column) {
    case DateCol:
        return Order(a.DealDate, b.DealDate);  // a date holds whole days only
    case AmountCol:
        return Order(a.DealQty, b.DealQty);
    default:
        return CellText(a, column).compare(CellText(b, column), Qt::CaseSensitive);
    }
}

void TLoanModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount || FLoans.empty())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> rows(FLoans.size());
    std::iota(rows.begin(), rows.end(), 0);
    const int direction = order == Qt::AscendingOrder ? 1 : -1;
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return direction * Compare(FLoans[size_t(a)], FLoans[size_t(b)], column) < 0;
    });
    std::vector<TLoan> sorted;
    sorted.reserve(FLoans.size());
    std::vector<int> newRow(FLoans.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        sorted.push_back(std::move(FLoans[size_t(rows[i])]));
        newRow[size_t(rows[i])] = int(i);
    }
    FLoans = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after << index.sibling(newRow[size_t(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TLoanModel::SetLoans(std::vector<TLoan> loans)
{
    beginResetModel();
    FLoans = std::move(loans);
    endResetModel();
}

void TLoanModel::Clear() { SetLoans({}); }

bool TLoanModel::ToggleMark(int row)
{
    TLoan& loan = FLoans[size_t(row)];
    loan.Selected = !loan.Selected;
    RowsChanged(row, row, {Qt::BackgroundRole});
    return loan.Selected;
}

void TLoanModel::MarkAll(bool marked)
{
    for (TLoan& loan : FLoans)
        loan.Selected = marked;
    if (!FLoans.empty())
        RowsChanged(0, rowCount() - 1, {Qt::BackgroundRole});
}

std::vector<qint64> TLoanModel::MarkedDealIds() const
{
    std::vector<qint64> ids;
    for (const TLoan& loan : FLoans)
        if (loan.Selected)
            ids.push_back(loan.DealID);
    return ids;
}

void TLoanModel::RowsChanged(int first, int last, const QList<int>& roles)
{
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1), roles);
}
