#include "TProblemCommands.h"

#include "TMainForm.h"
#include "TMainStatusBar.h"
#include "TPanelArea.h"
#include "TProblemsDock.h"
#include "TRecordGrid.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <optional>

namespace {

constexpr int StatusMessageMs = 4000;

// A cell of the view: grid (in panel order), row, column.
struct TGridCell {
    int Grid = -1;
    int Row = 0;
    int Column = 0;
};

// Cell after cell of the grids in the order of the view, round past either end.
class TCellWalk {
public:
    TCellWalk(const QList<TRecordGrid*>& grids, bool forward) : FGrids(grids), FForward(forward) {}

    // Where a walk that starts from nowhere stands: just before the first cell.
    TGridCell Outside() const
    {
        TGridCell cell{int(FGrids.size()), 0, 0};
        if (!FForward)
            cell.Grid = -1;
        return cell;
    }

    // The next cell; wrapped says that the walk went round an end.
    TGridCell Step(TGridCell cell, bool& wrapped) const
    {
        cell.Column += FForward ? 1 : -1;
        if (cell.Grid >= 0 && cell.Grid < FGrids.size() && cell.Column >= 0 && cell.Column < Columns(cell.Grid))
            return cell;
        cell.Row += FForward ? 1 : -1;
        if (cell.Grid >= 0 && cell.Grid < FGrids.size() && cell.Row >= 0 && cell.Row < Rows(cell.Grid)) {
            cell.Column = FForward ? 0 : Columns(cell.Grid) - 1;
            return cell;
        }
        do {
            cell.Grid += FForward ? 1 : -1;
            if (cell.Grid >= FGrids.size() || cell.Grid < 0) {
                wrapped = true;
                cell.Grid = FForward ? 0 : int(FGrids.size()) - 1;
            }
        } while (Rows(cell.Grid) == 0);
        cell.Row = FForward ? 0 : Rows(cell.Grid) - 1;
        cell.Column = FForward ? 0 : Columns(cell.Grid) - 1;
        return cell;
    }

    bool Invalid(const TGridCell& cell) const
    {
        const TContentRec* rec = FGrids[cell.Grid]->Rec(cell.Row);
        return size_t(cell.Column) < rec->FldList.size() && !rec->FldList[size_t(cell.Column)].IsValid();
    }

    qsizetype CellCount() const
    {
        qsizetype cells = 0;
        for (int g = 0; g < FGrids.size(); ++g)
            cells += qsizetype(Rows(g)) * Columns(g);
        return cells;
    }

private:
    int Rows(int grid) const { return FGrids[grid]->RowCount(); }
    int Columns(int grid) const { return FGrids[grid]->model()->columnCount(); }

    const QList<TRecordGrid*>& FGrids;
    bool FForward;
};

}  // namespace

TProblemCommands::TProblemCommands(TMainForm& form)
    : QObject(&form), FForm(form), FDock(new TProblemsDock(form.Document(), &form))
{
    // Menu items only, so without the icons the tool bar's commands carry.
    const auto command = [this](const char* name, const QString& caption, const QKeySequence& key) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        return action;
    };
    actProblems = command("actProblems", QStringLiteral("Список про&блем"), QKeySequence(Qt::Key_F9));
    actProblems->setCheckable(true);
    actNextProblem = command("actNextProblem", QStringLiteral("С&ледующая проблема"), QKeySequence(Qt::Key_F8));
    actPrevProblem =
        command("actPrevProblem", QStringLiteral("Пре&дыдущая проблема"), QKeySequence(Qt::SHIFT | Qt::Key_F8));
    form.mnEdit->addSeparator();
    form.mnEdit->addActions({actProblems, actNextProblem, actPrevProblem});

    form.addDockWidget(Qt::BottomDockWidgetArea, FDock);
    FDock->hide();
    connect(actProblems, &QAction::triggered, this, &TProblemCommands::actProblemsExecute);
    connect(FDock, &QDockWidget::visibilityChanged, actProblems,
            [this](bool) { actProblems->setChecked(FDock->isVisible()); });
    connect(actNextProblem, &QAction::triggered, this, &TProblemCommands::actNextProblemExecute);
    connect(actPrevProblem, &QAction::triggered, this, &TProblemCommands::actPrevProblemExecute);
    connect(FDock, &TProblemsDock::JumpRequested, this, [this](const TContentRec* rec, int fieldIndex) {
        FForm.ShowRecordField(rec, fieldIndex);
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

void TProblemCommands::SetEnabled(bool enabled)
{
    for (QAction* action : {actProblems, actNextProblem, actPrevProblem})
        action->setEnabled(enabled);
}

void TProblemCommands::actProblemsExecute(bool shown) { FDock->setVisible(shown); }

void TProblemCommands::actNextProblemExecute() { StepToProblem(true); }

void TProblemCommands::actPrevProblemExecute() { StepToProblem(false); }

void TProblemCommands::FocusChanged(QWidget* now)
{
    if (auto* grid = qobject_cast<TRecordGrid*>(now))
        FLastGrid = grid;
}

void TProblemCommands::StepToProblem(bool forward)
{
    const QList<TRecordGrid*>& grids = FForm.VTList();
    const TCellWalk walk(grids, forward);
    TGridCell cell = walk.Outside();
    bool fromCell = false;
    if (const int grid = FLastGrid ? int(grids.indexOf(FLastGrid.data())) : -1; grid >= 0) {
        const QModelIndex current = FLastGrid->currentIndex();
        cell = {grid, std::max(0, current.row()), std::max(0, current.column())};
        fromCell = current.isValid();
    }
    bool wrapped = false;
    for (qsizetype left = walk.CellCount(); left > 0; --left) {
        cell = walk.Step(cell, wrapped);
        if (!walk.Invalid(cell))
            continue;
        FForm.PanelGroup->FocusField(grids[cell.Grid]->Rec(cell.Row), cell.Column);
        if (wrapped && fromCell)
            FForm.StatusBar->ShowNote(forward ? WrappedForward : WrappedBackward, StatusMessageMs);
        return;
    }
    FForm.StatusBar->ShowNote(NoneShown, StatusMessageMs);
}
