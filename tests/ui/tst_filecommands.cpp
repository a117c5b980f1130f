// Open, Save and Save As, and the settings command, driven through the window.

#include "AnsiCodePage.h"
#include "SettingsFile.h"
#include "TContent.h"
#include "TFileCommands.h"
#include "TMainForm.h"
#include "TScriptedPrompts.h"
#include "TSettingsForm.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TFileCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;

    // A line of the record type with the given values, as the codec renders it.
    QByteArray Line(const char* recId, std::initializer_list<std::pair<const char*, QString>> values = {})
    {
        auto rec = FWindow->Form->Content().CreateNewOnRec(FWindow->Form->Format().GetRec(recId));
        rec->SetVal("310000", recId);
        for (const auto& [fldId, value] : values)
            rec->SetVal(fldId, value);
        return AnsiCodePage::Encode(rec->RecToString()) + "\r\n";
    }

    QByteArray SampleFile()
    {
        return Line("300000", {{"310002", "12345"}}) + Line("300100", {{"310011", "4711"}}) +
               Line("300300", {{"310011", "4711"}, {"310065", "01"}, {"310233", "Иванов"}}) + Line("300999");
    }

    QString Caption() const { return FWindow->Form->windowTitle(); }

private slots:
    void init()
    {
        FWindow = std::make_unique<TFreshWindow>();
        FWindow->Form->FileCommands().Today = [] { return QDate(2024, 3, 1); };
    }

    void cleanup() { FWindow.reset(); }

    void openReadsTheFile()
    {
        const QString path = FWindow->Dir.FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Form->Content().Count(), 4);
        QCOMPARE(FWindow->Form->CurrentFile, path);
        QCOMPARE(Caption(), "UVO - " + path);
        QVERIFY(!FWindow->Form->RecsChanged());
        QCOMPARE(FWindow->Prompts.Shown.first(), (TShownPrompt{TPromptKind::OpenFile, TFileCommands::Filter, QString()}));
    }

    void openAfterCancelledQuestionShowsNoDialog()
    {
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.Answers.push_back(TAnswer::Cancel);
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Prompts.Shown.size(), 1);
        QCOMPARE(FWindow->Prompts.Shown.first().Kind, TPromptKind::Question);
        QVERIFY(FWindow->Form->RecsChanged());
    }

    void cancelledOpenChangesNothing()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Form->Content().Count(), 1);
        QCOMPARE(Caption(), QString("UVO - Новый"));
    }

    void badFileKeepsWhatWasReadButNotTheFileName()
    {
        QByteArray bytes = SampleFile();
        const QByteArray badLine = "123456 no such record type";
        bytes.insert(bytes.indexOf("\r\n", bytes.indexOf("\r\n") + 2) + 2, badLine + "\r\n");
        const QString path = FWindow->Dir.FilePath("bad.uvo");
        WriteBytes(path, bytes);
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();

        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::Error, QString("Ошибка"),
                               "Ошибка при загрузке файла: \r\nНеверный формат. Строка 3:\r\n" + QString(badLine)}));
        QCOMPARE(FWindow->Form->Content().Count(), 2);
        QVERIFY(FWindow->Form->RecsChanged());
        QVERIFY(FWindow->Form->CurrentFile.isEmpty());
        QCOMPARE(Caption(), QString("UVO - Новый*"));

        // Save asks for a name instead of overwriting the file with a fragment.
        FWindow->Form->actSave->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last().Kind, TPromptKind::SaveFile);
        QCOMPARE(ReadBytes(path), bytes);
    }

    void openWarnsOfDataThatReadingPassedOver()
    {
        // A lone CR joins the second and third records: the file reads as
        // three records, the surplus of the joined line ignored.
        QByteArray bytes = SampleFile();
        const qsizetype second = bytes.indexOf("\r\n") + 2;
        bytes.remove(bytes.indexOf("\r\n", second) + 1, 1);
        const QString path = FWindow->Dir.FilePath("joined.uvo");
        WriteBytes(path, bytes);
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();

        QCOMPARE(FWindow->Prompts.Shown.size(), 2);
        const TShownPrompt warning = FWindow->Prompts.Shown.last();
        QCOMPARE(warning.Kind, TPromptKind::Warning);
        QCOMPARE(warning.Title, QString("UVO Edit"));
        QVERIFY2(warning.Text.startsWith("При чтении файла пропущены данные (строк: 1).\n\n"
                                         "строка 2: одиночный символ CR, строки прочитаны как одна запись, "
                                         "текст после него: «300300"),
                 qPrintable(warning.Text));
        QVERIFY(warning.Text.endsWith("При сохранении он будет записан без пропущенных данных."));
        // The file stays open as it was read, and unchanged until it is saved.
        QCOMPARE(FWindow->Form->Content().Count(), 3);
        QCOMPARE(FWindow->Form->CurrentFile, path);
        QVERIFY(!FWindow->Form->RecsChanged());
        QCOMPARE(ReadBytes(path), bytes);
    }

    void openRefusesAFifoInsteadOfWaitingForAWriter()
    {
        const QString path = FWindow->Dir.FilePath("fifo.uvo");
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
            QSKIP("no FIFO can be made here");
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::Error, QString("Ошибка"),
                               "Ошибка при загрузке файла: \r\nОшибка при открытии файла. Возможно, файл занят "
                               "другим приложением."}));
    }

    void failedWriteNamesTheCause()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.FileNames.push_back("/dev/full");
        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::AppError, QString("UVO Edit"),
                               QString("Ошибка при записи файла: недостаточно места на диске.")}));
        QVERIFY(FWindow->Form->RecsChanged());
        QVERIFY(FWindow->Form->CurrentFile.isEmpty());
        QCOMPARE(QFileInfo("/dev/full").isFile(), false);
    }

    void saveAsProposesTheDefaultNameOncePerRun()
    {
        FWindow->Form->Settings.SubscriberCode = "12345";
        FWindow->Form->Settings.FinanceType = "01";
        FWindow->Form->actSaveAs->trigger();  // cancelled
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::SaveFile, TFileCommands::Filter, QString("SUB_12345_20240301_01_001")}));

        FWindow->Form->Settings.SubscriberCode = "99999";
        FWindow->Form->FileCommands().Today = [] { return QDate(2024, 3, 2); };
        const QString path = FWindow->Dir.FilePath("chosen.uvo");
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last().Text, QString("SUB_12345_20240301_01_001"));
        QCOMPARE(FWindow->Form->CurrentFile, path);
        QCOMPARE(Caption(), "UVO - " + path);

        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last().Text, QString("chosen.uvo"));
    }

    void saveWritesTheCurrentFileByteForByte()
    {
        const QString path = FWindow->Dir.FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FWindow->Form->LoadUVO(path);
        QVERIFY(!FWindow->Form->actSave->isEnabled());
        FWindow->Form->Content()[1]->SetVal("310011", "4712");
        FWindow->Form->SetRecsChanged(true);
        QCOMPARE(Caption(), "UVO - " + path + "*");
        FWindow->Form->actSave->trigger();
        QVERIFY(FWindow->Prompts.Shown.isEmpty());
        QVERIFY(!FWindow->Form->RecsChanged());
        QByteArray expected = SampleFile();
        expected.replace(Line("300100", {{"310011", "4711"}}), Line("300100", {{"310011", "4712"}}));
        QCOMPARE(ReadBytes(path), expected);
    }

    void failedWriteKeepsTheFileState()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.FileNames.push_back(FWindow->Dir.FilePath("missing/folder/out.uvo"));
        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::AppError, QString("UVO Edit"), QString("Невозможно открыть файл для записи.")}));
        QVERIFY(FWindow->Form->RecsChanged());
        QVERIFY(FWindow->Form->CurrentFile.isEmpty());
    }

    void closingWithYesSavesUnderTheChosenName()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.Answers.push_back(TAnswer::Yes);
        const QString path = FWindow->Dir.FilePath("closing.uvo");
        FWindow->Prompts.FileNames.push_back(path);
        QVERIFY(FWindow->Form->close());
        QCOMPARE(ReadBytes(path), QByteArray("300000") + QByteArray(111, ' ') + "\r\n");
    }

    void settingsCommandStoresAndSaves()
    {
        FWindow->Prompts.Dialogs.push_back([](QDialog& dialog) {
            auto& form = static_cast<TSettingsForm&>(dialog);
            form.edSubscriberCode->setText("54321");
            form.edFinanceType->setText("123");
            return int(QDialog::Accepted);
        });
        FWindow->Form->actSettings->trigger();
        QCOMPARE(FWindow->Form->Settings.SubscriberCode, QString("54321"));
        QCOMPARE(FWindow->Form->Settings.FinanceType, QString("12"));
        TSettings stored;
        QVERIFY(SettingsFile::Load(SettingsFile::DefaultFileName, stored));
        QCOMPARE(stored, FWindow->Form->Settings);

        FWindow->Prompts.Dialogs.push_back([](QDialog& dialog) {
            static_cast<TSettingsForm&>(dialog).edSubscriberCode->setText("11111");
            return int(QDialog::Rejected);
        });
        FWindow->Form->actSettings->trigger();
        QCOMPARE(FWindow->Form->Settings.SubscriberCode, QString("54321"));
    }
};

QTEST_MAIN(TFileCommandsTest)
#include "tst_filecommands.moc"
