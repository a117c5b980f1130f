// The record commands: add, copy, delete and edit from the record menu and by
// double-click, and the new file with one record of every active type.

#include "AnsiCodePage.h"
#include "TEditForm.h"
#include "TRecordGridModel.h"
#include "TRecordPopup.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"
#include "ViewFixture.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace ViewFixture;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {


QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

class TRecordCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;
    TContentRec* FAccount = nullptr;   // account 12345
    TContentRec* FHolder = nullptr;    // its primary holder
    TContentRec* FAccount999 = nullptr;
    QString FDialogAccount;            // field 310011 as the last dialog received it

    TMainForm& Form() { return *FWindow->Form; }
    TScriptedPrompts& Prompts() { return FWindow->Prompts; }
    QString Total(const QString& fldId) { return Form().Content().GetTrailerRec()->GetVal(fldId); }

    // Header, account 12345 with its holder, account 999, Trailer with its totals; all records shown.
    void ShowSmallFile()
    {
        Add(Form(), Header);
        FAccount = AddAccount(Form(), "12345");
        FHolder = AddHolder(Form(), "12345", "01", "Иванов", "Иван");
        FAccount999 = AddAccount(Form(), "999");
        Add(Form(), Trailer);
        Form().Content().CalcRecsCount();
        Form().ShowContent(nullptr);
        Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form()));
    }

    // The next edit dialog assigns the values and confirms, or cancels when values is empty.
    void PlayDialog(QList<std::pair<QString, QString>> values, bool confirm = true)
    {
        Prompts().Dialogs.push_back([this, values, confirm](QDialog& dialog) {
            TContentRec& rec = *static_cast<TEditForm&>(dialog).ContentRec;
            FDialogAccount = rec.GetVal(QStringLiteral("310011"));
            for (const auto& [fldId, value] : values)
                rec.SetVal(fldId, value);
            return int(confirm ? QDialog::Accepted : QDialog::Rejected);
        });
    }

    // Opens the record menu on the record's row, as a right click does.
    void OpenMenuOn(const TContentRec* rec)
    {
        for (TRecordGrid* grid : Form().VTList())
            if (const int row = grid->RowOf(rec); row >= 0)
                return RightClick(*grid->viewport(), grid->visualRect(grid->Model().index(row, 1)).center());
        QFAIL("the record is not shown");
    }

    void ChooseAdd(const QString& recId)
    {
        Form().mnVTPopup->mnSubAddRec->findChild<QAction*>(QLatin1Char('M') + recId)->trigger();
        Form().mnVTPopup->close();
    }

    void Choose(QAction* item)
    {
        item->trigger();
        Form().mnVTPopup->close();
    }

    TContentRec* FocusedRec()
    {
        const auto* grid = qobject_cast<TRecordGrid*>(Form().focusWidget());
        return grid && grid->FocusedRow() >= 0 ? grid->Rec(grid->FocusedRow()) : nullptr;
    }

    QString LastDialogCaption() const
    {
        for (auto it = FWindow->Prompts.Shown.crbegin(); it != FWindow->Prompts.Shown.crend(); ++it)
            if (it->Kind == TPromptKind::Dialog)
                return it->Title;
        return {};
    }

