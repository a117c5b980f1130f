#include "TPanelArea.h"

#include "TGridHeaderMenu.h"
#include "TRecordGrid.h"
#include "TRecordGridModel.h"
#include "TRecordPanel.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLayoutItem>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int VisibleRows = 10;  // a panel grows with its rows up to this many
constexpr int PanelExtra = 22;   // beyond the rows, the caption bar and the header
constexpr int LastSidePosition = 104 - 4 + 1;  // of the window's scroll bar

// The position of the window's scroll bar at which the columns from left to
// right (in a grid's own coordinates) are shown in a view viewWidth wide: the
// current one when it shows them already, else the first that does, else (a
// column wider than the view) the last that keeps the column's left edge in view.
int SidePositionShowing(int left, int right, int viewWidth, int sideRange, int current)
{
    const auto shift = [&](int position) { return std::max(0, (position * sideRange) / 100); };
    const auto shows = [&](int position) { return left >= shift(position) && right <= shift(position) + viewWidth; };
    if (shows(current))
        return current;
    int best = 0;
    for (int position = 0; position <= LastSidePosition; ++position) {
        if (shows(position))
            return position;
        if (shift(position) <= left)
            best = position;
    }
    return best;
}

}  // namespace

TPanelArea::TPanelArea(QWidget* parent) : QScrollArea(parent), VTHeaderMenu(new TGridHeaderMenu(this))
{
    setObjectName(QStringLiteral("PanelGroup"));
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the window's ScrollBar moves the grids sideways
    auto* column = new QWidget(this);
    FColumn = new QVBoxLayout(column);
    FColumn->setContentsMargins(0, 0, 0, 0);
    FColumn->setSpacing(0);
    FColumn->addStretch();  // panels stack from the top
    setWidget(column);
    connect(VTHeaderMenu, &TGridHeaderMenu::ColumnChosen, this, &TPanelArea::VTHeaderMenuClick);
}

void TPanelArea::ClearView()
{
    for (int i = FColumn->count() - 2; i >= 0; --i) {  // the last item is the stretch
        QLayoutItem* item = FColumn->takeAt(i);
        delete item->widget();
        delete item;
    }
    FVTList.clear();
    FMaxVTWidth = 0;
}

void TPanelArea::ShowRecords(const std::vector<TContentRec*>& recs, const std::optional<QString>& filterAccount)
{
    // Each run of records of one type goes to a grid of its own.
    for (auto begin = recs.begin(); begin != recs.end();) {
        const auto end = std::find_if(begin, recs.end(), [&](const TContentRec* rec) { return rec->Rec != (*begin)->Rec; });
        TRecordGrid* grid = AddPanel(TRecordPanel::CaptionFor(**begin, filterAccount), **begin);
        grid->SetRecs(std::vector<TContentRec*>(begin, end));
        begin = end;
    }
    FinishBuild();
}

TRecordGrid* TPanelArea::AddPanel(const QString& caption, const TContentRec& first)
{
    auto* panel = new TRecordPanel(caption, first, widget());
    FColumn->insertWidget(FColumn->count() - 1, panel);
    TRecordGrid* grid = panel->Grid();
    FVTList << grid;
    FMaxVTWidth = std::max(FMaxVTWidth, grid->ColumnsWidth());
    connect(grid, &TRecordGrid::Resized, this, &TPanelArea::VTResize);
    connect(grid, &TRecordGrid::WheelTurned, this, &TPanelArea::VTMouseWheel);
    connect(grid, &TRecordGrid::HeaderMenuRequested, this, &TPanelArea::VTHeaderMenuPopup);
    connect(grid, &TRecordGrid::PopupRequested, this, &TPanelArea::PopupRequested);
    connect(grid, &TRecordGrid::NodeDblClick, this, &TPanelArea::NodeDblClick);
    return grid;
}

void TPanelArea::FinishBuild()
{
    for (TRecordGrid* grid : FVTList) {
        auto* panel = static_cast<TRecordPanel*>(grid->parentWidget());
        const int rows = std::min(grid->RowCount(), VisibleRows);
        panel->SetExpandedHeight(rows * grid->RowHeight() + panel->CaptionHeight() + grid->HeaderHeight() + PanelExtra);
        grid->FocusRow(0);
    }
    SyncContentSize();
    verticalScrollBar()->setValue(0);
}

QList<TRecordPanel*> TPanelArea::Panels() const
{
    QList<TRecordPanel*> panels;
    for (TRecordGrid* grid : FVTList)
        panels << static_cast<TRecordPanel*>(grid->parentWidget());
    return panels;
}

int TPanelArea::ShownRowCount() const
{
    int rows = 0;
    for (const TRecordGrid* grid : FVTList)
        rows += grid->RowCount();
    return rows;
}

