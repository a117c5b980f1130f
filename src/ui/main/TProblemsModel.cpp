#include "TProblemsModel.h"

#include "TFormat.h"

namespace {

QString FieldReason(TValidity validity)
{
    switch (validity) {
    case TValidity::MissingRequired: return QStringLiteral("пустое обязательное поле");
    case TValidity::TooLong: return QStringLiteral("длиннее ширины поля");
    case TValidity::NotDigits: return QStringLiteral("не только цифры");
    case TValidity::NotInDomain: return QStringLiteral("нет такого кода в справочнике");
    case TValidity::Valid: break;
    }
    return QString();
}

QString LossReason(TReadLoss::TKind loss)
{
    switch (loss) {
    case TReadLoss::TKind::PastRecordEnd: return QStringLiteral("текст за концом записи, при сохранении пропадёт");
    case TReadLoss::TKind::LoneCr:
        return QStringLiteral("одиночный CR соединил строки, текст после него при сохранении пропадёт");
    case TReadLoss::TKind::AfterEndMark:
        return QStringLiteral("данные после конца файла (байт 26), при сохранении пропадут");
    }
    return QString();
}

// A value on one line: a line end or a tab in it would break the row.
QString OneLine(QString text)
{
    for (QChar& c : text)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    return text;
}

}  // namespace

QString ProblemReason(const TFinding& finding)
{
    using K = TFinding::TKind;
    switch (finding.Kind) {
    case K::InvalidField: return FieldReason(finding.Validity);
    case K::RefusedLine: return QStringLiteral("строка не прочитана");
    case K::TotalDiffers: return QStringLiteral("итог не совпадает с записями, по ним %1").arg(finding.Expected);
    case K::MissingHeader: return QStringLiteral("нет записи Header");
    case K::RepeatedHeader: return QStringLiteral("запись Header повторяется");
    case K::MissingTrailer: return QStringLiteral("нет записи Trailer");
    case K::RepeatedTrailer: return QStringLiteral("запись Trailer повторяется");
    case K::OutOfOrder:
        return QStringLiteral("нарушен порядок счетов: следующая запись (%1) должна стоять раньше")
            .arg(finding.OtherRecID);
    case K::PassedOver: return LossReason(finding.Loss);
    }
    return QString();
}

TProblemsModel::TProblemsModel(const TFormat& format, QObject* parent) : QAbstractTableModel(parent), FFormat(format) {}

TProblemsModel::TRow TProblemsModel::RowOf(const TFinding& f) const
{
    TRow row;
    row.Record = f.Record;
    row.FieldIndex = f.FieldIndex;
    if (const TRec* rec = f.RecID.isEmpty() ? nullptr : FFormat.GetRec(f.RecID))
        row.Texts[RecordColumn] = rec->Name;
    if (f.HasAccount)
        row.Texts[AccountColumn] = f.Account;
    if (!f.FldID.isEmpty())
        row.Texts[FieldColumn] = QStringLiteral("(%1) %2").arg(f.FldID, f.Caption);
    if (f.HasValue)
        row.Texts[ValueColumn] = OneLine(f.Value);
    row.Texts[ReasonColumn] = ProblemReason(f);
    return row;
}

void TProblemsModel::SetFindings(const std::vector<TFinding>& findings)
{
    beginResetModel();
    FRows.clear();
    FRows.reserve(findings.size());
    for (const TFinding& f : findings)
        FRows.push_back(RowOf(f));
    endResetModel();
}

int TProblemsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(FRows.size()); }

int TProblemsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TProblemsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return FRows[size_t(index.row())].Texts[size_t(index.column())];
}

QVariant TProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<QString, ColumnCount> captions = {
        QStringLiteral("Запись"), QStringLiteral("Счёт"), QStringLiteral("Поле"), QStringLiteral("Значение"),
        QStringLiteral("Причина")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return captions[size_t(section)];
}
