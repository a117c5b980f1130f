#include "KnownValues.h"

#include "TContent.h"
#include "TSettings.h"

#include <QHash>

namespace KnownValues {

void Apply(TContentRec& Rec, const TContentRec* FromRec, const TSettings& settings, const QDate& today)
{
    const QString date = today.toString(QStringLiteral("yyyyMMdd"));
    const QHash<QString, QString> known = {
        {UvoIds::RecordTypeFld, Rec.Rec ? Rec.Rec->RecID : QString()},
        {UvoIds::VersionNumberFld, settings.VersionNumber},
        {UvoIds::SubscriberCodeFld, settings.SubscriberCode},
        {UvoIds::FinanceTypeFld, settings.FinanceType},
        {UvoIds::FormatIdFld, settings.FormatID},
        {UvoIds::GroupIdFld, settings.GroupID},
        {UvoIds::UserIdFld, settings.UserID},
        {UvoIds::SubscriberNameFld, settings.SubscriberName},
        {UvoIds::AccountingDateFld, date},
        {UvoIds::FilePreparationDateFld, date},
        {UvoIds::HistoryNumberFld, "01"},
        {UvoIds::HolderNumberFld, "01"},
        {UvoIds::HistoryRecordNumberFld, "01"},
        {UvoIds::TotalPersonalDetailsRecordsFld, "000000000"},
    };
    for (TContentFld& fld : Rec.FldList) {
        const QString& fldId = fld.Rule->FldID();
        if (const auto it = known.constFind(fldId); it != known.constEnd())
            fld.SetValue(*it);
        if (FromRec && fldId == UvoIds::AccountFld)
            fld.SetValue(FromRec->GetVal(UvoIds::AccountFld));
    }
}

}  // namespace KnownValues
