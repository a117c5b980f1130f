#pragma once

#include "ReadLoss.h"
#include "TContent.h"

#include <QObject>
#include <QString>

#include <vector>

// Which records of the content list a change touched: records whose values
// are new (edited, added, copied, or put back), all in the list, and records
// that left the list (freed by then: only their identity counts).
struct TRecordChange {
    std::vector<const TContentRec*> Changed;
    std::vector<const TContentRec*> Removed;
};

// The open data file: its records, the path it was read from or last written
// to, and whether it has unsaved changes. The windows show this state; the
// commands change it.
class TUvoDocument : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString CurrentFile READ CurrentFile WRITE SetCurrentFile NOTIFY CurrentFileChanged)
    Q_PROPERTY(bool RecsChanged READ RecsChanged WRITE SetRecsChanged NOTIFY RecsChangedWritten)

public:
    explicit TUvoDocument(const TFormat& format, QObject* parent = nullptr);

    const TFormat& Format() const { return FContent.Format(); }
    // The one content list: it owns its records and is only emptied and refilled.
    TContent& Content() { return FContent; }
    const TContent& Content() const { return FContent; }

    // Full path of the file last read or written; empty for a file never saved.
    const QString& CurrentFile() const { return FCurrentFile; }
    void SetCurrentFile(const QString& path);

    bool RecsChanged() const { return FRecsChanged; }
    // Every write is announced, changed or not: writing the flag is also how
    // the shown file state catches up with a new CurrentFile.
    void SetRecsChanged(bool value);

    // Every change of the content list ends with one of these two, so that
    // what follows the records (the problems list) keeps in step. The content
    // list was emptied and refilled; losses are what reading a file passed
    // over, fromFile says that the records stand in the order of its lines.
    void NoteContentReplaced(bool fromFile = false, std::vector<TReadLoss> losses = {});
    // Some records changed or left; the list may have been re-sorted.
    void NoteRecordsChanged(const TRecordChange& change);
    // What the last read passed over, by line.
    const std::vector<TReadLoss>& ReadLosses() const { return FReadLosses; }

signals:
    void CurrentFileChanged(const QString& path);
    void RecsChangedWritten(bool changed);
    void ContentReplaced(bool fromFile);
    void RecordsChanged(const TRecordChange& change);
    // The content list was emptied, to be refilled with another file.
    void ContentCleared();

private:
    TContent FContent;
    QString FCurrentFile;
    bool FRecsChanged = false;
    std::vector<TReadLoss> FReadLosses;
};
