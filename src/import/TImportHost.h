#pragma once

#include <memory>
#include <vector>

class TContentRec;

// What the import dialog needs of the main window beyond the open document:
// leave the open file before a new one replaces it, show the records after
// the import changed them, and append records to the open file as one step
// that undo takes back.
class TImportHost {
public:
    // True when the open file may be discarded; offers to save unsaved changes.
    virtual bool CanLeaveFile() = 0;
    // Rebuilds the view of the records; FocusRec's row is focused.
    virtual void ShowContent(TContentRec* FocusRec) = 0;
    // Appends finished records, recomputes the totals, sorts and shows the list.
    virtual void AppendRecs(std::vector<std::unique_ptr<TContentRec>> Recs) = 0;

protected:
    ~TImportHost() = default;
};
