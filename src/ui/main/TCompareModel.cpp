#include "TCompareModel.h"

#include "TFormat.h"
#include "UvoColors.h"

#include <array>

namespace {

// A row's place in the tree, in its internal id: 0 for a group; for a
// record, its group's row + 1 in the high half; for a field, also its
// record's row + 1 in the low half.
static_assert(sizeof(quintptr) >= 8, "the tree's rows are numbered in 64 bits");
constexpr int HalfBits = 32;
constexpr quintptr LowHalf = (quintptr(1) << HalfBits) - 1;

quintptr RecordId(int groupRow) { return quintptr(groupRow + 1) << HalfBits; }
quintptr FieldId(int groupRow, int recordRow) { return RecordId(groupRow) | quintptr(recordRow + 1); }

using TGroup = TAccountDifference::TGroup;
using TRecordKind = TRecordDifference::TKind;

QString GroupName(const TAccountDifference& group)
{
    switch (group.Group) {
    case TGroup::Header: return QStringLiteral("Header");
    case TGroup::Trailer: return QStringLiteral("Trailer");
    case TGroup::NoAccount: return QStringLiteral("Без счёта");
    case TGroup::Account: break;
    }
    return group.Account;
}

QString GroupChangeText(TAccountDifference::TKind kind)
{
    switch (kind) {
    case TAccountDifference::TKind::Added: return QStringLiteral("добавлен");
    case TAccountDifference::TKind::Removed: return QStringLiteral("удалён");
    case TAccountDifference::TKind::Changed: break;
    }
    return QStringLiteral("изменён");
}

QString RecordChangeText(TRecordKind kind)
{
    switch (kind) {
    case TRecordKind::Added: return QStringLiteral("добавлена");
    case TRecordKind::Removed: return QStringLiteral("удалена");
    case TRecordKind::Changed: break;
    }
    return QStringLiteral("изменена");
}

QVariant KindColour(bool added, bool removed)
{
    if (added)
        return UvoColors::ComparisonAdded;
    if (removed)
        return UvoColors::ComparisonRemoved;
    return {};
}

}  // namespace

TCompareModel::TCompareModel(QObject* parent) : QAbstractItemModel(parent) {}

void TCompareModel::SetAccounts(const std::vector<TAccountDifference>* accounts)
{
    beginResetModel();
    FAccounts = accounts;
    endResetModel();
}

TCompareModel::TEntry TCompareModel::EntryOf(const QModelIndex& index) const
{
    TEntry entry;
    if (!index.isValid() || !FAccounts)
        return entry;
    const quintptr id = index.internalId();
    if (id == 0) {
        entry.Group = &(*FAccounts)[size_t(index.row())];
        return entry;
    }
    entry.Group = &(*FAccounts)[size_t((id >> HalfBits) - 1)];
    const quintptr recordRow = id & LowHalf;
    if (recordRow == 0) {
        entry.Record = &entry.Group->Records[size_t(index.row())];
        return entry;
    }
    entry.Record = &entry.Group->Records[size_t(recordRow - 1)];
    entry.Field = &entry.Record->Fields[size_t(index.row())];
    return entry;
}

TCompareModel::TTarget TCompareModel::Target(const QModelIndex& index) const
{
    const TEntry entry = EntryOf(index);
    if (entry.Field)
        return {entry.Record->NewRec, entry.Field->FieldIndex};
    const auto recordTarget = [](const TRecordDifference& record) {
        return TTarget{record.NewRec, record.Fields.empty() ? -1 : record.Fields.front().FieldIndex};
    };
    if (entry.Record)
        return recordTarget(*entry.Record);
    if (entry.Group)
        for (const TRecordDifference& record : entry.Group->Records)
            if (record.NewRec)
                return recordTarget(record);
    return {};
}

QString TCompareModel::EntryKey(const QModelIndex& index) const
{
    const TEntry entry = EntryOf(index);
    if (!entry.Group)
        return QString();
    QString key = QString::number(int(entry.Group->Group)) + u'|' + entry.Group->Account;
    if (entry.Record)
        key += QStringLiteral("|%1|%2").arg(quintptr(entry.Record->OldRec)).arg(quintptr(entry.Record->NewRec));
    if (entry.Field)
        key += QStringLiteral("|%1").arg(entry.Field->FieldIndex);
    return key;
}

QModelIndex TCompareModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, quintptr(0));
    if (parent.internalId() == 0)
        return createIndex(row, column, RecordId(parent.row()));
    return createIndex(row, column, FieldId(int((parent.internalId() >> HalfBits) - 1), parent.row()));
}

QModelIndex TCompareModel::parent(const QModelIndex& child) const
{
    const quintptr id = child.isValid() ? child.internalId() : 0;
    if (id == 0)
        return {};
    const int groupRow = int((id >> HalfBits) - 1);
    const quintptr recordRow = id & LowHalf;
    if (recordRow == 0)
        return createIndex(groupRow, 0, quintptr(0));
    return createIndex(int(recordRow - 1), 0, RecordId(groupRow));
}

int TCompareModel::rowCount(const QModelIndex& parent) const
{
    if (!FAccounts)
        return 0;
    if (!parent.isValid())
        return int(FAccounts->size());
    if (parent.column() != 0)
        return 0;
    const TEntry entry = EntryOf(parent);
    if (entry.Field)
        return 0;
    if (entry.Record)
        return int(entry.Record->Fields.size());
    return int(entry.Group->Records.size());
}

int TCompareModel::columnCount(const QModelIndex&) const { return ColumnCount; }

QVariant TCompareModel::Text(const TEntry& entry, int column) const
{
    if (entry.Field) {
        switch (column) {
        case SubjectColumn: return QStringLiteral("(%1) %2").arg(entry.Field->Rule->FldID(), entry.Field->Rule->Name);
        case OldColumn: return entry.Field->OldValue;
        case NewColumn: return entry.Field->NewValue;
        default: return {};
        }
    }
    if (entry.Record) {
        switch (column) {
        case SubjectColumn: return QStringLiteral("(%1) %2").arg(entry.Record->Rec->RecID, entry.Record->Rec->Name);
        case ChangeColumn: return RecordChangeText(entry.Record->Kind);
        // The older file's records stand as its lines: where to find it there.
        case OldColumn:
            return entry.Record->OldRec ? QStringLiteral("строка %1").arg(entry.Record->OldIndex + 1) : QVariant();
        default: return {};
        }
    }
    switch (column) {
    case SubjectColumn: return GroupName(*entry.Group);
    case ChangeColumn: return GroupChangeText(entry.Group->Kind);
    default: return {};
    }
}

QVariant TCompareModel::data(const QModelIndex& index, int role) const
{
    const TEntry entry = EntryOf(index);
    if (!entry.Group)
        return {};
    if (role == Qt::DisplayRole)
        return Text(entry, index.column());
    if (role == Qt::ForegroundRole && !entry.Field) {
        if (entry.Record)
            return KindColour(entry.Record->Kind == TRecordKind::Added, entry.Record->Kind == TRecordKind::Removed);
        return KindColour(entry.Group->Kind == TAccountDifference::TKind::Added,
                          entry.Group->Kind == TAccountDifference::TKind::Removed);
    }
    return {};
}

QVariant TCompareModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<QString, ColumnCount> captions = {
        QStringLiteral("Счёт, запись, поле"), QStringLiteral("Изменение"), QStringLiteral("Было"),
        QStringLiteral("Стало")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractItemModel::headerData(section, orientation, role);
    return captions[size_t(section)];
}
