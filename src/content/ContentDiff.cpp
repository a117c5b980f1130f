#include "ContentDiff.h"

#include <QHash>

#include <algorithm>
#include <functional>
#include <unordered_map>

namespace {

using TGroup = TAccountDifference::TGroup;

// One record of a list, with what places it among the other list's records.
struct TEntry {
    TAccountDifference::TGroup Group;
    const TContentRec* Record;
    int Index;

    const QString& Account() const { return Record->Account; }
    const QString& RecID() const { return Record->Rec->RecID; }
};

TGroup GroupOf(const TContentRec& rec)
{
    if (rec.Rec == rec.Format->HeaderRec)
        return TGroup::Header;
    if (rec.Rec == rec.Format->TrailerRec)
        return TGroup::Trailer;
    return rec.Account.isEmpty() ? TGroup::NoAccount : TGroup::Account;
}

int CompareGroupOf(const TEntry& a, const TEntry& b)
{
    return TDiffGroupKey::Compare(a.Group, a.Account(), b.Group, b.Account());
}

// Records that can pair: one group, one type, one sort key.
int CompareBucketOf(const TEntry& a, const TEntry& b)
{
    if (const int byGroup = CompareGroupOf(a, b))
        return byGroup;
    if (a.Record->Rec != b.Record->Rec)
        if (const int byType = a.RecID().compare(b.RecID()))
            return byType;
    return a.Record->SortStr.compare(b.Record->SortStr);
}

bool SameValue(const TContentRec& a, const TContentRec& b, int index) { return a.Chars(index) == b.Chars(index); }

bool SameValues(const TContentRec& a, const TContentRec& b)
{
    if (a.FldCount() != b.FldCount())
        return false;
    for (int i = 0; i < a.FldCount(); ++i)
        if (!SameValue(a, b, i))
            return false;
    return true;
}

size_t ValuesHash(const TContentRec& rec)
{
    size_t hash = 0;
    for (int i = 0; i < rec.FldCount(); ++i)
        hash = hash * 31 + rec.Chars(i).Hash();
    return hash;
}

// The end of the run from `begin` whose entries are equal by `compare`.
template <typename Compare>
const TEntry* RunEnd(const TEntry* begin, const TEntry* end, Compare compare)
{
    const TEntry* it = begin;
    while (it != end && compare(*begin, *it) == 0)
        ++it;
    return it;
}

// Walks two sorted lists side by side, one run of equal entries at a time:
// visit(side, oldRun, oldRunEnd, newRun, newRunEnd) with side -1 for a run
// only the old list has, 1 for one only the new list has, 0 for both.
template <typename Compare, typename Visit>
void WalkRuns(const TEntry* oldIt, const TEntry* oldEnd, const TEntry* newIt, const TEntry* newEnd,
              Compare compare, Visit visit)
{
    while (oldIt != oldEnd || newIt != newEnd) {
        const int side = oldIt == oldEnd ? 1 : newIt == newEnd ? -1 : compare(*oldIt, *newIt);
        const TEntry* oldRun = side <= 0 ? RunEnd(oldIt, oldEnd, compare) : oldIt;
        const TEntry* newRun = side >= 0 ? RunEnd(newIt, newEnd, compare) : newIt;
        visit(side, oldIt, oldRun, newIt, newRun);
        oldIt = oldRun;
        newIt = newRun;
    }
}

std::vector<TEntry> SortedEntries(const TContent& content)
{
    std::vector<TEntry> entries;
    entries.reserve(size_t(content.Count()));
    for (int i = 0; i < content.Count(); ++i) {
        const TContentRec* rec = content[i];
        entries.push_back({GroupOf(*rec), rec, i});
    }
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
        const int byBucket = CompareBucketOf(a, b);
        return byBucket != 0 ? byBucket < 0 : a.Index < b.Index;
    });
    return entries;
}

// Walks the two sorted lists side by side, group by group and bucket by bucket.
class TComparer {
public:
    TComparer(std::vector<TAccountDifference>& accounts, TDiffSummary& summary) : FAccounts(accounts), FSummary(summary)
    {
    }

    // progress hears of the entries walked past, of both lists together.
    void CompareGroups(const std::vector<TEntry>& oldEntries, const std::vector<TEntry>& newEntries,
                       const std::function<void(qint64 walked)>& progress);

private:
    void PairBucket(TAccountDifference& group, const TEntry* oldBegin, const TEntry* oldEnd,
                    const TEntry* newBegin, const TEntry* newEnd);
    static void AddOneSided(TAccountDifference& group, const TEntry& entry, bool isNew);
    static void AddPair(TAccountDifference& group, const TEntry& oldEntry, const TEntry& newEntry);

    std::vector<TAccountDifference>& FAccounts;
    TDiffSummary& FSummary;
};

void TComparer::CompareGroups(const std::vector<TEntry>& oldEntries, const std::vector<TEntry>& newEntries,
                              const std::function<void(qint64 walked)>& progress)
{
    const TEntry* oldBegin = oldEntries.data();
    const TEntry* newBegin = newEntries.data();
    WalkRuns(oldBegin, oldBegin + oldEntries.size(), newBegin, newBegin + newEntries.size(), CompareGroupOf,
             [&](int side, const TEntry* oldIt, const TEntry* oldRun, const TEntry* newIt, const TEntry* newRun) {
                 const TEntry& first = side <= 0 ? *oldIt : *newIt;
                 TAccountDifference group;
                 group.Group = first.Group;
                 if (group.Group == TGroup::Account)
                     group.Account = first.Account();
                 group.Kind = side < 0 ? TAccountDifference::TKind::Removed
                            : side > 0 ? TAccountDifference::TKind::Added
                                       : TAccountDifference::TKind::Changed;
                 WalkRuns(oldIt, oldRun, newIt, newRun, CompareBucketOf,
                          [this, &group](int, const TEntry* o, const TEntry* oEnd, const TEntry* n, const TEntry* nEnd) {
                              PairBucket(group, o, oEnd, n, nEnd);
                          });
                 if (!group.Records.empty()) {
                     FSummary.Add(group);
                     FAccounts.push_back(std::move(group));
                 }
                 if (progress)
                     progress((oldRun - oldBegin) + (newRun - newBegin));
             });
}

