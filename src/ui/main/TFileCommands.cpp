#include "TFileCommands.h"

#include "TLongFileTask.h"

#include <QApplication>

#include "TContent.h"
#include "SaveRecovery.h"
#include "TPrompts.h"
#include "TSettings.h"
#include "TUvoDocument.h"
#include "UvoFile.h"

#include <QFileInfo>

bool TFileCommands::CanLeaveFile()
{
    if (!FDocument.RecsChanged())
        return true;
    switch (Prompts().Question(QStringLiteral("Сохранить"), QStringLiteral("Сохранить сделанные изменения?"),
                               TQuestionButtons::YesNoCancel)) {
    case TAnswer::Cancel:
        return false;
    case TAnswer::Yes:
        Save();  // a write error passes on to the operation that asked
        return !FDocument.RecsChanged();
    default:
        return true;
    }
}

void TFileCommands::Open()
{
    if (!CanLeaveFile())
        return;
    const QString fileName = Prompts().OpenFileName(Filter);
    if (!fileName.isEmpty())
        LoadUVO(fileName);
}

void TFileCommands::LoadUVO(const QString& FileName)
{
    SaveRecovery::OfferFor(FileName);  // a file left half-written is finished before it is read
    UvoFile::ReadResult result;
    FDocument.ReplaceAll([&](TContent& content) {
        {
            TLongFileTask task(QApplication::activeWindow(), QStringLiteral("Чтение файла…"));
            result = UvoFile::Read(FileName, content, [&](qint64 done, qint64 total) { task.Progress(done, total); });
        }
        if (result.Ok) {
            NoteOnDisk(FileName);
            return TReplacement{FileName, false, true, result.Losses};
        }
        Prompts().Error(QStringLiteral("Ошибка при загрузке файла: \r\n") + result.Message);
        // What was read stays on show, but the editor is no longer bound to the
        // file: a plain Save must not overwrite it with a fragment of itself.
        return TReplacement{QString(), true, true, result.Losses};
    });
    if (!result.Losses.empty())
        Prompts().Warning(AppTitle, ReadLoss::Warning(result.Losses));
}

void TFileCommands::Save()
{
    if (FDocument.CurrentFile().isEmpty())
        return SaveAs();
    if (ChangedOnDisk() &&
        Prompts().Question(QStringLiteral("Сохранить"), ChangedOnDiskQuestion, TQuestionButtons::YesNo) != TAnswer::Yes)
        return;  // nothing written, the file state as it was
    SaveToFile(FDocument.CurrentFile());
}

bool TFileCommands::ChangedOnDisk() const
{
    const QString& file = FDocument.CurrentFile();
    return !file.isEmpty() && file == FOnDisk.Path && FOnDisk.Identity && FileIo::IdentityOf(file) != FOnDisk.Identity;
}

void TFileCommands::NoteOnDisk(const QString& FileName) { FOnDisk = {FileName, FileIo::IdentityOf(FileName)}; }

QString TFileCommands::DefaultFileName() const
{
    const TSettings& settings = FSettings;
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
    {
        TLongFileTask task(QApplication::activeWindow(), QStringLiteral("Запись файла…"));
        // A failure leaves the file state as it was.
        UvoFile::Write(FileName, FDocument.Content(), [&](qint64 done, qint64 total) { task.Progress(done, total); });
    }
    NoteOnDisk(FileName);
    FDocument.MarkSaved(FileName);
}
