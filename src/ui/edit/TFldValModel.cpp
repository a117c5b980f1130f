#include "TFldValModel.h"

#include "TContent.h"
#include "UvoColors.h"

#include <QBrush>
#include <QFont>

TFldValModel::TFldValModel(TContentRec& Rec, QObject* parent) : QAbstractTableModel(parent)
{
    FRows.reserve(Rec.FldList.size());
    for (TContentFld& fld : Rec.FldList)
        FRows.push_back({&fld, fld.Value(), false});
}

const TRule& TFldValModel::Rule(int row) const { return *Row(row).ContentFld->Rule; }

bool TFldValModel::IsRowEnabled(int row) const { return row > 0 && row < rowCount() - 1; }

bool TFldValModel::IsValueValid(int row) const
{
    const TFldVal& fldVal = Row(row);
    return fldVal.ContentFld->ParentRec->Format->StrIsValid(fldVal.Value, Rule(row));
}

void TFldValModel::SaveToFields() const
{
    for (const TFldVal& fldVal : FRows)
        fldVal.ContentFld->SetValue(fldVal.Value);
}

int TFldValModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(FRows.size()); }

int TFldValModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QString TFldValModel::CaptionText(int row) const
{
    const TRule& rule = Rule(row);
    return QStringLiteral("(") + rule.FldID() + QStringLiteral(") ") + rule.Name;
}

QVariant TFldValModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const bool caption = index.column() == CaptionColumn;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return caption ? CaptionText(row) : Row(row).Value;
    case Qt::BackgroundRole:
        // Judged on every paint, so a corrected value loses its yellow at once.
        if (!caption && !IsValueValid(row))
            return QBrush(UvoColors::InvalidValue);
        return {};
    case Qt::ForegroundRole:
        // Greyed rows keep the grid's disabled colour.
        if (caption && IsRowEnabled(row))
            return QBrush(UvoColors::FieldCaption);
        return {};
    case Qt::FontRole: {
        QFont font;
        font.setBold(caption || Row(row).Changed);
        return font;
    }
    default:
        return {};
    }
}

bool TFldValModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != ValueColumn || role != Qt::EditRole)
        return false;
    TFldVal& fldVal = FRows[size_t(index.row())];
    const QString newValue = value.toString();
    if (newValue == fldVal.Value)
        return true;
    fldVal.Value = newValue;
    fldVal.Changed = true;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TFldValModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !IsRowEnabled(index.row()))
        return Qt::ItemNeverHasChildren;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == ValueColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}