// Pairs the records of one type and key: first each with an unchanged equal,
// then what is left in list order; the rest were added or removed.
void TComparer::PairBucket(TAccountDifference& group, const TEntry* oldBegin, const TEntry* oldEnd,
                              const TEntry* newBegin, const TEntry* newEnd)
{
    const auto oldCount = oldEnd - oldBegin;
    const auto newCount = newEnd - newBegin;
    if (oldCount == 1 && newCount == 1) {
        AddPair(group, *oldBegin, *newBegin);
        return;
    }
    std::vector<bool> oldPaired(size_t(oldCount), false);
    std::vector<bool> newPaired(size_t(newCount), false);
    if (oldCount > 0 && newCount > 0) {
        std::unordered_multimap<size_t, qsizetype> oldByHash;
        for (qsizetype i = 0; i < oldCount; ++i)
            oldByHash.emplace(ValuesHash(*oldBegin[i].Record), i);
        for (qsizetype j = 0; j < newCount; ++j) {
            auto [from, to] = oldByHash.equal_range(ValuesHash(*newBegin[j].Record));
            for (auto it = from; it != to; ++it) {
                if (SameValues(*oldBegin[it->second].Record, *newBegin[j].Record)) {
                    oldPaired[size_t(it->second)] = newPaired[size_t(j)] = true;
                    oldByHash.erase(it);
                    break;
                }
            }
        }
    }
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        while (i < oldCount && oldPaired[size_t(i)])
            ++i;
        while (j < newCount && newPaired[size_t(j)])
            ++j;
        if (i == oldCount || j == newCount)
            break;
        AddPair(group, oldBegin[i++], newBegin[j++]);
    }
    for (; i < oldCount; ++i)
        if (!oldPaired[size_t(i)])
            AddOneSided(group, oldBegin[i], false);
    for (; j < newCount; ++j)
        if (!newPaired[size_t(j)])
            AddOneSided(group, newBegin[j], true);
}

void TComparer::AddOneSided(TAccountDifference& group, const TEntry& entry, bool isNew)
{
    TRecordDifference record;
    record.Kind = isNew ? TRecordDifference::TKind::Added : TRecordDifference::TKind::Removed;
    record.Rec = entry.Record->Rec;
    (isNew ? record.NewRec : record.OldRec) = entry.Record;
    (isNew ? record.NewIndex : record.OldIndex) = entry.Index;
    group.Records.push_back(std::move(record));
}

void TComparer::AddPair(TAccountDifference& group, const TEntry& oldEntry, const TEntry& newEntry)
{
    const TContentRec& oldRec = *oldEntry.Record;
    const TContentRec& newRec = *newEntry.Record;
    TRecordDifference record;
    for (int i = 0; i < oldRec.FldCount(); ++i)
        if (!SameValue(oldRec, newRec, i))
            record.Fields.push_back({i, oldRec.FldRule(i), oldRec.Value(i), newRec.Value(i)});
    if (record.Fields.empty())
        return;
    record.Kind = TRecordDifference::TKind::Changed;
    record.Rec = oldRec.Rec;
    record.OldRec = &oldRec;
    record.NewRec = &newRec;
    record.OldIndex = oldEntry.Index;
    record.NewIndex = newEntry.Index;
    group.Records.push_back(std::move(record));
}

}  // namespace

TDiffGroupKey TDiffGroupKey::Of(const TContentRec& rec)
{
    const TGroup group = GroupOf(rec);
    return {group, group == TGroup::Account ? rec.Account : QString()};
}

size_t qHash(const TDiffGroupKey& key, size_t seed) { return qHashMulti(seed, int(key.Group), key.Account); }

void TDiffSummary::Add(const TAccountDifference& group)
{
    if (group.Group == TGroup::Account) {
        qsizetype& accounts = group.Kind == TAccountDifference::TKind::Added     ? AccountsAdded
                            : group.Kind == TAccountDifference::TKind::Removed ? AccountsRemoved
                                                                               : AccountsChanged;
        ++accounts;
    }
    for (const TRecordDifference& record : group.Records) {
        switch (record.Kind) {
        case TRecordDifference::TKind::Added:
            ++RecordsAdded;
            break;
        case TRecordDifference::TKind::Removed:
            ++RecordsRemoved;
            break;
        case TRecordDifference::TKind::Changed:
            ++RecordsChanged;
            FieldsChanged += qsizetype(record.Fields.size());
            break;
        }
    }
}

// Sorting both lists takes about as long as walking them: each half of the progress.
TContentDiff::TContentDiff(const TContent& oldContent, const TContent& newContent, const UvoFile::TProgress& progress)
{
    const qint64 records = qint64(oldContent.Count()) + newContent.Count();
    const auto tell = [&](qint64 done) {
        if (progress)
            progress(done, 2 * records);
    };
    const std::vector<TEntry> oldEntries = SortedEntries(oldContent);
    tell(oldContent.Count());
    const std::vector<TEntry> newEntries = SortedEntries(newContent);
    tell(records);
    TComparer(FAccounts, FSummary).CompareGroups(oldEntries, newEntries, [&](qint64 walked) { tell(records + walked); });
}
