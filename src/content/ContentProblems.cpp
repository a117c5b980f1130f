#include "ContentProblems.h"

#include <algorithm>
#include <unordered_set>

void TContentProblems::CheckAll(bool fromFile, const std::vector<TReadLoss>& losses)
{
    FFindings.clear();
    FCheck.Check(FContent, losses, fromFile, [this](TFinding&& f) { FFindings.push_back(std::move(f)); });
}

void TContentProblems::Update(const TRecordChange& change)
{
    const std::unordered_set<const TContentRec*> changed(change.Changed.begin(), change.Changed.end());
    const std::unordered_set<const TContentRec*> removed(change.Removed.begin(), change.Removed.end());
    std::erase_if(FFindings, [&](const TFinding& f) {
        return f.IsStructural() || removed.contains(f.Record) ||
               (f.Kind == TFinding::TKind::InvalidField && changed.contains(f.Record));
    });
    const auto keep = [this](TFinding&& f) { FFindings.push_back(std::move(f)); };
    for (const TContentRec* rec : change.Changed)  // in the list, even where a freed one had its address
        FCheck.CheckFields(*rec, 0, keep);
    FCheck.CheckStructure(FContent, false, keep);
}
