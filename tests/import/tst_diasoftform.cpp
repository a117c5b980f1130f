// The import dialog "Диасофт Fa#" in the main window: connecting with or
// without a login, the financial operations and the contract list, sorting
// and marking contracts, and the generation run into a new or the open file.

#include "ShownText.h"
#include "AppWindows.h"
#include "FaCommands.h"
#include "TContent.h"
#include "TDiasoftForm.h"
#include "TLoanModel.h"
#include "TMainForm.h"
#include "TMemoryDatabase.h"
#include "TSettingsForm.h"
#include "TWidgetPrompts.h"
#include "TdsEndpoint.h"
#include "UiTestSupport.h"
#include "ViewFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

const TPeriod January{QDate(2021, 1, 1), QDate(2021, 1, 31)};
const QString AllContracts = QStringLiteral("exec UVOEditGetInfo '20210101','20210131',0,'',0");
const QString RevolvingOfFO12 = QStringLiteral("exec UVOEditGetInfo '20210101','20210131',12,'21',0");
const QString OverdraftsOfFO7 = QStringLiteral("exec UVOEditGetInfo '20210101','20210131',7,'',0");
const QString DialogTitle = QStringLiteral("Диасофт Fa#");

QString Call(qint64 deal) { return FaCommands::RecordCall(January, deal, TImportMode::Update); }

void SetJanuary(TDiasoftForm& form)
{
    form.dtDate1->setDate(January.From);
    form.dtDate2->setDate(January.To);
}

void ChooseLine(QComboBox& list, const QString& prefix)
{
    list.setCurrentIndex(list.findText(prefix, Qt::MatchStartsWith));
    QVERIFY(list.currentIndex() >= 0);
}

QStringList Lines(const TContent& content)
{
    QStringList lines;
    for (const TContentRec* rec : content.Records())
        lines << rec->Rec->RecID + u' ' + rec->Account;
    return lines;
}

void PressSpace(TDiasoftForm& form, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(form.LoanVT, Qt::Key_Space, modifiers);
}

// The contract list of the scripted endpoint, as the bank's procedure gives it.
QJsonObject EndpointAnswers()
{
    const QList<std::pair<QString, QString>> loanColumns = {
        {"DealID", "bigint"}, {"DealDate", "datetime"}, {"DealNumber", "nvarchar"}, {"FOBrief", "nvarchar"},
        {"DealQty", "money"}, {"Fund", "nvarchar"},     {"ClName", "nvarchar"},     {"FT", "nvarchar"}};
    return {
        {FaCommands::FOListQuery(),
         QJsonArray{Reply::ResultSet({{"InstrumentID", "bigint"}, {"Name", "nvarchar"}},
                                     {QJsonArray{12, "Кредиты физлицам"}, QJsonArray{7, "Овердрафты"}})}},
        {AllContracts, QJsonArray{Reply::ResultSet(
                           loanColumns, {QJsonArray{1, "2021-01-05 10:30:00", "К-1", "КФЛ", 150000.5, "RUR", "Яковлев", "01"},
                                         QJsonArray{2, "2021-01-06", "К-2", "ОВР", 99.994, "USD", "Алексеев", "02"}})}},
        {RevolvingOfFO12, QJsonArray{Reply::ResultSet(
                              loanColumns, {QJsonArray{3, "2021-01-07", "К-3", "КФЛ", 10, "RUR", "Борисов", "21"}})}},
        {OverdraftsOfFO7, QJsonArray{Reply::ResultSet(
                              loanColumns, {QJsonArray{2, "2021-01-06", "К-2", "ОВР", 99.994, "USD", "Алексеев", "02"}})}},
        {Call(2), QJsonArray{Reply::ResultSet({{"RecID", "nvarchar"}, {"310011", "nvarchar"}}, {QJsonArray{"300100", "A2"}})}},
    };
}

