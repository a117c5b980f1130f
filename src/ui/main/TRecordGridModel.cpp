#include "TRecordGridModel.h"

#include "TContent.h"
#include "UvoColors.h"

#include <QBrush>

#include <algorithm>

TRecordGridModel::TRecordGridModel(const TContentRec& first, QObject* parent) : QAbstractTableModel(parent)
{
    FCaptions.reserve(qsizetype(first.FldList.size()));
    for (const TContentFld& fld : first.FldList)
        FCaptions << fld.Rule->Name;
}

void TRecordGridModel::SetRecs(std::vector<TContentRec*> recs)
{
    beginResetModel();
    FRecs = std::move(recs);
    endResetModel();
}

void TRecordGridModel::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    FRecs.erase(FRecs.begin() + row);
    endRemoveRows();
}

void TRecordGridModel::RefreshRows(int first, int last)
{
    if (first >= 0 && first <= last && last < rowCount())
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

int TRecordGridModel::RowOf(const TContentRec* rec) const
{
    const auto it = std::find(FRecs.begin(), FRecs.end(), rec);
    return it == FRecs.end() ? -1 : int(it - FRecs.begin());
}

int TRecordGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(FRecs.size()); }

int TRecordGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(FCaptions.size()); }

QVariant TRecordGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return VTGetText(index);
    case Qt::BackgroundRole:
        return VTBeforeCellPaint(index);
    case Qt::ForegroundRole:
        return QBrush(UvoColors::CellText);
    default:
        return {};
    }
}

QString TRecordGridModel::VTGetText(const QModelIndex& index) const
{
    const TContentRec& rec = *FRecs[size_t(index.row())];
    // Every record of one type has the same layout; a shorter one shows nothing.
    return size_t(index.column()) < rec.FldList.size() ? rec.FldList[size_t(index.column())].Value() : QString();
}

QVariant TRecordGridModel::VTBeforeCellPaint(const QModelIndex& index) const
{
    const TContentRec& rec = *FRecs[size_t(index.row())];
    const size_t column = size_t(index.column());
    if (column < rec.FldList.size() && !rec.FldList[column].IsValid())
        return QBrush(UvoColors::InvalidValue);
    return {};
}

QVariant TRecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= FCaptions.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return FCaptions[section];
    case Qt::ForegroundRole:
        return QBrush(UvoColors::HeaderText);
    default:
        return {};
    }
}

Qt::ItemFlags TRecordGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
