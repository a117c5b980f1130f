#include "DocumentSteps.h"

#include "FieldReplace.h"
#include "TUvoDocument.h"

#include <algorithm>
#include <unordered_set>

namespace {

using TRecSet = std::unordered_set<const TContentRec*>;

// The list without the records of skip, in its order.
std::vector<TContentRec*> Without(const std::vector<TContentRec*>& recs, const TRecSet& skip)
{
    std::vector<TContentRec*> rest;
    rest.reserve(recs.size());
    for (TContentRec* rec : recs)
        if (!skip.count(rec))
            rest.push_back(rec);
    return rest;
}

// The record beside the one at index, for the view to focus when that one
// goes: the one before it, or the one after it at the top of the list.
TContentRec* RecordBeside(const TContent& content, int index)
{
    if (index > 0)
        return content[index - 1];
    return index + 1 < content.Count() ? content[index + 1] : nullptr;
}

}  // namespace

// ---- TFormerOrder ----

void TFormerOrder::Remember(const TContent& content)
{
    FBefore = content.Records();
    FWhole = true;
    FPlaces.clear();
}

void TFormerOrder::Settle(const TContent& content, const std::vector<TContentRec*>& placed)
{
    const TRecSet skip(placed.begin(), placed.end());
    if (Without(content.Records(), skip) != Without(FBefore, skip))
        return;  // the sort moved other records too: the whole order stays
    for (size_t i = 0; i < FBefore.size(); ++i)
        if (skip.count(FBefore[i]))
            FPlaces.emplace_back(int(i), FBefore[i]);
    std::vector<TContentRec*>().swap(FBefore);
    FWhole = false;
}

void TFormerOrder::Restore(TContent& content, const std::vector<TContentRec*>& added) const
{
    std::vector<TContentRec*> order;
    if (FWhole) {
        order = FBefore;
    } else {
        TRecSet skip(added.begin(), added.end());
        for (const auto& [index, rec] : FPlaces)
            skip.insert(rec);
        order = Without(content.Records(), skip);
        for (const auto& [index, rec] : FPlaces)  // ascending places
            order.insert(order.begin() + index, rec);
    }
    order.insert(order.end(), added.begin(), added.end());
    content.Rearrange(std::move(order));
}

// ---- TFormerTotals ----

void TFormerTotals::Remember(const TContent& content)
{
    FTrailer = content.GetTrailerRec();
    FCopy.reset();
    if (!FTrailer)
        return;
    FCopy = std::make_unique<TContentRec>(content.Format());
    TContent::CopyRec(*FTrailer, *FCopy);
}

void TFormerTotals::Restore() const
{
    if (FTrailer && FCopy)
        TContent::CopyRec(*FCopy, *FTrailer);
}

// ---- TRecordListStep ----

TRecordListStep::TRecordListStep(const QString& text, TUvoDocument& document) : QUndoCommand(text), FDocument(document)
{
}

TContent& TRecordListStep::Content() const { return FDocument.Content(); }

bool TRecordListStep::FirstRun() { return !std::exchange(FRan, true); }

void TRecordListStep::CountTotals()
{
    FTotals.Remember(Content());
    Content().CalcRecsCount();
}

void TRecordListStep::NoteChange(std::vector<const TContentRec*> changed, std::vector<const TContentRec*> removed,
                                 bool totals, bool rebuild, TContentRec* focus)
{
    if (totals)
        if (const TContentRec* trailer = Content().GetTrailerRec())
            changed.push_back(trailer);
    FDocument.NoteRecordsChanged({std::move(changed), std::move(removed), rebuild, focus});
}

// ---- TAppendRecsStep ----

TAppendRecsStep::TAppendRecsStep(const QString& text, TUvoDocument& document,
                                 std::vector<std::unique_ptr<TContentRec>> recs, TAppendOrder order, bool focusAdded)
    : TRecordListStep(text, document), FOwned(std::move(recs)), FOrder(order), FFocusAdded(focusAdded)
{
    for (const auto& rec : FOwned)
        FRecs.push_back(rec.get());
}

void TAppendRecsStep::redo()
{
    TContent& content = Content();
    FFormerOrder.Remember(content);
    for (auto& rec : FOwned)
        content.Add(std::move(rec));
    FOwned.clear();
    if (FOrder == TAppendOrder::SortThenCount) {
        content.SortRec();
        CountTotals();
    } else {
        CountTotals();
        content.SortRec();
    }
    FFormerOrder.Settle(content, FRecs);
    // Every run shows the list the same way, the first one too.
    NoteChange({FRecs.begin(), FRecs.end()}, {}, true, true, FFocusAdded && !FRecs.empty() ? FRecs.front() : nullptr);
}

