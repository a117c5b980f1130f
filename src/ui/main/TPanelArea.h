#pragma once

#include <QScrollArea>

class QVBoxLayout;

// The panel area (PanelGroup): a vertically scrolling column of collapsible
// category panels, one per run of records of one type, each holding a grid.
// For now it holds no panels; the view building fills it.
class TPanelArea : public QScrollArea {
    Q_OBJECT
public:
    explicit TPanelArea(QWidget* parent = nullptr);

    // Removes every panel and its grid, last to first.
    void ClearView();
    // The rows of all grids shown.
    int ShownRowCount() const;
    void CollapseAll();
    void ExpandAll();

signals:
    // The user asked for the record context menu over the area itself (grid is
    // null) or over a grid.
    void PopupRequested(const QPoint& globalPos, QWidget* grid);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QVBoxLayout* FColumn;
};
