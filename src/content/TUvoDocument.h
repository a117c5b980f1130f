#pragma once

#include "ReadLoss.h"
#include "RecordChange.h"
#include "TContent.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

// What refilling the content list made of the open file.
struct TReplacement {
    QString File;          // the file the records came from; empty for a new file
    bool Changed = false;  // unsaved from the start: an import, or a file read only in part
    bool FromFile = false;  // the records stand in the order of the file's lines
    std::vector<TReadLoss> Losses;  // what reading passed over, by line
};

// How appended records take their places.
enum class TAppendOrder {
    SortThenCount,  // sorted in, then the totals counted: a record added in the edit dialog
    CountThenSort,  // the totals counted first: a batch from an import
};

// The open data file: its records, the file they belong to, its undo history
// and whether it has unsaved changes. Every change of the file goes through
// the operations below; each one, done or undone, ends with one signal that
// names what it touched, and the views follow that signal. Records leave
// memory only once every view has let go of them.
class TUvoDocument : public QObject {
    Q_OBJECT

public:
    explicit TUvoDocument(const TFormat& format, QObject* parent = nullptr);
    ~TUvoDocument() override;

    const TFormat& Format() const { return FContent.Format(); }
    // The one content list. Changed only by the operations below; a test may
    // fill it before it is first shown.
    TContent& Content() { return FContent; }
    const TContent& Content() const { return FContent; }

    // Full path of the file last read or written; empty for a file never saved.
    const QString& CurrentFile() const { return FCurrentFile; }
    void SetCurrentFile(const QString& path);

    // Unsaved changes: the history away from the state last read or saved, or
    // a change outside the history since then.
    bool RecsChanged() const;
    // true: changed outside the history, so that no undo reaches a clean state;
    // false: the file as it stands is the saved one.
    void SetRecsChanged(bool value);
    // The records were written to file, which is now the open one: they stand
    // in the order of its lines, and what reading passed over is gone from it.
    void MarkSaved(const QString& file);

    QUndoStack& UndoStack() { return FUndo; }

    // ---- The operations ----

    // Every record replaced (open, new, a new file with records or from an
    // import): the views let go of the old records, the history is
    // forgotten, the list emptied; fill puts the new records in and tells
    // what the file now is.
    void ReplaceAll(const std::function<TReplacement(TContent&)>& fill);
    // Finished records (sort keys computed) appended as one undo step, the
    // list sorted and the totals counted; the views focus the first of them
    // when focusAdded, else show all.
    void AppendRecords(const QString& stepName, std::vector<std::unique_ptr<TContentRec>> recs, TAppendOrder order,
                       bool focusAdded);
    // A record of the list taken out, the totals counted again.
    void RemoveRecord(const TContentRec* rec);
    // New values for a record of the list, re-sorted in when its key changes.
    void EditRecord(TContentRec& rec, const TContentRec& edited);
    // One field set to one value in many records of the list, as one undo
    // step; the list re-sorted when the field is part of the key.
    void SetField(const QString& stepName, const std::vector<TContentRec*>& recs, const QString& fldId,
                  const QString& value);

    // What the last read passed over, by line.
    const std::vector<TReadLoss>& ReadLosses() const { return FReadLosses; }

    // For the undo steps: announces a change of records.
    void NoteRecordsChanged(const TRecordChange& change) { emit RecordsChanged(change); }

signals:
    // The file name or the changed state was written.
    void FileStateChanged();
    // Every record is about to go: views drop whatever refers to records.
    void ContentAboutToBeReplaced();
    void ContentReplaced(bool fromFile);
    // The records were written to the file, in the order of the list.
    void Saved();
    void RecordsChanged(const TRecordChange& change);

private:
    TContent FContent;
    QString FCurrentFile;
    bool FChangedOutsideHistory = false;
    std::vector<TReadLoss> FReadLosses;
    QUndoStack FUndo;  // its steps hold records out of the list: it goes before them
};
