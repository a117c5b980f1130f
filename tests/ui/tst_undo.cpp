// Undo and redo of the record commands: the list, its order and the
// Trailer's totals come back exactly, the file's changed state follows the
// history, and the menu names the step.

#include "ShownText.h"
#include "TRecordCommands.h"
#include "TScriptedPrompts.h"
#include "TUvoDocument.h"
#include "UiTestSupport.h"
#include "ViewFixture.h"

#include <QAction>
#include <QFile>
#include <QtTest>

#include <memory>
#include <vector>

using namespace ViewFixture;

class TUndoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;
    TContentRec* FAccount = nullptr;  // account 12345
    TContentRec* FHolder = nullptr;   // its primary holder
    std::vector<TContentRec*> FOrder;  // the list as shown first
    QString FTotals;                   // the Trailer's line as shown first

    TMainForm& Form() { return *FWindow->Form; }
    TScriptedPrompts& Prompts() { return FWindow->Prompts; }
    TContent& Content() { return Form().Content(); }
    QString Trailer() { return Content().GetTrailerRec()->RecToString(); }
    QString Total(const QString& fldId) { return Content().GetTrailerRec()->GetVal(fldId); }
    bool Starred() { return Form().windowTitle().endsWith(QLatin1Char('*')); }

    // Header, account 999, account 12345 with its holder, Trailer with totals
    // that do not count them: a file as read, out of order, with wrong totals;
    // or, sorted, as the record commands leave it.
    void ShowSmallFile(bool sorted = false)
    {
        Add(Form(), Header);
        AddAccount(Form(), "999");
        FAccount = AddAccount(Form(), "12345");
        FHolder = AddHolder(Form(), "12345", "01", "Иванов", "Иван");
        Add(Form(), ViewFixture::Trailer, {{"310107", "000000007"}});
        if (sorted)
            Content().SortRec();
        Form().ShowContent(nullptr);
        Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form()));
        FOrder = Content().Records();
        FTotals = Trailer();
    }

    // The list, its order and the totals are as they were first shown.
    void VerifyAsFirstShown()
    {
        QVERIFY(Content().Records() == FOrder);
        QCOMPARE(Trailer(), FTotals);
    }

    void Undo() { Form().actUndo->trigger(); }
    void Redo() { Form().actRedo->trigger(); }

