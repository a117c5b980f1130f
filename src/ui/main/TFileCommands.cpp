#include "TFileCommands.h"

#include "TContent.h"
#include "TMainForm.h"
#include "TPrompts.h"
#include "UvoFile.h"

#include <QFileInfo>

void TFileCommands::Open()
{
    if (!FForm.CanLeaveFile())
        return;
    const QString fileName = Prompts().OpenFileName(Filter);
    if (!fileName.isEmpty())
        LoadUVO(fileName);
}

void TFileCommands::LoadUVO(const QString& FileName)
{
    FForm.CurrentFile = FileName;
    FForm.ClearView();
    FForm.Content().Clear();
    const UvoFile::ReadResult result = UvoFile::Read(FileName, FForm.Content());
    if (result.Ok) {
        FForm.SetRecsChanged(false);
    } else {
        Prompts().Error(QStringLiteral("Ошибка при загрузке файла: \r\n") + result.Message);
        // What was read stays on show, but the editor is no longer bound to the
        // file: a plain Save must not overwrite it with a fragment of itself.
        FForm.CurrentFile.clear();
        FForm.SetRecsChanged(true);
    }
    FForm.ShowContent(nullptr);
    if (!result.Losses.empty())
        Prompts().Warning(AppTitle, ReadLoss::Warning(result.Losses));
}

void TFileCommands::Save()
{
    if (FForm.CurrentFile.isEmpty())
        SaveAs();
    else
        SaveToFile(FForm.CurrentFile);
}

QString TFileCommands::DefaultFileName() const
{
    const TSettings& settings = FForm.Settings;
    return QStringLiteral("SUB_") + settings.SubscriberCode + u'_' + Today().toString(QStringLiteral("yyyyMMdd")) +
           u'_' + settings.FinanceType + QStringLiteral("_001");
}

void TFileCommands::SaveAs()
{
    // The default name is computed once per run; afterwards the dialog proposes
    // the name it last held, without its folder.
    if (FSaveDialogFileName.isEmpty())
        FSaveDialogFileName = DefaultFileName();
    FSaveDialogFileName = QFileInfo(FSaveDialogFileName).fileName();
    const QString fileName = Prompts().SaveFileName(FSaveDialogFileName, Filter, DefaultExt);
    if (fileName.isEmpty())
        return;
    FSaveDialogFileName = fileName;
    SaveToFile(fileName);
}

void TFileCommands::SaveToFile(const QString& FileName)
{
    UvoFile::Write(FileName, FForm.Content());  // a failure leaves the file state as it was
    FForm.CurrentFile = FileName;
    FForm.SetRecsChanged(false);
}
