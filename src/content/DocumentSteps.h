#pragma once

#include "TContent.h"

#include <QUndoCommand>

#include <memory>
#include <utility>
#include <vector>

class TUvoDocument;
enum class TAppendOrder;

// The order of the content list before a change that sorts it, so that undo
// gives back exactly the list there was, also one that was not in order (a
// file read as it came). When the sort only put the placed records into their
// places, their former places are all that is kept.
class TFormerOrder {
public:
    void Remember(const TContent& content);
    // After the change; placed are the records whose place the sort decided.
    void Settle(const TContent& content, const std::vector<TContentRec*>& placed);
    // Puts the list back into the order remembered, with the records added by
    // the change moved to its end, in the order given.
    void Restore(TContent& content, const std::vector<TContentRec*>& added) const;

private:
    std::vector<TContentRec*> FBefore;
    bool FWhole = false;                                 // FBefore is the whole former order
    std::vector<std::pair<int, TContentRec*>> FPlaces;  // else the former place of each placed record
};

// The Trailer as it was before the totals were recomputed into it: undo gives
// back the totals as they were, also totals that were read wrong from a file.
class TFormerTotals {
public:
    // Right before CalcRecsCount.
    void Remember(const TContent& content);
    void Restore() const;

private:
    TContentRec* FTrailer = nullptr;
    std::unique_ptr<TContentRec> FCopy;
};

// What every undo step of the records shares: the document it changes. A
// step changes the content list and tells the document what it touched; the
// views follow from there.
class TRecordListStep : public QUndoCommand {
protected:
    TRecordListStep(const QString& text, TUvoDocument& document);
    TContent& Content() const;
    // True once, at the first run.
    bool FirstRun();
    // Recomputes the Trailer's totals, keeping the former ones for undo.
    void CountTotals();
    // Tells the document which records changed or left, and where the views
    // focus when they rebuild (rebuild, focus); a change of the totals
    // changes the Trailer too.
    void NoteChange(std::vector<const TContentRec*> changed, std::vector<const TContentRec*> removed, bool totals,
                    bool rebuild, TContentRec* focus);

    TUvoDocument& FDocument;
    TFormerTotals FTotals;

private:
    bool FRan = false;
};

// Records appended to the list, which is then sorted and its totals
// recomputed: a record added or copied in the edit dialog, or a batch of
// finished records from an import.
class TAppendRecsStep : public TRecordListStep {
public:
    // focusAdded: the views focus the added record, else they show all records.
    TAppendRecsStep(const QString& text, TUvoDocument& document, std::vector<std::unique_ptr<TContentRec>> recs,
                    TAppendOrder order, bool focusAdded);
    void redo() override;
    void undo() override;

private:
    std::vector<std::unique_ptr<TContentRec>> FOwned;  // while the records are out of the list
    std::vector<TContentRec*> FRecs;
    TAppendOrder FOrder;
    bool FFocusAdded;
    TFormerOrder FFormerOrder;
};

// A record taken out of the list; the step keeps it while it is out. At the
// first run the views drop its row only; undo and a later redo rebuild them.
class TRemoveRecStep : public TRecordListStep {
public:
    TRemoveRecStep(TUvoDocument& document, int index);
    void redo() override;
    void undo() override;

private:
    int FIndex;
    TContentRec* FRec;
    std::unique_ptr<TContentRec> FOwned;
};

// New values of a record that stays in the list; the list is sorted when its
// key changed.
class TEditRecStep : public TRecordListStep {
public:
    TEditRecStep(TUvoDocument& document, TContentRec& rec, const TContentRec& edited);
    void redo() override;
    void undo() override;

private:
    bool KeyChanges() const { return FOld.SortStr != FNewKey; }

    TContentRec& FRec;
    TContentRec FOld;
    TContentRec FNew;
    QString FNewKey;
    TFormerOrder FOrder;
};

// One field set to one value in many records; the list is sorted when a key
// changed. The Trailer's totals are left as they are, as by an edit.
class TSetFieldStep : public TRecordListStep {
public:
    TSetFieldStep(const QString& text, TUvoDocument& document, const std::vector<TContentRec*>& recs,
                  const QString& fldId, const QString& value);
    void redo() override;
    void undo() override;

private:
    void Note();

    std::vector<TContentRec*> FRecs;
    std::vector<QString> FOldValues;
    QString FFldId;
    QString FValue;
    bool FKeyChanges = false;
    TFormerOrder FOrder;
};