private slots:
    void init() { FWindow = std::make_unique<TFreshWindow>(); }

    void cleanup() { FWindow.reset(); }

    void addFromARowTakesItsAccount()
    {
        ShowSmallFile();
        QCOMPARE(Total(AccountTotal), QStringLiteral("000000002"));
        OpenMenuOn(FHolder);
        PlayDialog({});
        ChooseAdd(Account);

        QCOMPARE(LastDialogCaption(), QStringLiteral("(300100) Account Record - Добавить"));
        QCOMPARE(FDialogAccount, QStringLiteral("12345"));
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("12345 Иванов Иван"));
        TContentRec* added = FocusedRec();
        QVERIFY(added && added != FAccount);
        QCOMPARE(added->Account, QStringLiteral("12345"));
        QCOMPARE(added->GetVal("310000"), Account);
        QCOMPARE(Form().Content().IndexOf(added), Form().Content().IndexOf(FAccount) + 1);  // sorted in
        QVERIFY(Form().windowTitle().endsWith(QLatin1Char('*')));
        QCOMPARE(Total(AccountTotal), QStringLiteral("000000003"));
    }

    void addFromThePanelAreaHasNoAccount()
    {
        ShowSmallFile();
        RightClick(*Form().PanelGroup->widget(), QPoint(5, Form().PanelGroup->widget()->height() - 5));
        QVERIFY(!Form().mnVTPopup->mnCopyRec->isEnabled());
        PlayDialog({});
        ChooseAdd(QStringLiteral("300500"));

        QCOMPARE(LastDialogCaption(), QStringLiteral("(300500) Consumer Address Record - Добавить"));
        QCOMPARE(FDialogAccount, QString());
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("Без счёта/Header/Trailer"));
        QCOMPARE(FocusedRec()->Rec->RecID, QStringLiteral("300500"));
        QCOMPARE(Form().Content().Count(), 6);
    }

    void copyWithoutChangesAddsATwin()
    {
        ShowSmallFile();
        OpenMenuOn(FHolder);
        PlayDialog({}, false);
        Choose(Form().mnVTPopup->mnCopyRec);
        QCOMPARE(Form().Content().Count(), 5);  // cancelled
        QVERIFY(!Form().RecsChanged());

        OpenMenuOn(FHolder);
        PlayDialog({});
        Choose(Form().mnVTPopup->mnCopyRec);
        QCOMPARE(LastDialogCaption(), QStringLiteral("(300300) Consumer Name Record - Добавить"));
        const int at = Form().Content().IndexOf(FHolder);
        TContentRec* twin = FocusedRec();
        QVERIFY(twin != FHolder);
        QVERIFY(Form().Content().IndexOf(twin) == at - 1 || Form().Content().IndexOf(twin) == at + 1);
        QCOMPARE(twin->RecToString(), FHolder->RecToString());
        QCOMPARE(Total(NameTotal), QStringLiteral("000000002"));
        QVERIFY(Form().RecsChanged());
    }

    void deletingTheOnlyRecordOfATypeRemovesItsPanel()
    {
        ShowSmallFile();
        TRecordGrid* accounts = &GridOf(Form(), Account);
        OpenMenuOn(FHolder);
        Prompts().Answers = {TAnswer::No, TAnswer::Yes};
        Choose(Form().mnVTPopup->mnDeleteRec);
        QCOMPARE(Form().Content().Count(), 5);

        OpenMenuOn(FHolder);
        Choose(Form().mnVTPopup->mnDeleteRec);
        QCOMPARE(Prompts().Shown.last(), (TShownPrompt{TPromptKind::Question, "Удалить", "Удалить запись?"}));
        QCOMPARE(Prompts().QuestionButtons.last(), TQuestionButtons::YesNo);
        QCOMPARE(Captions(Form()), QStringList({"Header", "----Account", "Trailer"}));
        QCOMPARE(&GridOf(Form(), Account), accounts);  // the other panels stay
        QCOMPARE(Total(NameTotal), QStringLiteral("000000000"));
        QCOMPARE(Form().StatusBar->PanelText(0), QStringLiteral("Записей: 4 из 4"));
        QVERIFY(Form().windowTitle().endsWith(QLatin1Char('*')));
    }

    void deletingTheLastRecordShownRebuildsTheFilter()
    {
        ShowSmallFile();
        ChooseItem(Form(), ItemTexts(Form()).indexOf("999"));
        OpenMenuOn(FAccount999);
        Prompts().Answers = {TAnswer::Yes};
        Choose(Form().mnVTPopup->mnDeleteRec);
        QCOMPARE(ItemTexts(Form()), QStringList({"<Все записи>", "12345 Иванов Иван", "Без счёта/Header/Trailer"}));
        QCOMPARE(Form().cbFilter->currentIndex(), 0);
        QCOMPARE(RowCounts(Form()), QList<int>({1, 1, 1, 1}));
    }

    void deletingOneOfTwentyTakesOutOnlyItsRow()
    {
        for (int i = 0; i < 20; ++i)
            AddAccount(Form(), QString::number(100 + i));
        Form().ShowContent(nullptr);
        TRecordGrid& grid = GridOf(Form(), Account);
        QSignalSpy resets(&grid.Model(), &QAbstractItemModel::modelReset);
        QSignalSpy removals(&grid.Model(), &QAbstractItemModel::rowsRemoved);
        Prompts().Answers = {TAnswer::Yes};
        Form().DeleteRec(&grid, 7);
        QCOMPARE(Form().StatusBar->PanelText(0), QStringLiteral("Записей: 19 из 19"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(removals.count(), 1);
        QCOMPARE(grid.Rec(7)->Account, QStringLiteral("108"));
    }

    void editingTheAccountMovesTheRecord()
    {
        ShowSmallFile();
        ChooseItem(Form(), ItemTexts(Form()).indexOf("12345 Иванов Иван"));
        TRecordGrid& holders = GridOf(Form(), Consumer);
        const QPoint cell = holders.visualRect(holders.Model().index(0, 2)).center();
        QTest::mouseClick(holders.viewport(), Qt::LeftButton, {}, cell);  // a double-click begins as a click
        QTest::mouseDClick(holders.viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(LastDialogCaption(), QString());  // the edit waits until the click is handled
        PlayDialog({{"310011", "999"}});
        QTRY_COMPARE(LastDialogCaption(), QStringLiteral("(300300) Consumer Name Record - Изменить"));

        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("999 Иванов Иван"));
        QCOMPARE(FocusedRec(), FHolder);
        QCOMPARE(Form().Content().IndexOf(FHolder), Form().Content().IndexOf(FAccount999) + 1);
        QVERIFY(Form().RecsChanged());
    }

    void enterEditsTheFocusedRowAndDeleteDeletesIt()
    {
        ShowSmallFile();
        Form().FindFocus(FHolder);
        TRecordGrid& holders = GridOf(Form(), Consumer);
        PlayDialog({});
        QTest::keyClick(&holders, Qt::Key_Return);
        QTRY_COMPARE(LastDialogCaption(), QStringLiteral("(300300) Consumer Name Record - Изменить"));

        Prompts().Answers = {TAnswer::Yes};
        QTest::keyClick(&holders, Qt::Key_Delete);
        QCOMPARE(Prompts().Shown.last(), (TShownPrompt{TPromptKind::Question, "Удалить", "Удалить запись?"}));
        QCOMPARE(Form().Content().IndexOf(FHolder), -1);
    }

    void editingWithoutChangesLeavesTheFileUnchanged()
    {
        ShowSmallFile();
        TRecordGrid* holders = &GridOf(Form(), Consumer);
        PlayDialog({});
        Form().EditRec(FHolder);
        QVERIFY(!Form().windowTitle().endsWith(QLatin1Char('*')));

        PlayDialog({{"310230", "Пётр"}});
        Form().EditRec(FHolder);
        QCOMPARE(&GridOf(Form(), Consumer), holders);  // a name changes no place: no rebuild
        const QStringList captions = holders->Model().Captions();
        const QModelIndex firstName = holders->Model().index(0, int(captions.indexOf("First Name / Short Company Name")));
        QCOMPARE(holders->Model().VTGetText(firstName), QStringLiteral("Пётр"));
        QVERIFY(Form().windowTitle().endsWith(QLatin1Char('*')));
    }

    void newFileWithRecords_data()
    {
        QTest::addColumn<std::optional<QString>>("input");
        QTest::addColumn<QString>("account");
        QTest::newRow("777") << std::optional<QString>("777") << "777";
        QTest::newRow("Cancel") << std::optional<QString>() << "";
    }

    void newFileWithRecords()
    {
        QFETCH(std::optional<QString>, input);
        QFETCH(QString, account);
        Prompts().Inputs = {input};
        Form().actNewRecs->trigger();
        QCOMPARE(Prompts().Shown, QList<TShownPrompt>({{TPromptKind::Input, "Введите номер счёта", "Счёт"}}));
        QStringList types;
        for (const TContentRec* rec : Form().Content().Records()) {
            types << rec->Rec->RecID;
            const bool bound = rec->Rec != Form().Format().HeaderRec && rec->Rec != Form().Format().TrailerRec;
            QCOMPARE(rec->Account, bound ? account : QString());
        }
        QCOMPARE(types, QStringList({"300000", "300100", "300210", "300300", "300500", "300600", "300620", "300630",
                                     "300640", "300650", "300660", "300665", "300670", "300999"}));
        QCOMPARE(Total(AccountTotal), QStringLiteral("000000001"));
        QCOMPARE(Form().windowTitle(), QStringLiteral("UVO - Новый"));
        QCOMPARE(Form().cbFilter->currentIndex(), 0);
    }

    void anEditedFileSavesOnlyTheEditedValue()
    {
        ShowSmallFile();
        const QString path = FWindow->Dir.FilePath("edited.uvo");
        Form().SaveToFile(path);
        const QByteArray before = ReadBytes(path);
        Form().LoadUVO(path);
        TContentRec* holder = GridOf(Form(), Consumer).Rec(0);
        const QByteArray oldLine = AnsiCodePage::Encode(holder->RecToString());

        OpenMenuOn(holder);
        PlayDialog({{"310230", "Пётр"}});
        Choose(Form().mnVTPopup->mnEditRec);
        Form().actSave->trigger();

        QByteArray expected = before;
        expected.replace(oldLine, AnsiCodePage::Encode(holder->RecToString()));
        QVERIFY(expected != before);
        QCOMPARE(ReadBytes(path), expected);
        Form().LoadUVO(path);
        QCOMPARE(GridOf(Form(), Consumer).Rec(0)->GetVal("310230"), QStringLiteral("Пётр"));
    }
};

QTEST_MAIN(TRecordCommandsTest)
#include "tst_recordcommands.moc"
