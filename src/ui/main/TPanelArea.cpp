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
#include <unordered_set>

namespace {

constexpr int VisibleRows = 10;  // a panel grows with its rows up to this many
constexpr int PanelExtra = 22;   // beyond the rows, the caption bar and the header

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
    connect(grid, &TRecordGrid::DeleteRequested, this, &TPanelArea::DeleteRequested);
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
        if (row < 0)
            continue;
        const QModelIndex cell = grid->model()->index(row, fieldIndex);
        if (!cell.isValid())
            return false;
        static_cast<TRecordPanel*>(grid->parentWidget())->SetCollapsed(false);
        grid->setCurrentIndex(cell);
        grid->scrollTo(cell);  // the row into the grid's view; sideways is the shared bar's
        ShowColumnSideways(grid, fieldIndex);
        grid->setFocus(Qt::OtherFocusReason);
        SyncContentSize();
        ensureWidgetVisible(grid);
        return true;
    }
    return false;
}

void TPanelArea::ShowColumnSideways(TRecordGrid* grid, int column)
{
    auto* bar = parentWidget() ? parentWidget()->findChild<QScrollBar*>(QStringLiteral("ScrollBar"),
                                                                         Qt::FindDirectChildrenOnly)
                               : nullptr;
    if (!bar)
        return;
    const QHeaderView* header = grid->horizontalHeader();
    const int left = header->sectionPosition(column);
    const int right = left + header->sectionSize(column);
    const int visible = grid->viewport()->width();
    // The position whose shift shows the column, nearest to where the bar stands.
    const auto shift = [&](int p) { return (p * (FMaxVTWidth - grid->width() + 100)) / 100; };
    const auto shows = [&](int p) { return shift(p) <= left && right <= shift(p) + visible; };
    int best = -1;
    for (int p = bar->minimum(); p <= bar->maximum(); ++p)
        if (shows(p) && (best < 0 || std::abs(p - bar->value()) < std::abs(best - bar->value())))
            best = p;
    if (best < 0)  // wider than the view, or beyond what the bar reaches: its left edge as far as it goes
        for (int p = bar->minimum(); p <= bar->maximum() && shift(p) <= left; ++p)
            best = p;
    bar->setValue(std::max(best, bar->minimum()));
    ScrollBarChange(bar->value());  // undoes the grid's own sideways scrolling when the bar stood still
}

void TPanelArea::RemoveRec(const TContentRec* rec)
{
    const auto shows = [rec](const TRecordGrid* grid) { return grid->RowOf(rec) >= 0; };
    const auto found = std::find_if(FVTList.begin(), FVTList.end(), shows);
    if (found == FVTList.end())
        return;
    TRecordGrid* grid = *found;
    grid->Model().RemoveRow(grid->RowOf(rec));
    if (grid->RowCount() > 0 || !FVTList.removeOne(grid))
        return;
    QWidget* panel = grid->parentWidget();
    FColumn->removeWidget(panel);
    delete panel;
    SyncContentSize();
}

void TPanelArea::RefreshRecs(const std::vector<const TContentRec*>& recs)
{
    if (recs.empty())
        return;
    const std::unordered_set<const TContentRec*> changed(recs.begin(), recs.end());
    for (TRecordGrid* grid : FVTList) {
        int first = -1, last = -1;
        for (int row = 0; row < grid->RowCount(); ++row)
            if (changed.contains(grid->Rec(row))) {
                first = first < 0 ? row : first;
                last = row;
            }
        grid->Model().RefreshRows(first, last);
    }
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