// A main window whose import dialog works on a database in memory: five
// contracts of January 2021, "Клиент 1" to "Клиент 5", each giving one
// Account record A1 to A5. Loaded, the grid shows them in that order.
class TMemoryImport {
public:
    explicit TMemoryImport(bool loaded = true)
    {
        auto database = std::make_unique<TMemoryDatabase>();
        DB = database.get();
        Dialog().SetDatabase(std::move(database));
        QList<QStringList> rows;
        for (int deal = 1; deal <= 5; ++deal) {
            rows << QStringList{QString::number(deal), QStringLiteral("2021-01-0%1").arg(deal),
                                QStringLiteral("К-%1").arg(deal), "КФЛ", "1000", "RUR", QStringLiteral("Клиент %1").arg(deal),
                                "01"};
            DB->Replies[Call(deal)] = {{{"RecID", "310011"}, {{"300100", QStringLiteral("A%1").arg(deal)}}}};
        }
        DB->Replies[AllContracts] = {{{"DealID", "DealDate", "DealNumber", "FOBrief", "DealQty", "Fund", "ClName", "FT"}, rows}};
        if (!loaded)
            return;
        DB->Open({});
        SetJanuary(Dialog());
        Dialog().LoadLoanList();
        Dialog().SetVocusOnVT();
    }

    TDiasoftForm& Dialog() const { return Window.Form->DiasoftForm(); }
    TMainForm& Form() const { return *Window.Form; }

