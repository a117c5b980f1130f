#include "RecordUndoCommands.h"

#include "TContentView.h"
#include "TRecordGrid.h"
#include "TUvoDocument.h"

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

// ---- TRecordListCommand ----

TRecordListCommand::TRecordListCommand(const QString& text, TUvoDocument& document, TContentView& view)
    : QUndoCommand(text), FDocument(document), FView(view)
{
}

TContent& TRecordListCommand::Content() const { return FDocument.Content(); }

bool TRecordListCommand::FirstRun() { return !std::exchange(FRan, true); }

void TRecordListCommand::CountTotals()
{
    FTotals.Remember(Content());
    Content().CalcRecsCount();
}

void TRecordListCommand::NoteChange(std::vector<const TContentRec*> changed, std::vector<const TContentRec*> removed,
                                    bool totals)
{
    if (totals)
        if (const TContentRec* trailer = Content().GetTrailerRec())
            changed.push_back(trailer);
    FDocument.NoteRecordsChanged({std::move(changed), std::move(removed)});
}

// ---- TAppendRecsCommand ----

TAppendRecsCommand::TAppendRecsCommand(const QString& text, TUvoDocument& document, TContentView& view,
                                       std::vector<std::unique_ptr<TContentRec>> recs, TSteps steps, bool focusAdded)
    : TRecordListCommand(text, document, view), FOwned(std::move(recs)), FSteps(steps), FFocusAdded(focusAdded)
{
    for (const auto& rec : FOwned)
        FRecs.push_back(rec.get());
}

void TAppendRecsCommand::redo()
{
    // Every run shows the list the same way, the first one too.
    TContent& content = Content();
    FOrder.Remember(content);
    for (auto& rec : FOwned)
        content.Add(std::move(rec));
    FOwned.clear();
    if (FSteps == TSteps::SortThenCount) {
        content.SortRec();
        CountTotals();
    } else {
        CountTotals();
        content.SortRec();
    }
    FOrder.Settle(content, FRecs);
    NoteChange({FRecs.begin(), FRecs.end()}, {}, true);
    FView.ShowContent(FFocusAdded && !FRecs.empty() ? FRecs.front() : nullptr);
}

void TAppendRecsCommand::undo()
{
    TContent& content = Content();
    TContentRec* focus = FFocusAdded && !FRecs.empty() ? RecordBeside(content, content.IndexOf(FRecs.front())) : nullptr;
    FTotals.Restore();
    FOrder.Restore(content, FRecs);
    // The added records stand at the end now, in the order they came.
    FOwned.resize(FRecs.size());
    for (size_t i = FRecs.size(); i-- > 0;)
        FOwned[i] = content.Take(content.Count() - 1);
    NoteChange({}, {FRecs.begin(), FRecs.end()}, true);
    FView.ShowContent(focus);
}

// ---- TDeleteRecCommand ----

TDeleteRecCommand::TDeleteRecCommand(TUvoDocument& document, TContentView& view, TRecordGrid* VT, int Node, int index)
    : TRecordListCommand(QStringLiteral("удаление записи"), document, view), FGrid(VT), FNode(Node), FIndex(index),
      FRec(document.Content()[index])
{
}

void TDeleteRecCommand::redo()
{
    TContent& content = Content();
    if (FirstRun()) {
        // The row goes before its record, so that no grid ever holds a record out of the list.
        if (FGrid)
            FView.RemoveRow(FGrid, FNode);
        FOwned = content.Take(FIndex);
        CountTotals();
        NoteChange({}, {FRec}, true);
        if (FView.VTList().isEmpty())
            FView.ShowContent(nullptr);
        FView.ShowStatusBarInfo();
        return;
    }
    TContentRec* focus = RecordBeside(content, FIndex);
    FOwned = content.Take(FIndex);
    CountTotals();
    NoteChange({}, {FRec}, true);
    FView.ShowContent(focus);
}

void TDeleteRecCommand::undo()
{
    FTotals.Restore();
    Content().Insert(FIndex, std::move(FOwned));
    NoteChange({FRec}, {}, true);
    FView.ShowContent(FRec);
}

// ---- TEditRecCommand ----

TEditRecCommand::TEditRecCommand(TUvoDocument& document, TContentView& view, TContentRec& rec, const TContentRec& edited)
    : TRecordListCommand(QStringLiteral("изменение записи"), document, view), FRec(rec), FOld(document.Format()),
      FNew(document.Format())
{
    TContent::CopyRec(rec, FOld);
    TContent::CopyRec(edited, FNew);
    FNew.CalcSortStr();
    FNewKey = FNew.SortStr;
}

void TEditRecCommand::redo()
{
    // The edited record stays the same object, so its row stays where it is.
    TContent::CopyRec(FNew, FRec);
    FRec.CalcSortStr();
    const bool first = FirstRun();
    if (KeyChanges()) {
        FOrder.Remember(Content());
        Content().SortRec();
        FOrder.Settle(Content(), {&FRec});
    }
    NoteChange({&FRec}, {}, false);
    if (first && !KeyChanges())
        FView.RefreshRec(&FRec);
    else
        FView.ShowContent(&FRec);
}

void TEditRecCommand::undo()
{
    TContent::CopyRec(FOld, FRec);
    if (KeyChanges())
        FOrder.Restore(Content(), {});
    NoteChange({&FRec}, {}, false);
    FView.ShowContent(&FRec);
}
