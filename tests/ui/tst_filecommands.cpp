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
#include <QLineEdit>
#include <QtTest>

#include <memory>

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

    std::unique_ptr<TTempCurrentDir> FDir;
    std::unique_ptr<TScriptedPrompts> FPrompts;
    std::unique_ptr<TMainForm> FForm;

    // A line of the record type with the given values, as the codec renders it.
    QByteArray Line(const char* recId, std::initializer_list<std::pair<const char*, QString>> values = {})
    {
        auto rec = FForm->Content().CreateNewOnRec(FForm->Format().GetRec(recId));
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

    QString Caption() const { return FForm->windowTitle(); }

private slots:
    void init()
    {
        FDir = std::make_unique<TTempCurrentDir>();
        SettingsFile::Save(SettingsFile::DefaultFileName, TSettings());
        FPrompts = std::make_unique<TScriptedPrompts>();
        FForm = std::make_unique<TMainForm>();
        FForm->FileCommands().Today = [] { return QDate(2024, 3, 1); };
    }

    void cleanup()
    {
        FForm.reset();
        FPrompts.reset();
        FDir.reset();
    }

    void openReadsTheFile()
    {
        const QString path = FDir->FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FPrompts->FileNames.push_back(path);
        FForm->actOpen->trigger();
        QCOMPARE(FForm->Content().Count(), 4);
        QCOMPARE(FForm->CurrentFile, path);
        QCOMPARE(Caption(), "UVO - " + path);
        QVERIFY(!FForm->RecsChanged());
        QCOMPARE(FPrompts->Shown.first(), (TShownPrompt{TPromptKind::OpenFile, TFileCommands::Filter, QString()}));
    }

    void openAfterCancelledQuestionShowsNoDialog()
    {
        FForm->SetRecsChanged(true);
        FPrompts->Answers.push_back(TAnswer::Cancel);
        FForm->actOpen->trigger();
        QCOMPARE(FPrompts->Shown.size(), 1);
        QCOMPARE(FPrompts->Shown.first().Kind, TPromptKind::Question);
        QVERIFY(FForm->RecsChanged());
    }

    void cancelledOpenChangesNothing()
    {
        FForm->Content().AddFromString(u"300000");
        FForm->actOpen->trigger();
        QCOMPARE(FForm->Content().Count(), 1);
        QCOMPARE(Caption(), QString("UVO - Новый"));
    }

    void badFileKeepsWhatWasReadButNotTheFileName()
    {
        QByteArray bytes = SampleFile();
        const QByteArray badLine = "123456 no such record type";
        bytes.insert(bytes.indexOf("\r\n", bytes.indexOf("\r\n") + 2) + 2, badLine + "\r\n");
        const QString path = FDir->FilePath("bad.uvo");
        WriteBytes(path, bytes);
        FPrompts->FileNames.push_back(path);
        FForm->actOpen->trigger();

        QCOMPARE(FPrompts->Shown.last(),
                 (TShownPrompt{TPromptKind::Error, QString("Ошибка"),
                               "Ошибка при загрузке файла: \r\nНеверный формат. Строка 3:\r\n" + QString(badLine)}));
        QCOMPARE(FForm->Content().Count(), 2);
        QVERIFY(FForm->RecsChanged());
        QVERIFY(FForm->CurrentFile.isEmpty());
        QCOMPARE(Caption(), QString("UVO - Новый*"));

        // Save asks for a name instead of overwriting the file with a fragment.
        FForm->actSave->trigger();
        QCOMPARE(FPrompts->Shown.last().Kind, TPromptKind::SaveFile);
        QCOMPARE(ReadBytes(path), bytes);
    }

    void saveAsProposesTheDefaultNameOncePerRun()
    {
        FForm->Settings.SubscriberCode = "12345";
        FForm->Settings.FinanceType = "01";
        FForm->actSaveAs->trigger();  // cancelled
        QCOMPARE(FPrompts->Shown.last(),
                 (TShownPrompt{TPromptKind::SaveFile, TFileCommands::Filter, QString("SUB_12345_20240301_01_001")}));

        FForm->Settings.SubscriberCode = "99999";
        FForm->FileCommands().Today = [] { return QDate(2024, 3, 2); };
        const QString path = FDir->FilePath("chosen.uvo");
        FPrompts->FileNames.push_back(path);
        FForm->actSaveAs->trigger();
        QCOMPARE(FPrompts->Shown.last().Text, QString("SUB_12345_20240301_01_001"));
        QCOMPARE(FForm->CurrentFile, path);
        QCOMPARE(Caption(), "UVO - " + path);

        FForm->actSaveAs->trigger();
        QCOMPARE(FPrompts->Shown.last().Text, QString("chosen.uvo"));
    }

    void saveWritesTheCurrentFileByteForByte()
    {
        const QString path = FDir->FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FForm->LoadUVO(path);
        QVERIFY(!FForm->actSave->isEnabled());
        FForm->Content()[1]->SetVal("310011", "4712");
        FForm->SetRecsChanged(true);
        QCOMPARE(Caption(), "UVO - " + path + "*");
        FForm->actSave->trigger();
        QVERIFY(FPrompts->Shown.isEmpty());
        QVERIFY(!FForm->RecsChanged());
        QByteArray expected = SampleFile();
        expected.replace(Line("300100", {{"310011", "4711"}}), Line("300100", {{"310011", "4712"}}));
        QCOMPARE(ReadBytes(path), expected);
    }

    void failedWriteKeepsTheFileState()
    {
        FForm->Content().AddFromString(u"300000");
        FForm->SetRecsChanged(true);
        FPrompts->FileNames.push_back(FDir->FilePath("missing/folder/out.uvo"));
        FForm->actSaveAs->trigger();
        QCOMPARE(FPrompts->Shown.last(),
                 (TShownPrompt{TPromptKind::AppError, QString("UVO Edit"), QString("Невозможно открыть файл для записи.")}));
        QVERIFY(FForm->RecsChanged());
        QVERIFY(FForm->CurrentFile.isEmpty());
    }

    void closingWithYesSavesUnderTheChosenName()
    {
        FForm->Content().AddFromString(u"300000");
        FForm->SetRecsChanged(true);
        FPrompts->Answers.push_back(TAnswer::Yes);
        const QString path = FDir->FilePath("closing.uvo");
        FPrompts->FileNames.push_back(path);
        QVERIFY(FForm->close());
        QCOMPARE(ReadBytes(path), QByteArray("300000") + QByteArray(111, ' ') + "\r\n");
    }

    void settingsCommandStoresAndSaves()
    {
        FPrompts->Dialogs.push_back([](QDialog& dialog) {
            auto& form = static_cast<TSettingsForm&>(dialog);
            form.edSubscriberCode->setText("54321");
            form.edFinanceType->setText("123");
            return int(QDialog::Accepted);
        });
        FForm->actSettings->trigger();
        QCOMPARE(FForm->Settings.SubscriberCode, QString("54321"));
        QCOMPARE(FForm->Settings.FinanceType, QString("12"));
        TSettings stored;
        QVERIFY(SettingsFile::Load(SettingsFile::DefaultFileName, stored));
        QCOMPARE(stored, FForm->Settings);

        FPrompts->Dialogs.push_back([](QDialog& dialog) {
            static_cast<TSettingsForm&>(dialog).edSubscriberCode->setText("11111");
            return int(QDialog::Rejected);
        });
        FForm->actSettings->trigger();
        QCOMPARE(FForm->Settings.SubscriberCode, QString("54321"));
    }
};

QTEST_MAIN(TFileCommandsTest)
#include "tst_filecommands.moc"
