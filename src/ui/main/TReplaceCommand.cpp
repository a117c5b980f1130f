#include "TReplaceCommand.h"

#include "AppErrorGuard.h"
#include "TMainForm.h"
#include "TPrompts.h"
#include "TRecordGrid.h"
#include "TReplaceValueForm.h"
#include "TUvoDocument.h"

#include <QAction>
#include <QMenu>

namespace {

// The records of every grid shown, in panel order.
std::vector<TContentRec*> ShownRecords(const TMainForm& form)
{
    std::vector<TContentRec*> shown;
    for (const TRecordGrid* grid : form.VTList())
        for (int row = 0; row < grid->RowCount(); ++row)
            shown.push_back(grid->Rec(row));
    return shown;
}

}  // namespace

TReplaceCommand::TReplaceCommand(TMainForm& form) : QObject(&form), FForm(form)
{
    form.actReplace = new QAction(QStringLiteral("&Заменить значение…"), this);
    form.actReplace->setObjectName(QStringLiteral("actReplace"));
    form.actReplace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    form.mnEdit->addAction(form.actReplace);
    connect(form.actReplace, &QAction::triggered, this, [this] { RunGuarded([this] { actReplaceExecute(); }); });
}

void TReplaceCommand::actReplaceExecute()
{
    // The dialog starts on the cell the user is on.
    const auto* grid = qobject_cast<TRecordGrid*>(FForm.focusWidget());
    const int row = grid ? grid->FocusedRow() : -1;
    const TContentRec* focusRec = row >= 0 ? grid->Rec(row) : nullptr;
    const int focusField = focusRec ? grid->currentIndex().column() : -1;

    TUvoDocument& document = FForm.Document();
    TReplaceValueForm dialog(&FForm, FForm.Format(), document.Content().Records(), ShownRecords(FForm), focusRec,
                             focusField);
    if (Prompts().ExecDialog(dialog) != QDialog::Accepted)
        return;
    const std::optional<TFieldReplace> replace = dialog.Replacement();
    if (replace)
        document.SetField(StepName, dialog.Changing(), replace->FldID(), replace->Value());
}