bool TPanelArea::FindFocus(const TContentRec* rec)
{
    for (TRecordGrid* grid : FVTList) {
        const int row = grid->RowOf(rec);
        if (row < 0)
            continue;
        grid->FocusRow(row);
        grid->scrollTo(grid->currentIndex());
        grid->setFocus(Qt::OtherFocusReason);
        SyncContentSize();
        ensureWidgetVisible(grid);
        return true;
    }
    return false;
}

bool TPanelArea::FocusField(const TContentRec* rec, int fieldIndex)
{
    for (TRecordGrid* grid : FVTList) {
        const int row = grid->RowOf(rec);
        const QModelIndex cell = grid->Model().index(row, fieldIndex);
        if (row < 0 || !cell.isValid())
            continue;
        static_cast<TRecordPanel*>(grid->parentWidget())->SetCollapsed(false);
        grid->setCurrentIndex(cell);
        grid->scrollTo(cell);  // the rows of a grid taller than its panel
        grid->setFocus(Qt::OtherFocusReason);
        SyncContentSize();
        ensureWidgetVisible(grid);
        // Sideways every grid moves together, by the window's scroll bar.
        auto* sideBar = window()->findChild<QScrollBar*>(QStringLiteral("ScrollBar"));
        const int current = sideBar ? sideBar->value() : 0;
        const QHeaderView* header = grid->horizontalHeader();
        const int left = header->sectionPosition(fieldIndex);
        const int position = SidePositionShowing(left, left + header->sectionSize(fieldIndex), grid->viewport()->width(),
                                                 FMaxVTWidth - grid->width() + 100, current);
        if (sideBar)
            sideBar->setValue(position);
        ScrollBarChange(position);  // also when the bar stayed, over the grid's own scrolling to the cell
        return true;
    }
    return false;
}

void TPanelArea::RemoveRow(TRecordGrid* grid, int row)
{
    grid->Model().RemoveRow(row);
    if (grid->RowCount() > 0 || !FVTList.removeOne(grid))
        return;
    QWidget* panel = grid->parentWidget();
    FColumn->removeWidget(panel);
    delete panel;
    SyncContentSize();
}

void TPanelArea::RefreshRec(const TContentRec* rec)
{
    for (TRecordGrid* grid : FVTList)
        grid->Model().RefreshRow(grid->RowOf(rec));
}

void TPanelArea::SyncContentSize()
{
    // The panels' places are settled now rather than at the next event loop
    // pass, so that scrolling to a grid finds it where it will be drawn.
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(widget(), &request);
}

void TPanelArea::SetAllCollapsed(bool collapsed)
{
    hide();
    for (TRecordPanel* panel : Panels())
        panel->SetCollapsed(collapsed);
    show();
}

void TPanelArea::CollapseAll() { SetAllCollapsed(true); }

void TPanelArea::ExpandAll() { SetAllCollapsed(false); }

void TPanelArea::ScrollBarChange(int position)
{
    for (TRecordGrid* grid : FVTList)
        grid->SetOffsetX(-(position * (FMaxVTWidth - grid->width() + 100)) / 100);
}

void TPanelArea::VTResize(TRecordGrid* grid) { FMaxVTWidth = std::max(FMaxVTWidth, grid->ColumnsWidth()); }

void TPanelArea::FormMouseWheel(const QPoint& globalPos, int delta)
{
    if (viewport()->rect().contains(viewport()->mapFromGlobal(globalPos)))
        WheelScroll(delta);
}

void TPanelArea::VTMouseWheel(const QPoint& globalPos, int delta) { FormMouseWheel(globalPos, delta); }

void TPanelArea::WheelScroll(int delta)
{
    // One step moves a fifth of the distance that can be scrolled; turning the
    // wheel away from the user scrolls up.
    const int sign = (delta > 0) - (delta < 0);
    const int scrollable = widget()->height() - viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() - sign * (scrollable / 5));
}

void TPanelArea::wheelEvent(QWheelEvent* event)
{
    FormMouseWheel(event->globalPosition().toPoint(), event->angleDelta().y());
    event->accept();
}

void TPanelArea::VTHeaderMenuPopup(TRecordGrid* grid, const QPoint& globalPos)
{
    FHeaderMenuGrid = grid;
    VTHeaderMenu->Fill(grid->Model().Captions());
    VTHeaderMenu->Popup(globalPos);
}

void TPanelArea::VTHeaderMenuClick(int column)
{
    if (FHeaderMenuGrid)
        FHeaderMenuGrid->FocusColumn(column);
}

void TPanelArea::contextMenuEvent(QContextMenuEvent* event)
{
    emit PopupRequested(event->globalPos(), nullptr);
    event->accept();
}
