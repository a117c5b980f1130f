#include "ContentComparison.h"

#include <QSet>

namespace {

// The records of the groups, in list order, in a list that does not own
// them, and where each stands in the whole list.
std::vector<int> GatherGroups(const TContent& whole, const QSet<TDiffGroupKey>& groups, TContent& part)
{
    std::vector<int> places;
    for (int i = 0; i < whole.Count(); ++i) {
        if (groups.contains(TDiffGroupKey::Of(*whole[i]))) {
            part.Add(whole[i]);
            places.push_back(i);
        }
    }
    return places;
}

}  // namespace

TContentComparison::TContentComparison(std::unique_ptr<TContent> older, const TContent& current)
    : FOlder(std::move(older)), FCurrent(current)
{
}

void TContentComparison::CompareAll(const UvoFile::TProgress& progress)
{
    TContentDiff diff(*FOlder, FCurrent, progress);
    FSummary = diff.Summary();
    FAccounts = diff.TakeAccounts();
    FCounts = CountGroups(FCurrent);
    FCompared = true;
}

void TContentComparison::Clear()
{
    FAccounts.clear();
    FSummary = {};
    FCounts.clear();
    FCompared = false;
}

TContentComparison::TGroupCounts TContentComparison::CountGroups(const TContent& content)
{
    TGroupCounts counts;
    for (const TContentRec* rec : content.Records())
        ++counts[TDiffGroupKey::Of(*rec)];
    return counts;
}

void TContentComparison::Update(const TRecordChange& change)
{
    if (!FCompared)
        return;
    // The records named are in their groups now (or were, when they left);
    // a record that moved to another account left its former group one
    // record short.
    TGroupSet groups;
    for (const auto* list : {&change.Changed, &change.Removed})
        for (const TContentRec* rec : *list)
            groups.insert(TDiffGroupKey::Of(*rec));
    TGroupCounts counts = CountGroups(FCurrent);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (FCounts.value(it.key()) != it.value())
            groups.insert(it.key());
    for (auto it = FCounts.cbegin(); it != FCounts.cend(); ++it)
        if (!counts.contains(it.key()))
            groups.insert(it.key());
    FCounts = std::move(counts);
    CompareGroups(groups);
}

void TContentComparison::CompareGroups(const TGroupSet& groups)
{
    TContent olderPart(FOlder->Format(), false);
    TContent currentPart(FCurrent.Format(), false);
    const std::vector<int> olderPlaces = GatherGroups(*FOlder, groups, olderPart);
    const std::vector<int> currentPlaces = GatherGroups(FCurrent, groups, currentPart);
    std::vector<TAccountDifference> fresh = TContentDiff(olderPart, currentPart).TakeAccounts();
    for (TAccountDifference& group : fresh) {
        for (TRecordDifference& record : group.Records) {
            if (record.OldIndex >= 0)
                record.OldIndex = olderPlaces[size_t(record.OldIndex)];
            if (record.NewIndex >= 0)
                record.NewIndex = currentPlaces[size_t(record.NewIndex)];
        }
    }

    // Both lists stand in group order: the groups kept and those compared
    // anew go together as in a merge.
    std::vector<TAccountDifference> merged;
    merged.reserve(FAccounts.size() + fresh.size());
    auto next = fresh.begin();
    for (TAccountDifference& kept : FAccounts) {
        const TDiffGroupKey key = TDiffGroupKey::Of(kept);
        if (groups.contains(key))
            continue;
        for (; next != fresh.end() && TDiffGroupKey::Of(*next).Compare(key) < 0; ++next)
            merged.push_back(std::move(*next));
        merged.push_back(std::move(kept));
    }
    std::move(next, fresh.end(), std::back_inserter(merged));
    FAccounts = std::move(merged);
    FSummary = {};
    for (const TAccountDifference& group : FAccounts)
        FSummary.Add(group);
}
