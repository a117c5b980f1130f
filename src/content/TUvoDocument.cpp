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