    // Esc reaches the dialog while the database answers this command.
    void EscapeDuring(const QString& command)
    {
        DB->OnExecute = [this, command](const QString& executed) {
            if (executed == command)
                QCoreApplication::postEvent(&Dialog(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        };
    }

    void MarkAllAndStart()
    {
        PressSpace(Dialog(), Qt::ControlModifier);
        QTest::mouseClick(Dialog().btnStart, Qt::LeftButton);
    }

    // Nothing of a dropped or failed run is left, and the dialog is ready again.
    void VerifyIdleWithNothingKept() const
    {
        QCOMPARE(Form().Content().Count(), 0);
        QVERIFY(!Form().RecsChanged());
        QCOMPARE(Dialog().result(), int(QDialog::Rejected));
        QVERIFY(!Dialog().FlInProgress());
        QVERIFY(Dialog().ProgressBar->isHidden());
        QVERIFY(Dialog().Panel1->isEnabled() && Dialog().LoanVT->isEnabled() && Dialog().btnStart->isEnabled());
        QCOMPARE(Dialog().StatusText(1), QString());
        QCOMPARE(Dialog().StatusText(0), QStringLiteral("Отмечено: 5 из 5"));
    }

    TFreshWindow Window;
    TMemoryDatabase* DB = nullptr;
};

const TShownPrompt AbortQuestion{TPromptKind::Question, QStringLiteral("Загрузка из Fa#"),
                                 QStringLiteral("Прервать выполнение?")};

}  // namespace

class TDiasoftFormTest : public QObject {
    Q_OBJECT

private slots:
    void theDialogAsBuilt();
    void loginOnlyUnlessWindowsAuthenticationIsAskedForExactly_data();
    void loginOnlyUnlessWindowsAuthenticationIsAskedForExactly();
    void theLoginBoxAsksForTheRestOfTheLogin();
    void aWrongPasswordShowsTheApplicationsErrorBox();
    void listsTheContractsAndShowsThemAgainWithTheirMarks();
    void sortsDatesByDayAmountsByValueAndTheRestByText();
    void amountsUseTheLocalesSeparators();
    void marksFollowSpaceAndGenerationFollowsTheMarks();
    void homeAndEndGoToTheFirstAndTheLastContract();
    void aDateIsTypedAfterAClickIntoTheDay();
    void aFailedLoadLeavesNoContracts();
    void aLostLinkIsReportedAndTheNextActionConnectsAgain();
    void generatesANewUntitledFileOnceTheOpenOneMayBeLeft();
    void appendsToTheOpenFile();
    void valuesTheFileCannotHoldAreToldBeforeTheRecordsAreStored();
    void escapeAtTheThirdOfFiveAsksBeforeTheFourth_data();
    void escapeAtTheThirdOfFiveAsksBeforeTheFourth();
    void escapeDuringTheLastContractDropsTheRunWithoutAsking();
    void aFailureAtTheFourthOfFiveKeepsNothing();
    void aChangedConnectionStringClosesTheConnection();
    void theSampleBankListsAllItsContractsInThePresetPeriod();
};

void TDiasoftFormTest::theDialogAsBuilt()
{
    TMemoryImport import(false);
    TDiasoftForm& form = import.Dialog();
    QCOMPARE(form.windowTitle(), DialogTitle);
    QCOMPARE(form.size(), QSize(895, 615));
    QCOMPARE(form.dtDate2->date(), QDate::currentDate());
    QCOMPARE(form.dtDate1->date(), QDate::currentDate().addDays(-7));
    QCOMPARE(form.cbFinanceType->itemText(0), QStringLiteral("<Любой>"));
    QCOMPARE(form.cbFinanceType->currentIndex(), 0);  // the settings name no finance type
    QCOMPARE(form.cbFinanceType->maxVisibleItems(), 20);
    QVERIFY(form.rbUpdate->isChecked() && form.rbNew->isChecked());
    QVERIFY(!form.btnStart->isEnabled());
    QVERIFY(form.btnStart->font().bold());
    QVERIFY(form.ProgressBar->isHidden());
    QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 0 из 0"));
    QCOMPARE(form.LoanVT->horizontalHeader()->sectionSize(TLoanModel::DateCol), 80);
}

void TDiasoftFormTest::loginOnlyUnlessWindowsAuthenticationIsAskedForExactly_data()
{
    QTest::addColumn<QString>("connectionString");
    QTest::addColumn<QList<TShownPrompt>>("shown");
    const TShownPrompt dialog{TPromptKind::Dialog, DialogTitle, QString()};
    QTest::newRow("SSPI") << "Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=FA"
                          << QList<TShownPrompt>{dialog};
    QTest::newRow("sspi") << "Provider=SQLOLEDB.1;Integrated Security=sspi;Initial Catalog=FA;User ID=uvo"
                          << QList<TShownPrompt>{{TPromptKind::Login, "FA", "uvo"}};
    QTest::newRow("blank before the name") << "Provider=SQLOLEDB.1; Integrated Security=SSPI;Initial Catalog=FA"
                                           << QList<TShownPrompt>{{TPromptKind::Login, "FA", ""}};
    QTest::newRow("quoted empty user") << "Initial Catalog=Bank;User ID=\"\""
                                       << QList<TShownPrompt>{{TPromptKind::Login, "Bank", ""}};
}

// A cancelled login shows nothing further: no message, no dialog.
void TDiasoftFormTest::loginOnlyUnlessWindowsAuthenticationIsAskedForExactly()
{
    QFETCH(QString, connectionString);
    QFETCH(QList<TShownPrompt>, shown);
    TMemoryImport import(false);
    import.Form().Settings.ConnectionString = connectionString;
    import.Form().actLoadFromDB->trigger();
    QCOMPARE(import.Window.Prompts.Shown, shown);
    QCOMPARE(import.DB->IsOpen(), shown.constFirst().Kind == TPromptKind::Dialog);
}

void TDiasoftFormTest::theLoginBoxAsksForTheRestOfTheLogin()
{
    TWidgetPrompts widgets;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(box);
        [box] {
            QCOMPARE(box->windowTitle(), QStringLiteral("Database Login"));
            const QList<QLineEdit*> edits = box->findChildren<QLineEdit*>();
            QCOMPARE(edits.size(), 2);
            QCOMPARE(edits[0]->text(), QStringLiteral("uvo"));
            QCOMPARE(edits[1]->echoMode(), QLineEdit::Password);
            QCOMPARE(edits[0]->maxLength(), 31);
            QCOMPARE(edits[1]->maxLength(), 31);
            QCOMPARE(box->focusWidget(), edits[1]);
            QTest::keyClicks(edits[1], QStringLiteral("secret"));
            QTest::keyClick(edits[1], Qt::Key_Return);
        }();
        if (box->isVisible())
            box->reject();
    });
    QCOMPARE(widgets.LoginBox(QStringLiteral("FA"), QStringLiteral("uvo")), std::optional<TLogin>(TLogin{"uvo", "secret"}));
}

void TDiasoftFormTest::aWrongPasswordShowsTheApplicationsErrorBox()
{
    const TTdsEndpoint endpoint(EndpointAnswers());
    TFreshWindow window;
    window.Form->Settings.ConnectionString = endpoint.AdoConnectionString() + QStringLiteral(";User ID=uvo");
    window.Prompts.Logins.push_back(TLogin{"uvo", "wrong"});
    window.Form->actLoadFromDB->trigger();
    QCOMPARE(window.Prompts.Shown.size(), 2);
    const TShownPrompt& error = window.Prompts.Shown[1];
    QCOMPARE(error.Kind, TPromptKind::AppError);
    QCOMPARE(error.Title, QStringLiteral("UVO Edit"));
    QVERIFY2(error.Text.contains(QStringLiteral("Login failed for user 'uvo'.")), qPrintable(error.Text));
    QVERIFY(!window.Form->DiasoftForm().DB().IsOpen());
}

