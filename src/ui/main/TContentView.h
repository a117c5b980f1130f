#pragma once

class TContentRec;

// What the commands need of the window that shows the open file's records.
class TContentView {
public:
    // Rebuilds the filter list and the panel area; FocusRec's row is focused.
    virtual void ShowContent(TContentRec* FocusRec) = 0;
    // Removes every panel and grid; done before the records they show go.
    virtual void ClearView() = 0;
    // The record counts of the status bar.
    virtual void ShowStatusBarInfo() = 0;

protected:
    ~TContentView() = default;
};
