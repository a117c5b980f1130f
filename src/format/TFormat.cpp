#include "TFormat.h"

#include "AnsiCodePage.h"

#include <algorithm>
#include <optional>

namespace {

// A decimal integer: an optional sign and at least one digit, nothing else
// (no blanks, which would otherwise let "300000 " pass for an id).
std::optional<qint64> ToInteger(const QString& s)
{
    QStringView digits = s;
    if (!digits.isEmpty() && (digits.front() == u'-' || digits.front() == u'+'))
        digits = digits.mid(1);
    if (digits.isEmpty() || digits.size() > 10)
        return std::nullopt;
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const qint64 value = s.toLongLong();
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return value;
}

bool IsIdInRange(const QString& id)
{
    const auto value = ToInteger(id);
    return value && *value >= 300000 && *value <= 399999;
}

// Nesting depth of a record type, used to indent panel captions.
qint32 LevelOf(const QString& recId)
{
    static const std::unordered_map<QString, qint32> levels = {
        {UvoIds::HeaderRecID, 1},
        {UvoIds::AccountRecID, 2},
        {UvoIds::AccountHistoryRecID, 3},
        {UvoIds::ConsumerRecID, 3},
        {UvoIds::ConsumerAddressRecID, 4},
        {UvoIds::EmployerDetailsRecID, 4},
        {UvoIds::LegalRecID, 4},
        {UvoIds::WarrantyRecID, 4},
        {UvoIds::WarrantyHistoryRecID, 5},
        {UvoIds::GuaranteeRecID, 3},
        {UvoIds::LienRecID, 3},
        {UvoIds::MortgageGracePeriodRecID, 3},
        {UvoIds::AssigneeRecID, 3},
        {UvoIds::TrailerRecID, 1},
    };
    const auto it = levels.find(recId);
    return it == levels.end() ? 0 : it->second;
}

template <typename Map>
auto* Find(const Map& map, const QString& key)
{
    const auto it = map.find(key);
    return it == map.end() ? nullptr : it->second.get();
}

const std::vector<const TRule*> NoRules;

}  // namespace

TFormat::~TFormat()
{
    // Rules refer to record types, fields and domains: free them first.
    FRuleList.clear();
    FValSetList.clear();
    FValList.clear();
    FFldList.clear();
    FRecList.clear();
}

bool TFormat::AddRec(const QString& RecID, const QString& Name, const QString& ActiveStr)
{
    const auto active = ToInteger(ActiveStr);
    if (!IsIdInRange(RecID) || !active || FRecList.count(RecID))
        return false;
    auto rec = std::make_unique<TRec>();
    rec->RecID = RecID;
    rec->Name = Name;
    rec->Active = *active == 1;
    rec->Level = LevelOf(RecID);
    const TRec* added = rec.get();
    FRecList.emplace(RecID, std::move(rec));
    if (RecID == UvoIds::HeaderRecID)
        HeaderRec = added;
    else if (RecID == UvoIds::TrailerRecID)
        TrailerRec = added;
    else if (RecID == UvoIds::AccountRecID)
        AccountRec = added;
    else if (RecID == UvoIds::ConsumerRecID)
        ConsumerRec = added;
    return true;
}

bool TFormat::AddFld(const QString& FldID, const QString& Name)
{
    if (!IsIdInRange(FldID) || FFldList.count(FldID))
        return false;
    FFldList.emplace(FldID, std::make_unique<TFld>(TFld{FldID, Name}));
    return true;
}

bool TFormat::AddValSet(const QString& ValSetID, const QString& Name)
{
    if (!IsIdInRange(ValSetID) || FValSetList.count(ValSetID))
        return false;
    auto valSet = std::make_unique<TValSet>();
    valSet->ValSetID = ValSetID;
    valSet->Name = Name;
    FValSetList.emplace(ValSetID, std::move(valSet));
    return true;
}

bool TFormat::AddVal(const QString& ValID, const QString& ValSetID, const QString& Value, const QString& Name)
{
    if (!IsIdInRange(ValID) || !IsIdInRange(ValSetID) || FValList.count(ValID))
        return false;
    auto val = std::make_unique<TVal>(TVal{ValID, ValSetID, Value, Name});
    // A value of an undeclared domain is kept in the value map only.
    if (TValSet* valSet = Find(FValSetList, ValSetID))
        valSet->ValList.push_back(val.get());
    FValList.emplace(ValID, std::move(val));
    return true;
}