// Through the real driver: the operations read at connecting with the last
// one chosen preselected, the contract lists of the choices, and a second run
// of the command showing the dialog at once as it was left.
void TDiasoftFormTest::listsTheContractsAndShowsThemAgainWithTheirMarks()
{
    const TTdsEndpoint endpoint(EndpointAnswers());
    TFreshWindow window;
    TMainForm& main = *window.Form;
    TDiasoftForm& form = main.DiasoftForm();
    main.Settings.ConnectionString = endpoint.AdoConnectionString();
    main.Settings.FOID = 7;
    window.Prompts.Logins.push_back(TLogin{TTdsEndpoint::User, TTdsEndpoint::Password});
    window.Prompts.Dialogs.push_back([&](QDialog&) {
        [&] {
            QCOMPARE(form.cbFOList->count(), 3);
            QCOMPARE(form.cbFOList->itemText(0), QStringLiteral("<Все ФО>"));
            QCOMPARE(form.cbFOList->itemText(1), QStringLiteral("Кредиты физлицам"));
            QCOMPARE(form.cbFOList->currentText(), QStringLiteral("Овердрафты"));
            form.cbFOList->setCurrentIndex(0);
            SetJanuary(form);
            QTest::mouseClick(form.btnQueryLoanList, Qt::LeftButton);
            QCOMPARE(form.Loans().rowCount(), 2);
            QCOMPARE(form.Loans().Loan(0).ClName, QStringLiteral("Алексеев"));  // sorted by client
            QVERIFY(!form.LoanVT->isColumnHidden(TLoanModel::FOCol) && !form.LoanVT->isColumnHidden(TLoanModel::FTCol));
            QCOMPARE(main.Settings.FOID, 0);

            ChooseLine(*form.cbFOList, QStringLiteral("Кредиты физлицам"));
            ChooseLine(*form.cbFinanceType, QStringLiteral("21 Revolving Account"));
            QTest::mouseClick(form.btnQueryLoanList, Qt::LeftButton);
            QCOMPARE(form.Loans().rowCount(), 1);
            QVERIFY(form.LoanVT->isColumnHidden(TLoanModel::FOCol) && form.LoanVT->isColumnHidden(TLoanModel::FTCol));
            QCOMPARE(main.Settings.FOID, 12);
            QCOMPARE(form.LoanVT->currentIndex().row(), 0);
            PressSpace(form);
        }();
        return int(QDialog::Rejected);
    });
    main.actLoadFromDB->trigger();
    QCOMPARE(window.Prompts.Shown.size(), 2);

    window.Prompts.Dialogs.push_back([&](QDialog&) {
        [&] {
            QCOMPARE(form.Loans().rowCount(), 1);
            QVERIFY(form.Loans().Loan(0).Selected);
            QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 1 из 1"));
        }();
        return int(QDialog::Rejected);
    });
    main.actLoadFromDB->trigger();
    QCOMPARE(window.Prompts.Shown.size(), 3);  // no second login
    QCOMPARE(window.Prompts.Shown.last().Kind, TPromptKind::Dialog);
    QCOMPARE(window.Prompts.Unanswered, 0);
}

void TDiasoftFormTest::sortsDatesByDayAmountsByValueAndTheRestByText()
{
    TLoanModel model;
    TLoan nine{1, QDate(2021, 1, 5), "9", "", 100000, "", "b", "", false};
    TLoan ten{2, QDate(2021, 1, 5), "10", "", 90000, "", "a", "", false};
    model.SetLoans({nine, ten});
    const auto deals = [&] { return QList<qint64>{model.Loan(0).DealID, model.Loan(1).DealID}; };
    model.sort(TLoanModel::AmountCol, Qt::AscendingOrder);
    QCOMPARE(deals(), QList<qint64>({2, 1}));  // 9.00 before 10.00
    model.sort(TLoanModel::NumberCol, Qt::AscendingOrder);
    QCOMPARE(deals(), QList<qint64>({2, 1}));  // "10" before "9"
    model.sort(TLoanModel::NumberCol, Qt::DescendingOrder);
    QCOMPARE(deals(), QList<qint64>({1, 2}));
    model.sort(TLoanModel::DateCol, Qt::DescendingOrder);
    QCOMPARE(deals(), QList<qint64>({1, 2}));  // the same day: equal, left as they were
    QCOMPARE(TLoanModel::Compare(nine, ten, TLoanModel::DateCol), 0);
    ten.ClName = "B";
    QVERIFY(TLoanModel::Compare(ten, nine, TLoanModel::ClientCol) < 0);  // by character code
}

