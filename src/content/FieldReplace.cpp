#include "FieldReplace.h"

#include <algorithm>

TFieldReplace::TFieldReplace(const TFormat& format, const TRule& rule, QString value, std::optional<QString> whereValue)
    : FFormat(format), FRule(&rule), FValue(std::move(value)), FWhereValue(std::move(whereValue))
{
    // Every record of a type holds its fields in the order of the type's layout.
    const std::vector<const TRule*>& layout = format.Layout(rule.Key.Rec);
    FIndex = int(std::find(layout.begin(), layout.end(), &rule) - layout.begin());
}

std::vector<const TRule*> TFieldReplace::Fields(const TFormat& format, const TRec& rec)
{
    const std::vector<const TRule*>& layout = format.Layout(&rec);
    if (layout.size() < 3)
        return {};
    return {layout.begin() + 1, layout.end() - 1};
}

const TRule* TFieldReplace::Field(const TFormat& format, const TRec& rec, const QString& fldId)
{
    for (const TRule* rule : Fields(format, rec))
        if (rule->FldID() == fldId)
            return rule;
    return nullptr;
}

std::vector<TContentRec*> TFieldReplace::Changing(const std::vector<TContentRec*>& candidates) const
{
    std::vector<TContentRec*> changing;
    for (TContentRec* rec : candidates) {
        // A record cut short by its line may lack the field.
        if (rec->Rec != FRule->Key.Rec || FIndex >= rec->FldCount() || rec->FldRule(FIndex) != FRule)
            continue;
        const TValueChars now = rec->Chars(FIndex);
        if (now != FValue && (!FWhereValue || now == *FWhereValue))
            changing.push_back(rec);
    }
    return changing;
}

TReplacePreview TFieldReplace::Preview(const std::vector<TContentRec*>& changing) const
{
    TReplacePreview preview;
    preview.Changing = qsizetype(changing.size());
    preview.InvalidNow = std::count_if(changing.begin(), changing.end(),
                                       [this](const TContentRec* rec) { return !rec->IsValid(FIndex); });
    // One rule judges the new value in all of them.
    preview.InvalidAfter = FFormat.StrIsValid(FValue, *FRule) ? 0 : preview.Changing;
    return preview;
}

bool SetFieldInRecords(const std::vector<TContentRec*>& recs, const QString& fldId, QStringView value)
{
    bool keyChanged = false;
    for (TContentRec* rec : recs) {
        const QString key = rec->SortStr;
        rec->SetVal(fldId, value);
        rec->CalcSortStr();
        keyChanged = keyChanged || rec->SortStr != key;
    }
    return keyChanged;
}
