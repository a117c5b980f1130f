// The Header and the Trailer of a file, and the Trailer's control totals: the
// number of records of each dependent record type.

#include "StrUtils.h"
#include "TContent.h"

#include <array>
#include <unordered_map>

namespace {

struct TotalField {
    const char* RecID;   // the record type counted
    const char* FldID;   // the Trailer field that holds its count
};

// In the order the totals are stored in the Trailer.
constexpr std::array<TotalField, 12> Totals = {{
    {"300100", "310107"}, {"300210", "310109"}, {"300300", "310110"}, {"300500", "310111"},
    {"300600", "310113"}, {"300620", "310445"}, {"300630", "310447"}, {"300640", "310448"},
    {"300650", "310451"}, {"300660", "310444"}, {"300665", "310542"}, {"300670", "310446"},
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
        if (const TRec* type = FFormat->GetRec(QString::fromLatin1(Totals[i].RecID)))
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
        trailer->SetVal(QString::fromLatin1(Totals[i].FldID), PadZeroLeft(QString::number(counts[i]), 9));
}
