#pragma once

#include "ContentDiff.h"
#include "RecordChange.h"

#include <QHash>
#include <QSet>

#include <memory>
#include <vector>

// The open file compared with an older one, kept in step as the open file
// changes. The whole list is compared when it is filled; after a change of
// some records only the groups they belong to, or belonged to before the
// change, are compared again and put in the places of their former results.
// The older file's records are kept here as they were read. The places in
// the open list (NewIndex) are those of the comparison that last made the
// group; records come and go elsewhere since, so find a record by NewRec.
class TContentComparison {
public:
    TContentComparison(std::unique_ptr<TContent> older, const TContent& current);

    // At the start and whenever the list was refilled.
    void CompareAll(const UvoFile::TProgress& progress = {});
    // After some records of the list changed, came or went.
    void Update(const TRecordChange& change);
    // Before the records of the list go: nothing here refers to them any
    // more, until CompareAll.
    void Clear();

    const TContent& Older() const { return *FOlder; }
    const std::vector<TAccountDifference>& Accounts() const { return FAccounts; }
    const TDiffSummary& Summary() const { return FSummary; }
    bool Same() const { return FAccounts.empty(); }

private:
    using TGroupCounts = QHash<TDiffGroupKey, qsizetype>;
    using TGroupSet = QSet<TDiffGroupKey>;

    // Records of some groups, in list order, in a list that does not own
    // them, with their places in the whole list.
    struct TPart {
        explicit TPart(const TFormat& format) : Records(format, false) {}
        void Add(TContentRec* rec, int place);
        void Clear();
        TContent Records;
        std::vector<int> Places;
    };

    static TGroupCounts CountGroups(const TContent& content);
    void GatherCurrent(const TGroupSet& groups, TPart& part) const;
    void GatherOlder(const TGroupSet& groups, TPart& part) const;
    // Compares the groups anew, the open list's records of them given.
    void CompareGroups(const TGroupSet& groups, const TPart& current);

    std::unique_ptr<TContent> FOlder;
    // The places of the older records of each group, in list order.
    QHash<TDiffGroupKey, std::vector<int>> FOlderGroups;
    const TContent& FCurrent;
    std::vector<TAccountDifference> FAccounts;
    TDiffSummary FSummary;
    // The records of each group of the open list when it was last compared:
    // a group whose count changed lost or won a record.
    TGroupCounts FCounts;
    bool FCompared = false;
};