void TAppendRecsStep::undo()
{
    TContent& content = Content();
    TContentRec* focus = FFocusAdded && !FRecs.empty() ? RecordBeside(content, content.IndexOf(FRecs.front())) : nullptr;
    FTotals.Restore();
    FFormerOrder.Restore(content, FRecs);
    // The added records stand at the end now, in the order they came.
    FOwned.resize(FRecs.size());
    for (size_t i = FRecs.size(); i-- > 0;)
        FOwned[i] = content.Take(content.Count() - 1);
    NoteChange({}, {FRecs.begin(), FRecs.end()}, true, true, focus);
}

// ---- TRemoveRecStep ----

TRemoveRecStep::TRemoveRecStep(TUvoDocument& document, int index)
    : TRecordListStep(QStringLiteral("удаление записи"), document), FIndex(index), FRec(document.Content()[index])
{
}

void TRemoveRecStep::redo()
{
    const bool first = FirstRun();
    TContentRec* focus = first ? nullptr : RecordBeside(Content(), FIndex);
    FOwned = Content().Take(FIndex);
    CountTotals();
    NoteChange({}, {FRec}, true, !first, focus);
}

void TRemoveRecStep::undo()
{
    FTotals.Restore();
    Content().Insert(FIndex, std::move(FOwned));
    NoteChange({FRec}, {}, true, true, FRec);
}

// ---- TEditRecStep ----

TEditRecStep::TEditRecStep(TUvoDocument& document, TContentRec& rec, const TContentRec& edited)
    : TRecordListStep(QStringLiteral("изменение записи"), document), FRec(rec), FOld(document.Format()),
      FNew(document.Format())
{
    TContent::CopyRec(rec, FOld);
    TContent::CopyRec(edited, FNew);
    FNew.CalcSortStr();
    FNewKey = FNew.SortStr;
}

void TEditRecStep::redo()
{
    // The edited record stays the same object, so its row stays where it is.
    TContent::CopyRec(FNew, FRec);
    FRec.CalcSortStr();
    if (KeyChanges()) {
        FOrder.Remember(Content());
        Content().SortRec();
        FOrder.Settle(Content(), {&FRec});
    }
    // A change of values only keeps the view as it is, at every run.
    NoteChange({&FRec}, {}, false, KeyChanges(), &FRec);
}

void TEditRecStep::undo()
{
    TContent::CopyRec(FOld, FRec);
    if (KeyChanges())
        FOrder.Restore(Content(), {});
    NoteChange({&FRec}, {}, false, KeyChanges(), &FRec);
}

// ---- TSetFieldStep ----

TSetFieldStep::TSetFieldStep(const QString& text, TUvoDocument& document, const std::vector<TContentRec*>& recs,
                             const QString& fldId, const QString& value)
    : TRecordListStep(text, document), FRecs(recs), FFldId(fldId), FValue(value)
{
    FOldValues.reserve(FRecs.size());
    for (const TContentRec* rec : FRecs)
        FOldValues.push_back(rec->GetVal(fldId));
}

void TSetFieldStep::redo()
{
    FKeyChanges = SetFieldInRecords(FRecs, FFldId, FValue);
    if (FKeyChanges) {
        FOrder.Remember(Content());
        Content().SortRec();
        FOrder.Settle(Content(), FRecs);
    }
    // No record comes or goes, so the totals stay: a total the user sets in the
    // Trailer keeps the value given.
    Note();
}

void TSetFieldStep::undo()
{
    for (size_t i = 0; i < FRecs.size(); ++i) {
        FRecs[i]->SetVal(FFldId, FOldValues[i]);
        FRecs[i]->CalcSortStr();
    }
    if (FKeyChanges)
        FOrder.Restore(Content(), {});
    Note();
}

void TSetFieldStep::Note()
{
    // Rows are drawn afresh where the order stayed; a new order is shown anew,
    // on the account of the records when they share one, else on all records.
    TContentRec* focus = FRecs.front();
    const QString& account = focus->Account;
    if (!std::all_of(FRecs.begin(), FRecs.end(), [&](const TContentRec* rec) { return rec->Account == account; }))
        focus = nullptr;
    NoteChange({FRecs.begin(), FRecs.end()}, {}, false, FKeyChanges, focus);
}
