#pragma once

#include "TContent.h"

#include <QPointer>
#include <QUndoCommand>

#include <memory>
#include <utility>
#include <vector>

class TContentView;
class TRecordGrid;
class TUvoDocument;

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

// What every change of the records shares: the open file and the view. The
// first run updates the view as the command has always done; undo and a later
// redo rebuild it, focused on the record concerned.
class TRecordListCommand : public QUndoCommand {
protected:
    TRecordListCommand(const QString& text, TUvoDocument& document, TContentView& view);
    TContent& Content() const;
    // True once, at the first run.
    bool FirstRun();
    // Recomputes the Trailer's totals, keeping the former ones for undo.
    void CountTotals();
    // Tells the document which records changed or left, so that what follows
    // the records (the problems list) is brought up to date; a change of the
    // totals changes the Trailer too.
    void NoteChange(std::vector<const TContentRec*> changed, std::vector<const TContentRec*> removed, bool totals);

    TUvoDocument& FDocument;
    TContentView& FView;
    TFormerTotals FTotals;

private:
    bool FRan = false;
};

// Records appended to the list, which is then sorted and its totals
// recomputed: a record added or copied in the edit dialog, or a batch of
// finished records from an import.
class TAppendRecsCommand : public TRecordListCommand {
public:
    enum class TSteps { SortThenCount, CountThenSort };
    // focusAdded: the view focuses the added record, else it shows all records.
    TAppendRecsCommand(const QString& text, TUvoDocument& document, TContentView& view,
                       std::vector<std::unique_ptr<TContentRec>> recs, TSteps steps, bool focusAdded);
    void redo() override;
    void undo() override;

private:
    std::vector<std::unique_ptr<TContentRec>> FOwned;  // while the records are out of the list
    std::vector<TContentRec*> FRecs;
    TSteps FSteps;
    bool FFocusAdded;
    TFormerOrder FOrder;
};

// A record taken out of the list; the command keeps it while it is out.
class TDeleteRecCommand : public TRecordListCommand {
public:
    // VT and Node: the grid row it was deleted from, which alone goes at the first run.
    TDeleteRecCommand(TUvoDocument& document, TContentView& view, TRecordGrid* VT, int Node, int index);
    void redo() override;
    void undo() override;

private:
    QPointer<TRecordGrid> FGrid;
    int FNode;
    int FIndex;
    TContentRec* FRec;
    std::unique_ptr<TContentRec> FOwned;
};

// New values of a record that stays in the list; the list is sorted when its
// key changed.
class TEditRecCommand : public TRecordListCommand {
public:
    TEditRecCommand(TUvoDocument& document, TContentView& view, TContentRec& rec, const TContentRec& edited);
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
