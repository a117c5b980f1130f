#pragma once

#include "TContent.h"

#include <QString>

#include <optional>
#include <vector>

// What replacing one field's value in many records does to them: how many
// change, and how many of those hold a value their rule refuses before and
// after.
struct TReplacePreview {
    qsizetype Changing = 0;
    qsizetype InvalidNow = 0;
    qsizetype InvalidAfter = 0;
};

// One field of one record type set to one value in many records: which
// records that changes and what it does to them. The editor's replace dialog
// and uvotool set both go by it, so that what the preview counts is what the
// replacement changes.
class TFieldReplace {
public:
    // rule: the field within its record type, one of Fields(); whereValue:
    // only the records whose value is exactly this now.
    TFieldReplace(const TFormat& format, const TRule& rule, QString value, std::optional<QString> whereValue = {});

    // The fields a replacement may set: the type's layout but its first and
    // last field (the record type and the end of the record), which no edit
    // changes either.
    static std::vector<const TRule*> Fields(const TFormat& format, const TRec& rec);
    // The rule of fldId among Fields(rec); none when the type lacks the field
    // or the field is not one to set.
    static const TRule* Field(const TFormat& format, const TRec& rec, const QString& fldId);

    const TRule& Rule() const { return *FRule; }
    const QString& FldID() const { return FRule->FldID(); }
    const QString& Value() const { return FValue; }

    // The records of candidates, in their order, that the replacement changes:
    // those of the rule's type that hold the field, the where-value when one
    // is given, and a value other than the new one.
    std::vector<TContentRec*> Changing(const std::vector<TContentRec*>& candidates) const;
    // The counts for records that Changing gave.
    TReplacePreview Preview(const std::vector<TContentRec*>& changing) const;

private:
    const TFormat& FFormat;
    const TRule* FRule;
    int FIndex;  // the field's place in the records of the type
    QString FValue;
    std::optional<QString> FWhereValue;
};

// Sets the field fldId of each record to value, validated and with the
// account kept in step as a typed value is, and computes the records' sort
// keys again; true when a key changed, so the list wants sorting.
bool SetFieldInRecords(const std::vector<TContentRec*>& recs, const QString& fldId, QStringView value);
