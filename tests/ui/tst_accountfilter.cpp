// The account filter: its items, their order and texts, the item chosen for a
// record, the records each item shows, and the record counts in the status bar.

#include "SettingsFile.h"
#include "TAccountFilter.h"
#include "TMainStatusBar.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"
#include "ViewFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QtTest>

#include <memory>

using namespace ViewFixture;

class TAccountFilterTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;

    TMainForm& Form() { return *FWindow->Form; }
    QString StatusText() { return Form().StatusBar->PanelText(0); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void init()
    {
        FWindow = std::make_unique<TFreshWindow>();
    }

    void cleanup() { FWindow.reset(); }

    void accountsAreListedByTextBetweenTheFixedItems()
    {
        Add(Form(), Header);
        AddAccount(Form(), "200");
        AddAccount(Form(), "100");
        Add(Form(), History, {{"310011", "200"}});
        Add(Form(), Trailer);
        Form().ShowContent(nullptr);
        QCOMPARE(ItemTexts(Form()), QStringList({"<Все записи>", "100", "200", "Без счёта/Header/Trailer"}));
        QCOMPARE(Form().cbFilter->currentIndex(), 0);
    }

    void textsSortCaseInsensitivelyInTheUsersLocale()
    {
        for (const QString account : {"b7", "Я1", "A9", "я2", "Б5", "a3"})
            AddAccount(Form(), account);
        Form().ShowContent(nullptr);
        QCOMPARE(ItemTexts(Form()).mid(1, 6), QStringList({"Б5", "Я1", "я2", "a3", "A9", "b7"}));  // Cyrillic first
    }

    void primaryHolderNamesTheAccount()
    {
        AddAccount(Form(), "100");
        AddHolder(Form(), "100", "02", "XYZ", "Second");
        AddHolder(Form(), "100", "01", "ABC");
        AddAccount(Form(), "300");
        AddHolder(Form(), "300", "01", "Old", "Name");
        AddHolder(Form(), "300", "01", "New", "Name");  // a later primary holder wins
        AddHolder(Form(), "300", "02", "Other", "Holder");
        AddAccount(Form(), "200");
        AddHolder(Form(), "200", "1", "Not", "Primary");  // the holder number must be exactly "01"
        Form().ShowContent(nullptr);
        QCOMPARE(ItemTexts(Form()),
                 QStringList({"<Все записи>", "100 ABC", "200", "300 New Name", "Без счёта/Header/Trailer"}));
    }

    void accountsDifferingBySpacesAreSeparateItems()
    {
        AddAccount(Form(), "100");
        AddAccount(Form(), "100 ");
        AddAccount(Form(), " 100");
        Add(Form(), History, {{"310011", "100 "}});
        Form().ShowContent(nullptr);
        QCOMPARE(Form().cbFilter->count(), 5);

        const int spaced = ItemTexts(Form()).indexOf("100 ");
        QVERIFY(spaced > 0);
        ChooseItem(Form(), spaced);
        QCOMPARE(RowCounts(Form()), QList<int>({1, 1}));
        QCOMPARE(Captions(Form()).first(), QStringLiteral("----Account - 100 "));
        QCOMPARE(StatusText(), QStringLiteral("Записей: 2 из 4"));
    }

    void focusRecordChoosesItsItem()
    {
        TContentRec* header = Add(Form(), Header);
        TContentRec* first = AddAccount(Form(), "100");
        TContentRec* holder = AddHolder(Form(), "200", "01", "Ivanov", "Ivan");
        AddAccount(Form(), "200");

        Form().ShowContent(holder);
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("200 Ivanov Ivan"));
        Form().ShowContent(first);
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("100"));
        Form().ShowContent(header);
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("Без счёта/Header/Trailer"));
        QCOMPARE(Captions(Form()), QStringList({"Header"}));
        Form().ShowContent(nullptr);
        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("<Все записи>"));
    }

    void eachItemShowsItsRecordsInContentOrder()
    {
        Add(Form(), Header);
        AddAccount(Form(), "100");
        Add(Form(), History, {{"310011", "100"}});
        AddAccount(Form(), "200");
        Add(Form(), History, {{"310011", "100"}});  // next to the other once account 200 is left out
        AddHolder(Form(), "100", "02", "Petrov");
        Add(Form(), History, {{"310011", "100"}});  // after another type: a panel of its own
        Add(Form(), History);                       // no account
        Add(Form(), Trailer);
        Form().ShowContent(nullptr);
        QCOMPARE(StatusText(), QStringLiteral("Записей: 9 из 9"));
        QCOMPARE(Captions(Form()), QStringList({"Header", "----Account", "--------Account History",
                                                "--------Consumer Name", "Trailer"}));

        ChooseItem(Form(), 1);
        QCOMPARE(Captions(Form()), QStringList({"----Account - 100", "--------Account History",
                                                "--------Consumer Name - Petrov ", "--------Account History"}));
        QCOMPARE(RowCounts(Form()), QList<int>({1, 2, 1, 1}));
        QCOMPARE(StatusText(), QStringLiteral("Записей: 5 из 9"));

        ChooseItem(Form(), 3);  // without account
        QCOMPARE(Captions(Form()), QStringList({"Header", "--------Account History", "Trailer"}));
        QCOMPARE(StatusText(), QStringLiteral("Записей: 3 из 9"));

        ChooseItem(Form(), 0);
        QCOMPARE(StatusText(), QStringLiteral("Записей: 9 из 9"));
        QCOMPARE(ItemTexts(Form()).size(), 4);  // choosing never rebuilds the list
    }

    void aRecordDeletedWithoutRebuildIsGoneFromItsItem()
    {
        AddAccount(Form(), "100");
        Add(Form(), History, {{"310011", "100"}});
        Add(Form(), History, {{"310011", "100"}});
        Form().ShowContent(nullptr);
        const TContentRec* gone = GridOf(Form(), History).Rec(0);
        FWindow->Prompts.Answers.push_back(TAnswer::Yes);
        Form().DeleteRec(&GridOf(Form(), History), 0);  // takes out its row only; the list stays
        QCOMPARE(ItemTexts(Form()).size(), 3);

        ChooseItem(Form(), 1);
        QCOMPARE(RowCounts(Form()), QList<int>({1, 1}));
        QVERIFY(GridOf(Form(), History).Rec(0) != gone);
    }

    void anAccountWhoseRecordsAreGoneShowsNothing()
    {
        AddAccount(Form(), "100");
        AddAccount(Form(), "200");
        Form().ShowContent(nullptr);
        ChooseItem(Form(), 1);
        Form().ClearView();
        Form().Content().Delete(0);
        ChooseItem(Form(), 1);
        QVERIFY(Form().VTList().isEmpty());
        QCOMPARE(StatusText(), QStringLiteral("Записей: 0 из 1"));
    }

    void longHolderNamesWidenTheDropDownList()
    {
        const QString longName = QString(60, QChar(u'Щ'));
        AddAccount(Form(), "100");
        TContentRec* holder = AddHolder(Form(), "100", "01", longName, "Ivan");
        Form().ShowContent(nullptr);
        const int wanted = QFontMetrics(Form().cbFilter->font()).horizontalAdvance("100 " + longName + " Ivan") + 24;
        QVERIFY(wanted > Form().cbFilter->width());
        QCOMPARE(Form().cbFilter->view()->minimumWidth(), wanted);

        holder->SetVal("310233", "Ivanov");
        Form().ShowContent(nullptr);
        QCOMPARE(Form().cbFilter->view()->minimumWidth(), 0);  // as wide as the box
    }

    void droppedDownListShowsTwentyItemsOnWhite()
    {
        for (int i = 0; i < 50; ++i)
            AddAccount(Form(), QString::number(1000 + i));
        Form().ShowContent(nullptr);
        Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form()));
        Form().cbFilter->showPopup();
        QAbstractItemView& list = *Form().cbFilter->view();
        QTRY_VERIFY(list.isVisible());

        const int rowHeight = list.visualRect(list.model()->index(0, 0)).height();
        QCOMPARE(list.viewport()->height() / rowHeight, 20);
        QVERIFY(list.verticalScrollBar()->isVisible());
        const QRect unselectedRow = list.visualRect(list.model()->index(5, 0));
        const QImage shown = list.viewport()->grab().toImage();
        QCOMPARE(shown.pixelColor(unselectedRow.right() - 2, unselectedRow.center().y()), QColor(Qt::white));
        Form().cbFilter->hidePopup();
    }
};

QTEST_MAIN(TAccountFilterTest)
#include "tst_accountfilter.moc"
