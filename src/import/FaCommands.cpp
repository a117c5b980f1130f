#include "FaCommands.h"

#include "TFormat.h"
#include "TUvoError.h"

#include <QStringList>

namespace FaCommands {
namespace {

QString Day(const QDate& date) { return date.toString(QStringLiteral("yyyyMMdd")); }

QString ProcedureCall(const TPeriod& period, qint64 id, const QString& financeType, int mode)
{
    return QStringLiteral("exec UVOEditGetInfo '%1','%2',%3,'%4',%5")
        .arg(Day(period.From), Day(period.To), QString::number(id), financeType, QString::number(mode));
}

}  // namespace

QString FOListQuery()
{
    return QStringLiteral("select InstrumentID,Name from tInstrument(nolock) where TableName='TCDeal_T' order by Name");
}

bool IsFinanceTypeCode(const TFormat& format, const QString& code)
{
    QStringList lines;
    format.GetFinanceTypeList(lines);
    for (const QString& line : lines)
        if (line.left(2) == code && code.size() == 2)
            return true;
    return false;
}

QString ContractListCall(const TFormat& format, const TPeriod& period, qint64 foid, const QString& financeType)
{
    if (!financeType.isEmpty() && !IsFinanceTypeCode(format, financeType))
        throw TUvoError(QStringLiteral("Неизвестный тип финансирования: %1").arg(financeType));
    return ProcedureCall(period, foid, financeType, 0);
}

QString RecordCall(const TPeriod& period, qint64 dealId, TImportMode mode)
{
    return ProcedureCall(period, dealId, QString(), int(mode));
}

}  // namespace FaCommands
