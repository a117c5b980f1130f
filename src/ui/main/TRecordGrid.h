#pragma once

#include "TContent.h"

#include <QTableView>

#include <vector>

class TRecordGridModel;

// One grid of the panel area (VT): a row per record of one run, a column per
// field. It never scrolls sideways by itself: the window's shared scroll bar
// and the header menu move it; the mouse wheel scrolls the panel area instead.
class TRecordGrid : public QTableView {
    Q_OBJECT
public:
    // Columns come from first's layout.
    explicit TRecordGrid(const TContentRec& first, QWidget* parent = nullptr);

    TRecordGridModel& Model() const { return *FModel; }
    void SetRecs(std::vector<TContentRec*> recs);
    int RowCount() const;
    TContentRec* Rec(int row) const;
    int RowOf(const TContentRec* rec) const;  // -1 when not shown
    // The focused row, -1 when there is none.
    int FocusedRow() const;

    int RowHeight() const;
    int HeaderHeight() const;
    int ColumnsWidth() const;  // the total of the column widths

    // Makes the row focused and selected, keeping the focused column.
    void FocusRow(int row);
    // Makes the column focused in the focused row and scrolls it into view.
    void FocusColumn(int column);

    // The sideways offset: 0 or negative, the content moving left as it grows.
    // It may shift the columns further than their own width would allow.
    int OffsetX() const;
    void SetOffsetX(int offset);

signals:
    void Resized(TRecordGrid* grid);
    void WheelTurned(QPoint globalPos, int delta);
    void PopupRequested(const QPoint& globalPos, QWidget* grid);
    void HeaderMenuRequested(TRecordGrid* grid, const QPoint& globalPos);
    void NodeDblClick(TRecordGrid* grid, TContentRec* rec);
    // Delete on a row: the record menu's "Удалить запись".
    void DeleteRequested(TRecordGrid* grid);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Enter edits the focused row as a double-click does.
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;

private:
    void TuneVT();
    void TunePalette();
    void TuneHeader();
    void AddColumns();
    void VTHeaderClick();
    void VTContextMenu(const QPoint& pos);

    TRecordGridModel* FModel;
};