private slots:
    void init() { FWindow = std::make_unique<TFreshWindow>(); }

    void cleanup() { FWindow.reset(); }

    void addIsUndoneAndRedone()
    {
        ShowSmallFile();
        PlayEditDialog(Prompts(), {});
        Form().AddRec(Account, FHolder);
        TContentRec* added = FocusedCell(Form()).first;
        const std::vector<TContentRec*> afterAdd = Content().Records();
        QCOMPARE(Total(AccountTotal), QStringLiteral("000000003"));
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить: добавление записи"));

        Undo();
        VerifyAsFirstShown();
        QCOMPARE(ShownText(*Form().actRedo), QStringLiteral("Повторить: добавление записи"));
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить"));
        QVERIFY(!Form().actUndo->isEnabled());
        QVERIFY(FocusedCell(Form()).first);  // a record beside the one that went

        Redo();
        QVERIFY(Content().Records() == afterAdd);
        QCOMPARE(Total(AccountTotal), QStringLiteral("000000003"));
        QCOMPARE(FocusedCell(Form()).first, added);
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("12345 Иванов Иван"));
        QVERIFY(Starred());
    }

    void copyIsUndone()
    {
        ShowSmallFile();
        PlayEditDialog(Prompts(), {});
        TRecordGrid& holders = GridOf(Form(), Consumer);
        Form().CopyRec(&holders, 0);
        QCOMPARE(Total(NameTotal), QStringLiteral("000000002"));
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить: копирование записи"));
        Undo();
        VerifyAsFirstShown();
    }

    void deleteIsUndoneAndRedone()
    {
        ShowSmallFile();
        Prompts().Answers = {TAnswer::Yes};
        TRecordGrid& holders = GridOf(Form(), Consumer);
        Form().DeleteRec(&holders, 0);
        QCOMPARE(Total(NameTotal), QStringLiteral("000000000"));
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить: удаление записи"));

        Undo();
        VerifyAsFirstShown();
        QCOMPARE(FocusedCell(Form()).first, FHolder);  // the same record, back in its place
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("12345 Иванов Иван"));

        Redo();
        QCOMPARE(Content().IndexOf(FHolder), -1);
        QCOMPARE(Content().Count(), 4);
        QCOMPARE(Total(NameTotal), QStringLiteral("000000000"));
        QVERIFY(Form().StatusBar->PanelText(0).endsWith(QStringLiteral(" из 4")));
    }

    void editIsUndoneAndRedone_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::newRow("file out of order") << false;
        QTest::newRow("sorted file") << true;
    }

    void editIsUndoneAndRedone()
    {
        QFETCH(bool, sorted);
        ShowSmallFile(sorted);
        PlayEditDialog(Prompts(), {{"310011", "999"}});  // the holder moves to account 999
        Form().EditRec(FHolder);
        const std::vector<TContentRec*> afterEdit = Content().Records();
        QVERIFY(afterEdit != FOrder);
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить: изменение записи"));

        Undo();
        VerifyAsFirstShown();
        QCOMPARE(FHolder->Account, QStringLiteral("12345"));
        QCOMPARE(FocusedCell(Form()).first, FHolder);
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("12345 Иванов Иван"));

        Redo();
        QVERIFY(Content().Records() == afterEdit);
        QCOMPARE(FHolder->Account, QStringLiteral("999"));
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("999 Иванов Иван"));
    }

    void undoBackToTheSavedFileLeavesItUnchanged()
    {
        ShowSmallFile();
        const QString path = FWindow->Dir.FilePath("saved.uvo");
        Form().SaveToFile(path);
        Prompts().Answers = {TAnswer::Yes};
        Form().DeleteRec(&GridOf(Form(), Account), 0);
        QVERIFY(Starred() && Form().actSave->isEnabled());
        Undo();
        QVERIFY(!Starred() && !Form().actSave->isEnabled());
        QVERIFY(Form().StatusBar->PanelText(1).isEmpty());
        Redo();
        QVERIFY(Starred() && Form().actSave->isEnabled());

        // A read that failed leaves no state that undo could reach back to.
        QFile broken(FWindow->Dir.FilePath("broken.uvo"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray("300100") + QByteArray(40, '1') + "\r\nnot a record\r\n");
        broken.close();
        Form().LoadUVO(broken.fileName());
        QVERIFY(Starred());
        Prompts().Answers = {TAnswer::Yes};
        Form().DeleteRec(&GridOf(Form(), Account), 0);
        Undo();
        QVERIFY(Starred());
    }

    void replacingTheFileForgetsTheHistory_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("open") << "actOpen";
        QTest::newRow("new") << "actNew";
        QTest::newRow("new with records") << "actNewRecs";
    }

    void replacingTheFileForgetsTheHistory()
    {
        QFETCH(QString, command);
        ShowSmallFile();
        const QString path = FWindow->Dir.FilePath("other.uvo");
        Form().SaveToFile(path);
        Prompts().Answers = {TAnswer::Yes, TAnswer::No};  // delete; do not save
        Form().DeleteRec(&GridOf(Form(), Account), 0);
        QVERIFY(Form().actUndo->isEnabled());
        Prompts().FileNames = {path};
        Prompts().Inputs = {QStringLiteral("777")};
        Form().findChild<QAction*>(command)->trigger();
        QVERIFY(!Form().actUndo->isEnabled() && !Form().actRedo->isEnabled());
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить"));
        QCOMPARE(Form().Document().UndoStack().count(), 0);
        QVERIFY(!Starred());
    }

    void anAppendedBatchIsOneStep()
    {
        ShowSmallFile();
        std::vector<std::unique_ptr<TContentRec>> batch;
        for (const QString& recId : {Consumer, Account}) {
            auto rec = Content().CreateNewOnRec(Form().Format().GetRec(recId));
            rec->SetVal(QStringLiteral("310000"), recId);
            rec->SetVal(QStringLiteral("310011"), QStringLiteral("555"));
            rec->SetVal(QStringLiteral("310065"), QStringLiteral("01"));
            rec->CalcSortStr();
            batch.push_back(std::move(rec));
        }
        Form().Document().AppendRecords(QStringLiteral("загрузка из Fa#"), std::move(batch), TAppendOrder::CountThenSort, false);
        QCOMPARE(Content().Count(), 7);
        QCOMPARE(Total(AccountTotal), QStringLiteral("000000003"));
        QCOMPARE(Total(NameTotal), QStringLiteral("000000002"));
        const int account555 = int(std::find_if(Content().Records().begin(), Content().Records().end(),
                                                [](const TContentRec* rec) { return rec->Account == "555"; }) -
                                   Content().Records().begin());
        QCOMPARE(Content()[account555]->Rec->RecID, Account);  // sorted: the account before its holder
        QCOMPARE(Form().cbFilter->currentIndex(), 0);
        QVERIFY(Starred());
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить: загрузка из Fa#"));

        Undo();
        VerifyAsFirstShown();
        QVERIFY(!Form().actUndo->isEnabled());
        Redo();
        QCOMPARE(Content().Count(), 7);
        QCOMPARE(Total(NameTotal), QStringLiteral("000000002"));
    }
};

QTEST_MAIN(TUndoTest)
#include "tst_undo.moc"