void TDiasoftFormTest::amountsUseTheLocalesSeparators()
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QCOMPARE(TLoanModel::AmountText(12345000, russian),
             u'1' + russian.groupSeparator() + QStringLiteral("234") + russian.decimalPoint() + QStringLiteral("50"));
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(TLoanModel::AmountText(999949, english), QStringLiteral("99.99"));
    QCOMPARE(TLoanModel::AmountText(-999950, english), QStringLiteral("-100.00"));
}

void TDiasoftFormTest::marksFollowSpaceAndGenerationFollowsTheMarks()
{
    TMemoryImport import;
    TDiasoftForm& form = import.Dialog();
    QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 0 из 5"));
    QCOMPARE(form.LoanVT->currentIndex().row(), 0);

    PressSpace(form);
    QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 1 из 5"));
    QVERIFY(form.btnStart->isEnabled());
    QCOMPARE(form.LoanVT->currentIndex().row(), 1);
    QCOMPARE(form.Loans().data(form.Loans().index(0, TLoanModel::FundCol), Qt::BackgroundRole).value<QBrush>().color(),
             QColor(0, 255, 255));

    PressSpace(form, Qt::ControlModifier);
    QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 5 из 5"));
    PressSpace(form, Qt::ControlModifier | Qt::ShiftModifier);  // no such combination: left alone
    QCOMPARE(form.SelectedCount(), 5);
    PressSpace(form, Qt::ShiftModifier);
    QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 0 из 5"));
    QVERIFY(!form.btnStart->isEnabled());

    form.LoanVT->setCurrentIndex(form.Loans().index(4, 0));
    PressSpace(form);
    QVERIFY(form.Loans().Loan(4).Selected);
    QCOMPARE(form.LoanVT->currentIndex().row(), 4);
    QVERIFY(form.btnStart->isEnabled());
    PressSpace(form);
    QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 0 из 5"));
    QVERIFY(!form.btnStart->isEnabled());
}

void TDiasoftFormTest::homeAndEndGoToTheFirstAndTheLastContract()
{
    TMemoryImport import;
    QTableView& grid = *import.Dialog().LoanVT;
    grid.setColumnHidden(TLoanModel::FOCol, true);
    const auto selectedRows = [&] {
        QList<int> rows;
        for (const QModelIndex& index : grid.selectionModel()->selectedRows())
            rows << index.row();
        return rows;
    };
    QTest::keyClick(&grid, Qt::Key_End);
    QCOMPARE(grid.currentIndex().row(), 4);
    QCOMPARE(selectedRows(), QList<int>{4});
    QTest::keyClick(&grid, Qt::Key_Home);
    QCOMPARE(grid.currentIndex().row(), 0);
    QCOMPARE(selectedRows(), QList<int>{0});
}

// A click puts the cursor into the day; the digits typed then fill the day,
// the month and the year in turn.
void TDiasoftFormTest::aDateIsTypedAfterAClickIntoTheDay()
{
    TMemoryImport import;
    TDiasoftForm& form = import.Dialog();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (QDateEdit* picker : {form.dtDate1, form.dtDate2}) {
        auto* text = picker->findChild<QLineEdit*>();
        const QPoint betweenTheDigitsOfTheDay(text->fontMetrics().horizontalAdvance(u'0'), text->height() / 2);
        QTest::mouseClick(text, Qt::LeftButton, Qt::NoModifier, betweenTheDigitsOfTheDay);
        QCOMPARE(QApplication::focusWidget(), picker);
        QTest::keyClicks(picker, QStringLiteral("01112026"));
        QCOMPARE(picker->date(), QDate(2026, 11, 1));
    }
    form.hide();
}

