#include "TUvoDocument.h"

#include "DocumentSteps.h"

TUvoDocument::TUvoDocument(const TFormat& format, QObject* parent) : QObject(parent), FContent(format)
{
    connect(&FUndo, &QUndoStack::cleanChanged, this, &TUvoDocument::FileStateChanged);
}

TUvoDocument::~TUvoDocument() { FUndo.clear(); }

void TUvoDocument::SetCurrentFile(const QString& path)
{
    FCurrentFile = path;
    emit FileStateChanged();
}

bool TUvoDocument::RecsChanged() const { return FChangedOutsideHistory || !FUndo.isClean(); }

void TUvoDocument::SetRecsChanged(bool value)
{
    FChangedOutsideHistory = value;
    if (!value)
        FUndo.setClean();
    emit FileStateChanged();
}

void TUvoDocument::MarkSaved(const QString& file)
{
    FCurrentFile = file;
    FReadLosses.clear();
    SetRecsChanged(false);
    emit Saved();
}

void TUvoDocument::ReplaceAll(const std::function<TReplacement(TContent&)>& fill)
{
    emit ContentAboutToBeReplaced();
    FUndo.clear();
    FContent.Clear();
    TReplacement replacement = fill(FContent);
    FReadLosses = std::move(replacement.Losses);
    FCurrentFile = replacement.File;
    SetRecsChanged(replacement.Changed);
    emit ContentReplaced(replacement.FromFile);
}

void TUvoDocument::AppendRecords(const QString& stepName, std::vector<std::unique_ptr<TContentRec>> recs,
                                 TAppendOrder order, bool focusAdded)
{
    FUndo.push(new TAppendRecsStep(stepName, *this, std::move(recs), order, focusAdded));
}

void TUvoDocument::RemoveRecord(const TContentRec* rec)
{
    const int index = FContent.IndexOf(rec);
    if (index >= 0)
        FUndo.push(new TRemoveRecStep(*this, index));
}

void TUvoDocument::EditRecord(TContentRec& rec, const TContentRec& edited)
{
    FUndo.push(new TEditRecStep(*this, rec, edited));
}

void TUvoDocument::SetField(const QString& stepName, const std::vector<TContentRec*>& recs, const QString& fldId,
                            const QString& value)
{
    if (!recs.empty())
        FUndo.push(new TSetFieldStep(stepName, *this, recs, fldId, value));
}
