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

    static TGroupCounts CountGroups(const TContent& content);
    void CompareGroups(const TGroupSet& groups);

    std::unique_ptr<TContent> FOlder;
    const TContent& FCurrent;
    std::vector<TAccountDifference> FAccounts;
    TDiffSummary FSummary;
    // The records of each group of the open list when it was last compared:
    // a group whose count changed lost or won a record.
    TGroupCounts FCounts;
    bool FCompared = false;
};