void TDiasoftFormTest::aFailedLoadLeavesNoContracts()
{
    TMemoryImport import;
    PressSpace(import.Dialog());
    import.DB->Replies.remove(AllContracts);
    QTest::mouseClick(import.Dialog().btnQueryLoanList, Qt::LeftButton);
    QCOMPARE(import.Window.Prompts.Shown,
             QList<TShownPrompt>({{TPromptKind::Error, QStringLiteral("Ошибка"),
                                   QStringLiteral("Ошибка при загрузке списка договоров: \r\n"
                                                  "Could not find stored procedure for: ") + AllContracts}}));
    QCOMPARE(import.Dialog().Loans().rowCount(), 0);
    QCOMPARE(import.Dialog().StatusText(0), QStringLiteral("Отмечено: 0 из 0"));
    QVERIFY(!import.Dialog().btnStart->isEnabled());
}

// The server restarts while the dialog is open: the load, and later the run,
// say that the link is lost, and the next of them logs in again, with the
// choices and marks kept.
void TDiasoftFormTest::aLostLinkIsReportedAndTheNextActionConnectsAgain()
{
    TTdsEndpoint endpoint(EndpointAnswers());
    TFreshWindow window;
    TMainForm& main = *window.Form;
    TDiasoftForm& form = main.DiasoftForm();
    main.Settings.ConnectionString = endpoint.AdoConnectionString() + QStringLiteral(";User ID=uvo");
    const TLogin login{TTdsEndpoint::User, TTdsEndpoint::Password};
    window.Prompts.Logins = {login, login, login};
    const TShownPrompt loginBox{TPromptKind::Login, QStringLiteral("FA"), QStringLiteral("uvo")};
    // Clicks the button on a restarted server: the link is reported lost, and
    // the connection is closed.
    const auto clickAfterRestart = [&](QPushButton* button, const QString& prefix) {
        endpoint.Restart();
        QTest::mouseClick(button, Qt::LeftButton);
        const TShownPrompt& error = window.Prompts.Shown.last();
        QCOMPARE(error.Kind, TPromptKind::Error);
        QVERIFY2(error.Text.startsWith(prefix + QStringLiteral(": \r\nСоединение с базой данных Диасофт Fa# потеряно.")),
                 qPrintable(error.Text));
        QVERIFY(!form.DB().IsOpen());
    };
    window.Prompts.Dialogs.push_back([&](QDialog&) {
        [&] {
            SetJanuary(form);
            ChooseLine(*form.cbFOList, QStringLiteral("Овердрафты"));
            clickAfterRestart(form.btnQueryLoanList, QStringLiteral("Ошибка при загрузке списка договоров"));
            QCOMPARE(form.Loans().rowCount(), 0);

            QTest::mouseClick(form.btnQueryLoanList, Qt::LeftButton);
            QCOMPARE(window.Prompts.Shown.last(), loginBox);
            QCOMPARE(form.cbFOList->currentText(), QStringLiteral("Овердрафты"));
            QCOMPARE(form.Loans().rowCount(), 1);

            PressSpace(form);
            clickAfterRestart(form.btnStart, QStringLiteral("Ошибка при получении данных из Fa#"));
            QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 1 из 1"));
            QTest::mouseClick(form.btnStart, Qt::LeftButton);
            QCOMPARE(window.Prompts.Shown.last(), loginBox);
            QCOMPARE(Lines(main.Content()), QStringList({"300000 ", "300100 A2", "300999 "}));
        }();
        return int(QDialog::Rejected);
    });
    main.actLoadFromDB->trigger();
    QCOMPARE(window.Prompts.Unanswered, 0);
    QCOMPARE(window.Prompts.Shown.size(), 6);  // login, dialog, error, login, error, login
}

