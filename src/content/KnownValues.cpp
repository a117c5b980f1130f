#include "KnownValues.h"

#include "TContent.h"
#include "TSettings.h"

#include <QHash>

namespace KnownValues {

void Apply(TContentRec& Rec, const TContentRec* FromRec, const TSettings& settings, const QDate& today)
{
    const QString date = today.toString(QStringLiteral("yyyyMMdd"));
    const QHash<QString, QString> known = {
        {"310000", Rec.Rec ? Rec.Rec->RecID : QString()},
        {"310001", settings.VersionNumber},
        {"310002", settings.SubscriberCode},
        {"310003", settings.FinanceType},
        {"310004", settings.FormatID},
        {"310005", settings.GroupID},
        {"310006", settings.UserID},
        {"310008", settings.SubscriberName},
        {"310009", date},
        {"310010", date},
        {"310059", "01"},
        {"310065", "01"},
        {"310496", "01"},
        {"310112", "000000000"},
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
