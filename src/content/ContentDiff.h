#pragma once

#include "TContent.h"
#include "UvoFile.h"

#include <QString>

#include <vector>

// A field whose value differs between a record and its pair.
struct TFieldDifference {
    int FieldIndex = 0;  // the place in the record's FldList; both records have the same type
    const TRule* Rule = nullptr;
    QString OldValue;
    QString NewValue;
};

// A record of one file that the other lacks, or a pair of records whose values differ.
struct TRecordDifference {
    enum class TKind { Added, Removed, Changed };

    TKind Kind = TKind::Changed;
    const TRec* Rec = nullptr;
    const TContentRec* OldRec = nullptr;  // none for an added record
    const TContentRec* NewRec = nullptr;  // none for a removed record
    int OldIndex = -1;  // the places in the two lists, the line numbers less one for a file just read
    int NewIndex = -1;
    std::vector<TFieldDifference> Fields;  // for a changed record
};

// The records of one account that differ, or an account that only one file
// holds (with all its records). The Header, the Trailer and the records
// without an account number form groups of their own.
struct TAccountDifference {
    enum class TGroup { Header, Account, NoAccount, Trailer };
    enum class TKind { Added, Removed, Changed };

    TGroup Group = TGroup::Account;
    QString Account;  // for TGroup::Account
    TKind Kind = TKind::Changed;
    std::vector<TRecordDifference> Records;
};

// Where a record stands in a comparison: its group, with the account for an
// account's records.
struct TDiffGroupKey {
    TAccountDifference::TGroup Group = TAccountDifference::TGroup::Account;
    QString Account;  // empty outside TGroup::Account

    static TDiffGroupKey Of(const TContentRec& rec);
    static TDiffGroupKey Of(const TAccountDifference& group) { return {group.Group, group.Account}; }
    // The order of the groups in a comparison: the Header, the accounts in
    // ascending order, the records without an account, the Trailer.
    static int Compare(TAccountDifference::TGroup a, const QString& accountA, TAccountDifference::TGroup b,
                       const QString& accountB)
    {
        if (a != b)
            return a < b ? -1 : 1;
        return a == TAccountDifference::TGroup::Account ? accountA.compare(accountB) : 0;
    }
    int Compare(const TDiffGroupKey& other) const { return Compare(Group, Account, other.Group, other.Account); }
    bool operator==(const TDiffGroupKey&) const = default;
};

size_t qHash(const TDiffGroupKey& key, size_t seed = 0);

struct TDiffSummary {
    qsizetype AccountsAdded = 0;
    qsizetype AccountsRemoved = 0;
    qsizetype AccountsChanged = 0;
    qsizetype RecordsAdded = 0;
    qsizetype RecordsRemoved = 0;
    qsizetype RecordsChanged = 0;
    qsizetype FieldsChanged = 0;

    // Counts the differences of one group.
    void Add(const TAccountDifference& group);
};

// What changed from one submission to the next, account by account. Records
// are grouped by account; within an account the records of one type are
// paired by their sort key, an unchanged record first with its equal and then
// in list order, so that records that only moved, or a list that was only
// sorted, differ in nothing. The Trailer's totals are compared as any other
// value. Both lists must stay unchanged while the result is read: it points
// into them.
class TContentDiff {
public:
    // progress is told now and then how far the comparison has come.
    TContentDiff(const TContent& oldContent, const TContent& newContent, const UvoFile::TProgress& progress = {});

    // In the order of TDiffGroupKey::Compare.
    const std::vector<TAccountDifference>& Accounts() const { return FAccounts; }
    // The groups handed over; the comparison is left without them.
    std::vector<TAccountDifference> TakeAccounts() { return std::move(FAccounts); }
    const TDiffSummary& Summary() const { return FSummary; }
    bool Same() const { return FAccounts.empty(); }

private:
    std::vector<TAccountDifference> FAccounts;
    TDiffSummary FSummary;
};