void TDiasoftFormTest::generatesANewUntitledFileOnceTheOpenOneMayBeLeft()
{
    TMemoryImport import;
    TMainForm& main = import.Form();
    main.SetCurrentFile(QStringLiteral("/data/old.uvo"));
    main.SetRecsChanged(true);
    const int commandsBefore = int(import.DB->Executed.size());
    import.Window.Prompts.Answers = {TAnswer::Cancel};
    import.MarkAllAndStart();
    QCOMPARE(import.DB->Executed.size(), commandsBefore);  // the open file was kept
    QCOMPARE(import.Window.Prompts.Shown.last().Title, QStringLiteral("Сохранить"));

    import.Window.Prompts.Answers = {TAnswer::No};
    QTest::mouseClick(import.Dialog().btnStart, Qt::LeftButton);
    QCOMPARE(Lines(main.Content()),
             QStringList({"300000 ", "300100 A1", "300100 A2", "300100 A3", "300100 A4", "300100 A5", "300999 "}));
    QCOMPARE(main.Content().GetHeaderRec()->GetVal("310009"), QStringLiteral("20210131"));
    QCOMPARE(main.CurrentFile(), QString());
    QCOMPARE(main.windowTitle(), QStringLiteral("UVO - Новый*"));
    QCOMPARE(main.StatusBar->PanelText(0), QStringLiteral("Записей: 7 из 7"));
    QCOMPARE(import.Dialog().result(), int(QDialog::Accepted));
    QCOMPARE(import.Dialog().SelectedCount(), 5);  // the marks stay for the next showing
    QVERIFY(import.Dialog().Loans().Loan(0).Selected);
    QVERIFY(import.Dialog().ProgressBar->isHidden());
    QCOMPARE(import.Dialog().StatusText(1), QString());
}

void TDiasoftFormTest::appendsToTheOpenFile()
{
    TMemoryImport import;
    TMainForm& main = import.Form();
    main.Content().CreateBoundsRecs();
    ViewFixture::AddAccount(main, QStringLiteral("B1"));
    main.SetCurrentFile(QStringLiteral("/data/open.uvo"));
    main.SetRecsChanged(true);
    const QStringList before = Lines(main.Content());
    import.Dialog().rbAdd->setChecked(true);
    import.Dialog().rbTakeOn->setChecked(true);
    import.DB->Replies[FaCommands::RecordCall(January, 1, TImportMode::TakeOn)] = import.DB->Replies[Call(1)];
    PressSpace(import.Dialog());
    QTest::mouseClick(import.Dialog().btnStart, Qt::LeftButton);
    QCOMPARE(import.Window.Prompts.Shown, QList<TShownPrompt>());  // nothing to leave
    QCOMPARE(Lines(main.Content()), QStringList({"300000 ", "300100 A1", "300100 B1", "300999 "}));
    QCOMPARE(main.Content().GetTrailerRec()->GetVal("310107"), QStringLiteral("000000002"));
    QCOMPARE(main.windowTitle(), QStringLiteral("UVO - /data/open.uvo*"));

    // The whole import is one step that undo takes back.
    QCOMPARE(ShownText(*main.actUndo), QStringLiteral("Отменить: загрузка из Fa#"));
    main.actUndo->trigger();
    QCOMPARE(Lines(main.Content()), before);
}

void TDiasoftFormTest::escapeAtTheThirdOfFiveAsksBeforeTheFourth_data()
{
    QTest::addColumn<TAnswer>("answer");
    QTest::addColumn<QStringList>("executed");
    QTest::newRow("go on") << TAnswer::No << QStringList({Call(1), Call(2), Call(3), Call(4), Call(5)});
    QTest::newRow("abort") << TAnswer::Yes << QStringList({Call(1), Call(2), Call(3)});
}

void TDiasoftFormTest::escapeAtTheThirdOfFiveAsksBeforeTheFourth()
{
    QFETCH(TAnswer, answer);
    QFETCH(QStringList, executed);
    TMemoryImport import;
    import.DB->Executed.clear();
    import.EscapeDuring(Call(3));
    import.Window.Prompts.Answers = {answer};
    import.MarkAllAndStart();
    QCOMPARE(import.Window.Prompts.Shown, QList<TShownPrompt>{AbortQuestion});
    QCOMPARE(import.DB->Executed, executed);
    if (answer == TAnswer::No)
        QCOMPARE(import.Form().Content().Count(), 7);
    else
        import.VerifyIdleWithNothingKept();
}

void TDiasoftFormTest::escapeDuringTheLastContractDropsTheRunWithoutAsking()
{
    TMemoryImport import;
    import.EscapeDuring(Call(5));
    import.MarkAllAndStart();
    QCOMPARE(import.Window.Prompts.Shown, QList<TShownPrompt>());
    import.VerifyIdleWithNothingKept();
}

