#include "TUvoDocument.h"

TUvoDocument::TUvoDocument(const TFormat& format, QObject* parent) : QObject(parent), FContent(format)
{
    FContent.Cleared = [this] { emit ContentCleared(); };
}

void TUvoDocument::SetCurrentFile(const QString& path)
{
    if (path == FCurrentFile)
        return;
    FCurrentFile = path;
    emit CurrentFileChanged(FCurrentFile);
}

void TUvoDocument::SetRecsChanged(bool value)
{
    FRecsChanged = value;
    emit RecsChangedWritten(value);
}

void TUvoDocument::NoteContentReplaced(bool fromFile, std::vector<TReadLoss> losses)
{
    FReadLosses = std::move(losses);
    emit ContentReplaced(fromFile);
}

void TUvoDocument::NoteRecordsChanged(const TRecordChange& change) { emit RecordsChanged(change); }
