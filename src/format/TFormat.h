#pragma once

#include "TFileCodes.h"
#include "UvoIds.h"

#include <QString>
#include <QStringList>
#include <QByteArrayView>
#include <QStringView>

#include <memory>
#include <unordered_map>
#include <vector>

// The format description of UVO files: record types, fields, domains, codes and
// the layout rules that place fields in the records. Filled once by the loader
// through the Add… operations, closed by OnEndLoading, then only read.
//
// Refusals are Boolean results or "none" answers; nothing here throws or shows.

struct TRule;

struct TRec {
    QString RecID;
    QString Name;
    qint32 Level = 0;
    bool Active = false;
    // The record type's layout rules in ascending Order, kept as rules are added
    // so that parsing a line never has to walk every rule of the description.
    std::vector<const TRule*> Layout;
};

struct TFld {
    QString FldID;
    QString Name;
};

struct TVal {
    QString ValID;
    QString ValSetID;
    QString Value;
    QString Name;
};

struct TValSet {
    QString ValSetID;
    QString Name;
    std::vector<const TVal*> ValList;  // not owned
    TFileCodes FileCodes;  // filled once loading ends
};

struct TKey {
    const TRec* Rec = nullptr;
    const TFld* Fld = nullptr;
    bool operator==(const TKey&) const = default;
};

struct TKeyHash {
    size_t operator()(const TKey& k) const noexcept
    {
        return std::hash<const void*>()(k.Rec) * 31u ^ std::hash<const void*>()(k.Fld);
    }
};

// Why a value does not fit its field, or that it does.
enum class TValidity { Valid, MissingRequired, TooLong, NotDigits, NotInDomain };

struct TRule {
    TKey Key;
    QString Name;
    bool Required = false;
    QChar Kind;
    qint32 Size = 0;
    const TValSet* ValSet = nullptr;
    qint32 Order = 0;
    bool IsAccountField = false;  // the field is 310011, whose value is the record's account

    const QString& RecID() const { return Key.Rec->RecID; }
    const QString& FldID() const { return Key.Fld->FldID; }
};

class TFormat {
public:
    TFormat() = default;
    ~TFormat();
    TFormat(const TFormat&) = delete;
    TFormat& operator=(const TFormat&) = delete;

    bool AddRec(const QString& RecID, const QString& Name, const QString& ActiveStr);
    bool AddFld(const QString& FldID, const QString& Name);
    bool AddValSet(const QString& ValSetID, const QString& Name);
    bool AddVal(const QString& ValID, const QString& ValSetID, const QString& Value, const QString& Name);
    bool AddRule(const QString& RecID, const QString& FldID, const QString& Name, const QString& RequiredStr,
                 const QString& KindStr, const QString& SizeStr, const QString& ValSetID);
    bool OnEndLoading();

    const TRec* GetRec(const QString& RecID) const;
    const TRule* GetRule(const QString& RecID, const QString& FldID) const;
    void GetRuleListOnRecID(const QString& RecID, std::vector<const TRule*>& RuleList) const;
    void GetActiveRecs(std::vector<const TRec*>& RecList) const;
    void GetFinanceTypeList(QStringList& StrList) const;

    bool StrIsValid(QStringView S, const TRule& Rule) const { return Validity(S, Rule) == TValidity::Valid; }
    // The first test of StrIsValid that the value fails.
    TValidity Validity(QStringView S, const TRule& Rule) const;
    // The same for a value as the file holds it, in the file's code page.
    bool StrIsValid(QByteArrayView fileBytes, const TRule& Rule) const
    {
        return Validity(fileBytes, Rule) == TValidity::Valid;
    }
    TValidity Validity(QByteArrayView fileBytes, const TRule& Rule) const;

    // Lookups that the model's own maps answer directly.
    const TFld* GetFld(const QString& FldID) const;
    const TValSet* GetValSet(const QString& ValSetID) const;
    const TVal* GetVal(const QString& ValID) const;

    // The layout of a record type, first field first; empty for none.
    const std::vector<const TRule*>& Layout(const TRec* Rec) const;

    int RecCount() const { return int(FRecList.size()); }
    int FldCount() const { return int(FFldList.size()); }
    int ValSetCount() const { return int(FValSetList.size()); }
    int ValCount() const { return int(FValList.size()); }
    int RuleCount() const { return int(FRuleList.size()); }

    const TRec* HeaderRec = nullptr;
    const TRec* TrailerRec = nullptr;
    const TRec* AccountRec = nullptr;
    const TRec* ConsumerRec = nullptr;

private:
    std::unordered_map<QString, std::unique_ptr<TRec>> FRecList;
    std::unordered_map<QString, std::unique_ptr<TFld>> FFldList;
    std::unordered_map<QString, std::unique_ptr<TVal>> FValList;
    std::unordered_map<QString, std::unique_ptr<TValSet>> FValSetList;
    std::unordered_map<TKey, std::unique_ptr<TRule>, TKeyHash> FRuleList;
    // The domain test of a value in the file's code page, decoded for it.
    TValidity DomainValidity(QByteArrayView value, const TRule& Rule) const;

    bool FCodesSorted = false;  // every domain's codes in ascending order
};
