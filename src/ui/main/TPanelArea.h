#pragma once

#include "TContent.h"

#include <QList>
#include <QPointer>
#include <QScrollArea>

#include <optional>
#include <vector>

class QVBoxLayout;
class TGridHeaderMenu;
class TRecordGrid;
class TRecordPanel;

// The panel area (PanelGroup): a vertically scrolling column of collapsible
// category panels, one per run of records of one type, each holding a grid.
// It keeps the grids shown (VTList) and scrolls them sideways together.
class TPanelArea : public QScrollArea {
    Q_OBJECT
public:
    explicit TPanelArea(QWidget* parent = nullptr);

    // Removes every panel and its grid, last to first.
    void ClearView();
    // One panel per run of records of one type, in the records' order. The
    // filter account is given when an account item is chosen; it and the
    // holder's name then end the Account and Consumer Name captions.
    void ShowRecords(const std::vector<TContentRec*>& recs, const std::optional<QString>& filterAccount);
    // Focuses and selects the first row showing rec and brings its grid into
    // view; false when no grid shows it.
    bool FindFocus(const TContentRec* rec);
    // Focuses the cell of rec's row in the column of its field number
    // fieldIndex (its place in FldList) and brings it into view: the panel
    // opened, the area scrolled to it, and the grids moved sideways with the
    // window's shared scroll bar; false when no grid shows rec.
    bool FocusField(const TContentRec* rec, int fieldIndex);
    // Takes the row showing rec out of its grid; a grid left without rows goes
    // from VTList and is destroyed with its panel.
    void RemoveRec(const TContentRec* rec);
    // The cells of the rows showing recs are drawn afresh: one pass over the
    // rows, however many records changed.
    void RefreshRecs(const std::vector<const TContentRec*>& recs);

    // The grids shown, in panel order; the panels own them.
    const QList<TRecordGrid*>& VTList() const { return FVTList; }
    // The widest total column width of any grid since the view was last cleared.
    int MaxVTWidth() const { return FMaxVTWidth; }
    QList<TRecordPanel*> Panels() const;
    // The rows of all grids shown.
    int ShownRowCount() const;

    void CollapseAll();
    void ExpandAll();

    // Shifts every grid sideways for the position of the window's scroll bar.
    void ScrollBarChange(int position);
    // A wheel turn anywhere in the window: scrolls the area when the pointer is over it.
    void FormMouseWheel(const QPoint& globalPos, int delta);

    TGridHeaderMenu* VTHeaderMenu;

signals:
    // The user asked for the record context menu over the area itself (grid is
    // null) or over a grid.
    void PopupRequested(const QPoint& globalPos, QWidget* grid);
    void NodeDblClick(TRecordGrid* grid, TContentRec* rec);
    void DeleteRequested(TRecordGrid* grid);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TRecordGrid* AddPanel(const QString& caption, const TContentRec& first);
    void FinishBuild();
    void SetAllCollapsed(bool collapsed);
    // Moves the shared scroll bar, where there is one beside the area, so that
    // the column of grid stands wholly in view if it can.
    void ShowColumnSideways(TRecordGrid* grid, int column);
    void SyncContentSize();
    void WheelScroll(int delta);

    void VTResize(TRecordGrid* grid);
    void VTMouseWheel(const QPoint& globalPos, int delta);
    void VTHeaderMenuPopup(TRecordGrid* grid, const QPoint& globalPos);
    void VTHeaderMenuClick(int column);

    QVBoxLayout* FColumn;
    QList<TRecordGrid*> FVTList;
    int FMaxVTWidth = 0;
    QPointer<TRecordGrid> FHeaderMenuGrid;  // the grid whose header opened the menu
};
