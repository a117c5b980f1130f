#pragma once

class TContentRec;

// What the import dialog needs of the main window beyond the open document:
// leave the open file before a new one replaces it, and show the records
// after the import changed them.
class TImportHost {
public:
    // True when the open file may be discarded; offers to save unsaved changes.
    virtual bool CanLeaveFile() = 0;
    // Rebuilds the view of the records; FocusRec's row is focused.
    virtual void ShowContent(TContentRec* FocusRec) = 0;

protected:
    ~TImportHost() = default;
};
