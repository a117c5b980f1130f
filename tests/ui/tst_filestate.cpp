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

    std::unique_ptr<TFreshWindow> FWindow;

private slots:
    void init()
    {
        FWindow = std::make_unique<TFreshWindow>(TestFormat::Valid());
    }

    void cleanup() { FWindow.reset(); }

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
        FWindow->Form->SetCurrentFile(file);
        FWindow->Form->SetRecsChanged(changed);
        QTEST(FWindow->Form->windowTitle(), "caption");
        QTEST(FWindow->Form->StatusBar->PanelText(1), "marker");
        QCOMPARE(FWindow->Form->actSave->isEnabled(), changed);
        QVERIFY(FWindow->Form->actSaveAs->isEnabled());
        QCOMPARE(FWindow->Form->property("RecsChanged").toBool(), changed);
    }

    void anUnchangedFileIsLeftWithoutAsking()
    {
        QVERIFY(FWindow->Form->CanLeaveFile());
        QCOMPARE(FWindow->Prompts.Shown, QList<TShownPrompt>());
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
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.Answers = {answer};
        QTEST(FWindow->Form->CanLeaveFile(), "canLeave");
        QCOMPARE(FWindow->Prompts.Shown.value(0), SaveQuestion);
        QCOMPARE(FWindow->Prompts.QuestionButtons.value(0), TQuestionButtons::YesNoCancel);
        QVERIFY(FWindow->Form->RecsChanged());
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
        FWindow->Form->SetCurrentFile(QStringLiteral("C:/a.uvo"));
        AddAccountRecord(*FWindow->Form);
        FWindow->Prompts.Answers = {answer};
        FWindow->Form->actNew->trigger();
        QCOMPARE(FWindow->Prompts.Shown, QList<TShownPrompt>({SaveQuestion}));
        if (emptied) {
            QCOMPARE(FWindow->Form->Content().Count(), 0);
            QCOMPARE(FWindow->Form->CurrentFile(), QString());
            QCOMPARE(FWindow->Form->windowTitle(), QStringLiteral("UVO - Новый"));
            QCOMPARE(FWindow->Form->StatusBar->PanelText(0), QStringLiteral("Записей: 0 из 0"));
            QCOMPARE(FWindow->Form->StatusBar->PanelText(1), QString());
            QVERIFY(!FWindow->Form->actSave->isEnabled());
        } else {
            QCOMPARE(FWindow->Form->Content().Count(), 1);
            QCOMPARE(FWindow->Form->windowTitle(), QStringLiteral("UVO - C:/a.uvo*"));
            QVERIFY(FWindow->Form->actSave->isEnabled());
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
        FWindow->Form->show();
        FWindow->Form->SetRecsChanged(changed);
        FWindow->Prompts.Answers = {answer};
        FWindow->Form->actExit->trigger();
        QTEST(int(FWindow->Prompts.Shown.size()), "questions");
        QTEST(!FWindow->Form->isVisible(), "closed");
        QCOMPARE(FWindow->Form->windowTitle().endsWith(QLatin1Char('*')), changed);
    }
};

QTEST_MAIN(TFileStateTest)
#include "tst_filestate.moc"