bool TFormat::AddRule(const QString& RecID, const QString& FldID, const QString& Name, const QString& RequiredStr,
                      const QString& KindStr, const QString& SizeStr, const QString& ValSetID)
{
    TRec* rec = Find(FRecList, RecID);
    const TFld* fld = Find(FFldList, FldID);
    const auto required = ToInteger(RequiredStr);
    const auto size = ToInteger(SizeStr);
    if (!rec || !fld || KindStr.size() != 1 || !required || !size)
        return false;
    const TValSet* valSet = nullptr;
    if (!ValSetID.isEmpty()) {
        valSet = Find(FValSetList, ValSetID);
        if (!valSet)
            return false;
    }
    const TKey key{rec, fld};
    if (FRuleList.count(key))
        return false;
    auto rule = std::make_unique<TRule>();
    rule->Key = key;
    rule->Name = Name;
    rule->Required = *required == 1;
    rule->Kind = KindStr.front();
    rule->Size = qint32(*size);
    rule->ValSet = valSet;
    rule->IsAccountField = FldID == UvoIds::AccountFld;
    rec->Layout.push_back(rule.get());
    FRuleList.emplace(key, std::move(rule));
    const_cast<TRule*>(rec->Layout.back())->Order = qint32(FRuleList.size());
    return true;
}

bool TFormat::OnEndLoading()
{
    if (FRecList.empty() || FFldList.empty() || FRuleList.empty())
        return false;
    for (auto& [id, valSet] : FValSetList) {
        std::sort(valSet->ValList.begin(), valSet->ValList.end(),
                  [](const TVal* a, const TVal* b) { return a->Value < b->Value; });
        valSet->FileCodes.Clear();
        for (const TVal* val : valSet->ValList)
            if (AnsiCodePage::CanEncode(val->Value))  // a code the file cannot hold matches no value of it
                valSet->FileCodes.Add(AnsiCodePage::Encode(val->Value));
        valSet->FileCodes.Close();
    }
    FCodesSorted = true;
    return true;
}

const TRec* TFormat::GetRec(const QString& RecID) const { return Find(FRecList, RecID); }
const TFld* TFormat::GetFld(const QString& FldID) const { return Find(FFldList, FldID); }
const TValSet* TFormat::GetValSet(const QString& ValSetID) const { return Find(FValSetList, ValSetID); }
const TVal* TFormat::GetVal(const QString& ValID) const { return Find(FValList, ValID); }

const TRule* TFormat::GetRule(const QString& RecID, const QString& FldID) const
{
    const TRec* rec = GetRec(RecID);
    const TFld* fld = GetFld(FldID);
    if (!rec || !fld)
        return nullptr;
    const auto it = FRuleList.find(TKey{rec, fld});
    return it == FRuleList.end() ? nullptr : it->second.get();
}

void TFormat::GetRuleListOnRecID(const QString& RecID, std::vector<const TRule*>& RuleList) const
{
    RuleList.clear();
    if (const TRec* rec = GetRec(RecID))
        RuleList = rec->Layout;  // kept in ascending Order by AddRule
}

const std::vector<const TRule*>& TFormat::Layout(const TRec* Rec) const { return Rec ? Rec->Layout : NoRules; }

void TFormat::GetActiveRecs(std::vector<const TRec*>& RecList) const
{
    for (const auto& [id, rec] : FRecList)
        if (rec->Active)
            RecList.push_back(rec.get());
    std::sort(RecList.begin(), RecList.end(),
              [](const TRec* a, const TRec* b) { return a->RecID.toLongLong() < b->RecID.toLongLong(); });
}

void TFormat::GetFinanceTypeList(QStringList& StrList) const
{
    StrList.clear();
    const TRule* rule = GetRule(UvoIds::HeaderRecID, UvoIds::FinanceTypeFld);
    if (!rule || !rule->ValSet)
        return;
    for (const TVal* val : rule->ValSet->ValList)
        if (!val->Name.contains(QLatin1String("Reserved for Future")))
            StrList.append(val->Value + u' ' + val->Name);
}
