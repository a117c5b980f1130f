#include "ContentComparison.h"

#include <QSet>

#include <algorithm>

TContentComparison::TContentComparison(std::unique_ptr<TContent> older, const TContent& current)
    : FOlder(std::move(older)), FCurrent(current)
{
    for (int i = 0; i < FOlder->Count(); ++i)
        FOlderGroups[TDiffGroupKey::Of(*(*FOlder)[i])].push_back(i);
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

void TContentComparison::TPart::Add(TContentRec* rec, int place)
{
    Records.Add(rec);
    Places.push_back(place);
}

void TContentComparison::TPart::Clear()
{
    Records.Clear();
    Places.clear();
}

void TContentComparison::Update(const TRecordChange& change)
{
    if (!FCompared)
        return;
    // The records named are in their groups now (or were, when they left).
    TGroupSet groups;
    for (const auto* list : {&change.Changed, &change.Removed})
        for (const TContentRec* rec : *list)
            groups.insert(TDiffGroupKey::Of(*rec));
    // One pass over the list counts every group and gathers the groups named.
    TPart current(FCurrent.Format());
    TGroupCounts counts;
    counts.reserve(FCounts.size());
    for (int i = 0; i < FCurrent.Count(); ++i) {
        TDiffGroupKey key = TDiffGroupKey::Of(*FCurrent[i]);
        if (groups.contains(key))
            current.Add(FCurrent[i], i);
        ++counts[std::move(key)];
    }
    // A record that moved to another account left its former group one
    // record short: that group is compared again too.
    const qsizetype named = groups.size();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (FCounts.value(it.key()) != it.value())
            groups.insert(it.key());
    for (auto it = FCounts.cbegin(); it != FCounts.cend(); ++it)
        if (!counts.contains(it.key()))
            groups.insert(it.key());
    FCounts = std::move(counts);
    if (groups.size() > named) {
        current.Clear();
        GatherCurrent(groups, current);
    }
    CompareGroups(groups, current);
}

void TContentComparison::GatherCurrent(const TGroupSet& groups, TPart& part) const
{
    for (int i = 0; i < FCurrent.Count(); ++i)
        if (groups.contains(TDiffGroupKey::Of(*FCurrent[i])))
            part.Add(FCurrent[i], i);
}

void TContentComparison::GatherOlder(const TGroupSet& groups, TPart& part) const
{
    std::vector<int> places;
    for (const TDiffGroupKey& group : groups)
        if (const auto found = FOlderGroups.constFind(group); found != FOlderGroups.cend())
            places.insert(places.end(), found->begin(), found->end());
    // In list order, as the comparison pairs the records of one type and key.
    std::sort(places.begin(), places.end());
    for (int i : places)
        part.Add((*FOlder)[i], i);
}

void TContentComparison::CompareGroups(const TGroupSet& groups, const TPart& current)
{
    TPart older(FOlder->Format());
    GatherOlder(groups, older);
    std::vector<TAccountDifference> fresh = TContentDiff(older.Records, current.Records).TakeAccounts();
    for (TAccountDifference& group : fresh) {
        for (TRecordDifference& record : group.Records) {
            if (record.OldIndex >= 0)
                record.OldIndex = older.Places[size_t(record.OldIndex)];
            if (record.NewIndex >= 0)
                record.NewIndex = current.Places[size_t(record.NewIndex)];
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
