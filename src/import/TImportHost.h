#pragma once

// What the import dialog needs of the main window beyond the open document:
// leave the open file before a new one replaces it.
class TImportHost {
public:
    // True when the open file may be discarded; offers to save unsaved changes.
    virtual bool CanLeaveFile() = 0;

protected:
    ~TImportHost() = default;
};
