#pragma once

#include <QList>

class TContentRec;
class TRecordGrid;

// What the commands need of the window that shows the open file's records.
class TContentView {
public:
    // Rebuilds the filter list and the panel area; FocusRec's row is focused.
    virtual void ShowContent(TContentRec* FocusRec) = 0;
    // Removes every panel and grid; done before the records they show go.
    virtual void ClearView() = 0;
    // The record counts of the status bar.
    virtual void ShowStatusBarInfo() = 0;

    // The grids shown, in panel order.
    virtual const QList<TRecordGrid*>& VTList() const = 0;
    // Takes row Node out of grid VT; a grid left without rows goes with its panel.
    virtual void RemoveRow(TRecordGrid* VT, int Node) = 0;
    // The row showing Rec is drawn afresh, with its new values and colours.
    virtual void RefreshRec(const TContentRec* Rec) = 0;

protected:
    ~TContentView() = default;
};
