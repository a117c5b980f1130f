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
    // The record types are few and the records many: each type's total is
    // found once, then the records are counted by their type alone.
    std::unordered_map<const TRec*, int*> totalOf;
    std::array<int, Totals.size()> counts{};
    for (size_t i = 0; i < Totals.size(); ++i)
        if (const TRec* type = FFormat->GetRec(Totals[i].RecID))
            totalOf[type] = &counts[i];
    const TRec* lastType = nullptr;
    int* lastTotal = nullptr;
    for (const TContentRec* rec : FRecs) {
        if (rec->Rec != lastType) {
            lastType = rec->Rec;
            const auto found = totalOf.find(lastType);
            lastTotal = found == totalOf.end() ? nullptr : found->second;
        }
        if (lastTotal)
            ++*lastTotal;
    }
    for (size_t i = 0; i < Totals.size(); ++i)
        trailer->SetVal(Totals[i].FldID, PadZeroLeft(QString::number(counts[i]), 9));
}
