#include "TRecordCommands.h"

#include "AppErrorGuard.h"
#include "KnownValues.h"
#include "TEditForm.h"
#include "TFileCommands.h"
#include "TPrompts.h"
#include "TRecordGrid.h"
#include "TUvoDocument.h"

#include <QMetaObject>

#include <vector>

namespace {

// "(300300) Consumer Name Record - Добавить"
QString DialogCaption(const TRec& rec, const QString& action)
{
    return QStringLiteral("(%1) %2 - %3").arg(rec.RecID, rec.Name, action);
}

const QString AddAction = QStringLiteral("Добавить");
const QString EditAction = QStringLiteral("Изменить");

// The record of row Node of VT; none for a row that is not there.
TContentRec* RecAt(const TRecordGrid* VT, int Node)
{
    return VT && Node >= 0 && Node < VT->RowCount() ? VT->Rec(Node) : nullptr;
}

int FocusedRow(const TRecordGrid* VT) { return VT ? VT->FocusedRow() : -1; }


}  // namespace

TRecordCommands::TRecordCommands(TUvoDocument& document, TFileCommands& files, const TSettings& settings,
                                 QWidget* dialogOwner)
    : FDocument(document), FFiles(files), FSettings(settings), FDialogOwner(dialogOwner)
{
}

TRecordCommands::~TRecordCommands() = default;

void TRecordCommands::mnVTPopupPopup(TRecordGrid* grid) { FPopupGrid = grid; }

TContentRec* TRecordCommands::PopupRec() const { return RecAt(FPopupGrid, FocusedRow(FPopupGrid)); }

void TRecordCommands::mnEditRecClick() { EditRec(PopupRec()); }

void TRecordCommands::mnCopyRecClick() { CopyRec(FPopupGrid, FocusedRow(FPopupGrid)); }

void TRecordCommands::mnDeleteRecClick() { DeleteRec(FPopupGrid, FocusedRow(FPopupGrid)); }

void TRecordCommands::mnSubAddRecClick(const QString& RecID) { AddRec(RecID, PopupRec()); }

void TRecordCommands::VTNodeDblClick(TRecordGrid* VT)
{
    TContentRec* rec = RecAt(VT, FocusedRow(VT));
    if (!rec)
        return;
    QMetaObject::invokeMethod(
        this, [this, rec] { RunGuarded([&] { WMEditNode(rec); }); }, Qt::QueuedConnection);
}

void TRecordCommands::WMEditNode(TContentRec* Rec)
{
    // The record may have gone while the edit waited in the queue.
    if (FDocument.Content().IndexOf(Rec) >= 0)
        EditRec(Rec);
}

bool TRecordCommands::Confirmed(const QString& Caption, TContentRec& Scratch)
{
    QPointer<TEditForm> form = CreateEditForm(FDialogOwner, Caption, &Scratch);
    const int result = Prompts().ExecDialog(*form);
    delete form;  // QPointer: already gone when it closed itself
    return result == QDialog::Accepted;
}

void TRecordCommands::AddConfirmed(std::unique_ptr<TContentRec> Scratch, const QString& Caption,
                                   const QString& StepName)
{
    if (!Confirmed(Caption, *Scratch))
        return;  // the scratch record goes here
    Scratch->CalcSortStr();
    std::vector<std::unique_ptr<TContentRec>> added;
    added.push_back(std::move(Scratch));
    FDocument.AppendRecords(StepName, std::move(added), TAppendOrder::SortThenCount, true);
}

void TRecordCommands::AddRec(const QString& RecID, const TContentRec* FromRec)
{
    const TRec* rec = FDocument.Format().GetRec(RecID);
    std::unique_ptr<TContentRec> scratch = rec ? FDocument.Content().CreateNewOnRec(rec) : nullptr;
    if (!scratch)
        return;
    ApplyKnownValues(*scratch, FromRec);
    AddConfirmed(std::move(scratch), DialogCaption(*rec, AddAction), QStringLiteral("добавление записи"));
}

void TRecordCommands::CopyRec(TRecordGrid* VT, int Node)
{
    const TContentRec* source = RecAt(VT, Node);
    if (!source)
        return;
    auto scratch = std::make_unique<TContentRec>(FDocument.Format());
    TContent::CopyRec(*source, *scratch);
    AddConfirmed(std::move(scratch), DialogCaption(*source->Rec, AddAction), QStringLiteral("копирование записи"));
}

void TRecordCommands::DeleteRec(TRecordGrid* VT, int Node)
{
    const TContentRec* rec = RecAt(VT, Node);
    if (!rec)
        return;
    if (Prompts().Question(QStringLiteral("Удалить"), QStringLiteral("Удалить запись?"), TQuestionButtons::YesNo) !=
        TAnswer::Yes)
        return;
    FDocument.RemoveRecord(rec);
}

void TRecordCommands::EditRec(TContentRec* ContentRec)
{
    if (!ContentRec)
        return;
    TContentRec scratch(FDocument.Format());
    TContent::CopyRec(*ContentRec, scratch);
    if (!Confirmed(DialogCaption(*ContentRec->Rec, EditAction), scratch) || !TContent::RecDiffer(scratch, *ContentRec))
        return;
    FDocument.EditRecord(*ContentRec, scratch);
}

void TRecordCommands::actNewRecsExecute()
{
    if (!FFiles.CanLeaveFile())
        return;
    FDocument.ReplaceAll([this](TContent& content) {
        // The old file is gone already, so a cancelled box still gives the records, without account.
        const QString account = Prompts()
                                    .InputBox(QStringLiteral("Введите номер счёта"), QStringLiteral("Счёт"), QString())
                                    .value_or(QString());
        std::vector<const TRec*> recs;
        FDocument.Format().GetActiveRecs(recs);
        for (const TRec* rec : recs) {
            std::unique_ptr<TContentRec> added = content.CreateNewOnRec(rec);
            if (!added)
                continue;
            ApplyKnownValues(*added, nullptr);
            added->SetVal(UvoIds::AccountFld, account);
            added->CalcSortStr();
            content.Add(std::move(added));
        }
        content.CalcRecsCount();
        return TReplacement{};
    });
}

void TRecordCommands::ApplyKnownValues(TContentRec& Rec, const TContentRec* FromRec) const
{
    KnownValues::Apply(Rec, FromRec, FSettings, Today());
}
