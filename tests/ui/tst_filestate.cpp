// The state of the open file: caption, marker and Save; the question before
// changes are discarded; "Создать пустой файл"; closing the window.

#include "SettingsFile.h"
#include "TContent.h"
#include "TMainForm.h"
#include "TMainStatusBar.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(TAnswer)

namespace {

const TShownPrompt SaveQuestion{TPromptKind::Question, QStringLiteral("Сохранить"),
                                QStringLiteral("Сохранить сделанные изменения?")};

void AddAccountRecord(TMainForm& form)
{
    form.Content().Add(form.Content().CreateNewOnRec(form.Format().GetRec(QStringLiteral("300100"))));
    form.ShowContent(nullptr);
    form.SetRecsChanged(true);
}

}  // namespace

class TFileStateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TTempCurrentDir> FDir;
    std::unique_ptr<TScriptedPrompts> FPrompts;
    std::unique_ptr<TMainForm> FForm;

private slots:
    void init()
    {
        FDir = std::make_unique<TTempCurrentDir>();
        SettingsFile::Save(SettingsFile::DefaultFileName, TSettings());
        FPrompts = std::make_unique<TScriptedPrompts>();
        FForm = std::make_unique<TMainForm>(TestFormat::Valid());
    }

    void cleanup()
    {
        FForm.reset();
        FPrompts.reset();
        FDir.reset();
    }

    void fileStateIsShown_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("marker");
        const QString path = QStringLiteral("C:/Данные/SUB_12345_20240301_01_001.uvo");
        QTest::newRow("new") << QString() << false << "UVO - Новый" << "";
        QTest::newRow("new, changed") << QString() << true << "UVO - Новый*" << "Изменён";
        QTest::newRow("saved") << path << false << "UVO - " + path << "";
        QTest::newRow("saved, changed") << path << true << "UVO - " + path + "*" << "Изменён";
    }

    void fileStateIsShown()
    {
        QFETCH(QString, file);
        QFETCH(bool, changed);
        FForm->CurrentFile = file;
        FForm->SetRecsChanged(changed);
        QTEST(FForm->windowTitle(), "caption");
        QTEST(FForm->StatusBar->PanelText(1), "marker");
        QCOMPARE(FForm->actSave->isEnabled(), changed);
        QVERIFY(FForm->actSaveAs->isEnabled());
        QCOMPARE(FForm->property("RecsChanged").toBool(), changed);
    }

    void anUnchangedFileIsLeftWithoutAsking()
    {
        QVERIFY(FForm->CanLeaveFile());
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>());
    }

    void aChangedFileAsksToSave_data()
    {
        QTest::addColumn<TAnswer>("answer");
        QTest::addColumn<bool>("canLeave");
        QTest::newRow("Cancel") << TAnswer::Cancel << false;
        QTest::newRow("No") << TAnswer::No << true;
        // Nothing is written for a file never saved unless a name is chosen.
        QTest::newRow("Yes, no name chosen") << TAnswer::Yes << false;
    }

    void aChangedFileAsksToSave()
    {
        QFETCH(TAnswer, answer);
        FForm->SetRecsChanged(true);
        FPrompts->Answers = {answer};
        QTEST(FForm->CanLeaveFile(), "canLeave");
        QCOMPARE(FPrompts->Shown.value(0), SaveQuestion);
        QCOMPARE(FPrompts->QuestionButtons.value(0), TQuestionButtons::YesNoCancel);
        QVERIFY(FForm->RecsChanged());
    }

    void newFileOnAChangedFile_data()
    {
        QTest::addColumn<TAnswer>("answer");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("Cancel keeps the file") << TAnswer::Cancel << false;
        QTest::newRow("No discards it") << TAnswer::No << true;
    }

    void newFileOnAChangedFile()
    {
        QFETCH(TAnswer, answer);
        QFETCH(bool, emptied);
        FForm->CurrentFile = QStringLiteral("C:/a.uvo");
        AddAccountRecord(*FForm);
        FPrompts->Answers = {answer};
        FForm->actNew->trigger();
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>({SaveQuestion}));
        if (emptied) {
            QCOMPARE(FForm->Content().Count(), 0);
            QCOMPARE(FForm->CurrentFile, QString());
            QCOMPARE(FForm->windowTitle(), QStringLiteral("UVO - Новый"));
            QCOMPARE(FForm->StatusBar->PanelText(0), QStringLiteral("Записей: 0 из 0"));
            QCOMPARE(FForm->StatusBar->PanelText(1), QString());
            QVERIFY(!FForm->actSave->isEnabled());
        } else {
            QCOMPARE(FForm->Content().Count(), 1);
            QCOMPARE(FForm->windowTitle(), QStringLiteral("UVO - C:/a.uvo*"));
            QVERIFY(FForm->actSave->isEnabled());
        }
    }

    void closingAsksOnlyForUnsavedChanges_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<TAnswer>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("closed");
        QTest::newRow("unchanged") << false << TAnswer::Cancel << 0 << true;
        QTest::newRow("changed, Cancel") << true << TAnswer::Cancel << 1 << false;
        QTest::newRow("changed, No") << true << TAnswer::No << 1 << true;
    }

    void closingAsksOnlyForUnsavedChanges()
    {
        QFETCH(bool, changed);
        QFETCH(TAnswer, answer);
        FForm->show();
        FForm->SetRecsChanged(changed);
        FPrompts->Answers = {answer};
        FForm->actExit->trigger();
        QTEST(int(FPrompts->Shown.size()), "questions");
        QTEST(!FForm->isVisible(), "closed");
        QCOMPARE(FForm->windowTitle().endsWith(QLatin1Char('*')), changed);
    }
};

QTEST_MAIN(TFileStateTest)
#include "tst_filestate.moc"