void TDiasoftFormTest::aFailureAtTheFourthOfFiveKeepsNothing()
{
    TMemoryImport import;
    import.DB->Replies.remove(Call(4));
    import.MarkAllAndStart();
    QCOMPARE(import.Window.Prompts.Shown,
             QList<TShownPrompt>({{TPromptKind::Error, QStringLiteral("Ошибка"),
                                   QStringLiteral("Ошибка при получении данных из Fa#: \r\n"
                                                  "Could not find stored procedure for: ") + Call(4)}}));
    import.VerifyIdleWithNothingKept();
}

void TDiasoftFormTest::aChangedConnectionStringClosesTheConnection()
{
    TMemoryImport import;
    TMainForm& main = import.Form();
    main.Settings.ConnectionString = QStringLiteral("Data Source=bank");
    const auto confirmWith = [](const QString& text) {
        return [text](QDialog& dialog) {
            static_cast<TSettingsForm&>(dialog).edConnectionString->setText(text);
            return int(QDialog::Accepted);
        };
    };
    import.Window.Prompts.Dialogs = {confirmWith(QStringLiteral("Data Source=bank")),
                                     confirmWith(QStringLiteral("Data Source=bank2"))};
    main.actSettings->trigger();
    QVERIFY(import.DB->IsOpen());
    main.actSettings->trigger();
    QVERIFY(!import.DB->IsOpen());
}

// What a newcomer sees who starts the sample bank as the README says: its
// settings, the login, and every contract in the period the dialog presets.
void TDiasoftFormTest::theSampleBankListsAllItsContractsInThePresetPeriod()
{
    const TTempCurrentDir dir;
    TScriptedPrompts prompts;
    const auto bank = TTdsEndpoint::SampleBank(dir.FilePath(QStringLiteral("uvoedit.ini")));
    const std::unique_ptr<TMainForm> main = CreateAppWindows();
    TDiasoftForm& form = main->DiasoftForm();
    prompts.Logins.push_back(TLogin{QStringLiteral("uvo"), QStringLiteral("sample")});
    prompts.Dialogs.push_back([&](QDialog&) {
        [&] {
            QTest::mouseClick(form.btnQueryLoanList, Qt::LeftButton);
            QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 0 из 36"));
            const QDate before = form.dtDate1->date().addDays(-1);
            form.dtDate1->setDate(before.addMonths(-1));
            form.dtDate2->setDate(before);
            QTest::mouseClick(form.btnQueryLoanList, Qt::LeftButton);
            QCOMPARE(form.StatusText(0), QStringLiteral("Отмечено: 0 из 0"));
        }();
        return int(QDialog::Rejected);
    });
    main->actLoadFromDB->trigger();
    QCOMPARE(prompts.Shown.size(), 2);  // the login and the dialog
    QCOMPARE(prompts.Unanswered, 0);
}

QTEST_MAIN(TDiasoftFormTest)
#include "tst_diasoftform.moc"

void TDiasoftFormTest::valuesTheFileCannotHoldAreToldBeforeTheRecordsAreStored()
{
    TMemoryImport import;
    const QString longAccount = QString(41, u'7');
    import.DB->Replies[Call(1)] = {{{"RecID", "310011"}, {{"300100", "A1\r\n300999"}, {"300100", longAccount}}}};
    PressSpace(import.Dialog());
    QTest::mouseClick(import.Dialog().btnStart, Qt::LeftButton);
    QCOMPARE(import.Window.Prompts.Shown.size(), 1);
    const TShownPrompt& warning = import.Window.Prompts.Shown.last();
    QCOMPARE(warning.Kind, TPromptKind::Warning);
    QCOMPARE(warning.Title, QStringLiteral("Загрузка из Fa#"));
    QVERIFY2(warning.Text.startsWith(QStringLiteral("Не все значения из Fa# попадут в файл в том виде, в каком "
                                                    "получены (значений: 2).\n\n"
                                                    "Запись 1 (300100, договор 1), поле 310011 «Consumer Account "
                                                    "Number»: управляющие знаки (переводы строки и другие) заменены "
                                                    "пробелами.\n"
                                                    "Запись 2 (300100, договор 1), поле 310011 «Consumer Account "
                                                    "Number»: значение длиннее поля (знаков: 41, ширина поля: 40)")),
             qPrintable(warning.Text));
    QCOMPARE(Lines(import.Form().Content()), QStringList({"300000 ", "300100 " + longAccount, "300100 A1  300999", "300999 "}));
}
