// The Header and the Trailer of a file, and the Trailer's control totals: the
// number of records of each dependent record type.

#include "StrUtils.h"
#include "TContent.h"

#include <array>
#include <unordered_map>

namespace {

struct TotalField {
    const QString& RecID;  // the record type counted
    const QString& FldID;  // the Trailer field that holds its count
};

// In the order the totals are stored in the Trailer.
constexpr std::array<TotalField, 12> Totals = {{
    {UvoIds::AccountRecID, UvoIds::TotalAccountRecordsFld},
    {UvoIds::AccountHistoryRecID, UvoIds::TotalHistoryRecordsFld},
    {UvoIds::ConsumerRecID, UvoIds::TotalNameRecordsFld},
    {UvoIds::ConsumerAddressRecID, UvoIds::TotalAddressRecordsFld},
    {UvoIds::EmployerDetailsRecID, UvoIds::TotalEmployerRecordsFld},
    {UvoIds::LegalRecID, UvoIds::TotalLegalRecordsFld},
    {UvoIds::WarrantyRecID, UvoIds::TotalWarrantyRecordsFld},
    {UvoIds::WarrantyHistoryRecID, UvoIds::TotalWarrantyHistoryRecordsFld},
    {UvoIds::GuaranteeRecID, UvoIds::TotalGuaranteeRecordsFld},
    {UvoIds::LienRecID, UvoIds::TotalLienRecordsFld},
    {UvoIds::MortgageGracePeriodRecID, UvoIds::TotalMortgageGracePeriodRecordsFld},
    {UvoIds::AssigneeRecID, UvoIds::TotalAssigneeRecordsFld},
}};

}  // namespace

TContentRec* TContent::GetHeaderRec() const
{
    for (TContentRec* rec : FRecs)
        if (rec->Rec && rec->Rec == FFormat->HeaderRec)
            return rec;
    return nullptr;
}

TContentRec* TContent::GetTrailerRec() const
{
    for (auto it = FRecs.rbegin(); it != FRecs.rend(); ++it)
        if ((*it)->Rec && (*it)->Rec == FFormat->TrailerRec)
            return *it;
    return nullptr;
}

void TContent::CreateBoundsRecs()
{
    for (const TRec* type : {FFormat->HeaderRec, FFormat->TrailerRec}) {
        if (auto rec = CreateNewOnRec(type)) {
            rec->CalcSortStr();
            Add(std::move(rec));
        }
    }
}

void TContent::CalcRecsCount()
{
    TContentRec* trailer = GetTrailerRec();
    if (!trailer)
        return;
    // The record types are few and the records many: the records are counted
    // by their type alone, looked up once per run of one type.
    std::unordered_map<const TRec*, qsizetype> counts;
    const TRec* lastType = nullptr;
    qsizetype* lastCount = nullptr;
    for (const TContentRec* rec : FRecs) {
        if (rec->Rec != lastType || !lastCount) {
            lastType = rec->Rec;
            lastCount = &counts[lastType];
        }
        ++*lastCount;
    }
    SetRecsCount(*FFormat, *trailer, [&](const TRec* type) {
        const auto found = counts.find(type);
        return found == counts.end() ? qsizetype(0) : found->second;
    });
}

void TContent::SetRecsCount(const TFormat& format, TContentRec& trailer,
                            const std::function<qsizetype(const TRec* type)>& countOf)
{
    for (const TotalField& total : Totals) {
        const TRec* type = format.GetRec(total.RecID);
        trailer.SetVal(total.FldID, PadZeroLeft(QString::number(int(type ? countOf(type) : 0)), 9));
    }
}
