// The import's command texts, contract list and record generation, through
// the real driver and the scripted endpoint.

#include "FaCommands.h"
#include "ShippedFormatFixture.h"
#include "TContent.h"
#include "TFaImport.h"
#include "TMemoryDatabase.h"
#include "TOdbcDatabase.h"
#include "TSettings.h"
#include "TUvoError.h"
#include "TdsEndpoint.h"

#include <gtest/gtest.h>

namespace {

const TPeriod January{QDate(2021, 1, 1), QDate(2021, 1, 31)};

QString Call(qint64 deal) { return FaCommands::RecordCall(January, deal, TImportMode::Update); }

QJsonObject Answers()
{
    const QList<std::pair<QString, QString>> loanColumns = {
        {"DealID", "bigint"}, {"DealDate", "datetime"}, {"DealNumber", "nvarchar"}, {"FOBrief", "nvarchar"},
        {"DealQty", "money"}, {"Fund", "nvarchar"},     {"ClName", "nvarchar"},     {"FT", "nvarchar"}};
    const QList<std::pair<QString, QString>> account = {
        {"RecID", "nvarchar"}, {"310011", "nvarchar"}, {"310003", "nvarchar"}, {"319999", "nvarchar"}};
    return {
        {FaCommands::FOListQuery(),
         QJsonArray{Reply::ResultSet({{"InstrumentID", "bigint"}, {"Name", "nvarchar"}},
                                     {QJsonArray{12, "Кредиты физлицам"}, QJsonArray{7, "Овердрафты"}})}},
        {"exec UVOEditGetInfo '20210101','20210131',0,'',0",
         QJsonArray{Reply::Count(2),
                    Reply::ResultSet(loanColumns, {QJsonArray{1, "2021-01-05 10:30:00", "К-1", "КФЛ", 150000.5, "RUR",
                                                              "Иванов И.И.", "01", "extra"},
                                                   QJsonArray{2, {}, {}, {}, {}, {}, {}, {}}}),
                    Reply::ResultSet({{"Other", "int"}}, {QJsonArray{9}})}},
        {"exec UVOEditGetInfo '20210101','20210131',12,'21',0",
         QJsonArray{Reply::ResultSet(loanColumns.mid(0, 7), {})}},
        {Call(1), QJsonArray{Reply::ResultSet(account, {QJsonArray{"300100", "A1", "02", "x"},
                                                        QJsonArray{"300777", "A1", "01", "x"}}),
                             Reply::Count(1)}},
        {Call(2), QJsonArray{Reply::Count(0)}},
        {Call(3), QJsonArray{Reply::ResultSet({{"Type", "nvarchar"}, {"310011", "nvarchar"}, {"310233", "nvarchar"}},
                                              {QJsonArray{"300300", "A1", "Петров"}})}},
        {Call(4), QJsonArray{Reply::Error("Deal 4 is locked.")}},
        {Call(5), QJsonArray{Reply::ResultSet(account, {QJsonArray{"300100", "A5", {}, {}}})}},
        {"exec UVOEditGetInfo '20210101','20210131',4711,'',2",
         QJsonArray{Reply::ResultSet(account, {QJsonArray{"300100", "T1", "03", {}}})}},
    };
}

// Counts progress and can end the run before a given contract.
class TScriptedControl : public TRunControl {
public:
    int StopBefore = 0;  // 1-based; 0: never
    bool Keep = true;
    int Done = 0;
    bool GoOn() override { return StopBefore == 0 || Done + 1 < StopBefore; }
    void Progress(int done, int) override { Done = done; }
    bool KeepRecords() override { return Keep; }
};

class FaImportTest : public ShippedFormatFixture {
protected:
    static void SetUpTestSuite() { endpoint = new TTdsEndpoint(Answers()); }
    static void TearDownTestSuite() { delete endpoint; }

    void SetUp() override
    {
        settings.SubscriberCode = "12345";
        settings.FinanceType = "01";
        settings.SubscriberName = "Банк";
        database.Open(endpoint->AdoConnectionString(), TDbCredentials{TTdsEndpoint::User, TTdsEndpoint::Password});
        import.SetToday(QDate(2024, 3, 1));
    }

    TRecordList Generate(const std::vector<qint64>& deals, TImportMode mode = TImportMode::Update)
    {
        TScriptedControl control;
        auto records = import.Generate(deals, January, mode, "01", control);
        EXPECT_TRUE(records);
        return records ? std::move(*records) : TRecordList();
    }

    static QStringList Lines(const TContent& content)
    {
        QStringList lines;
        for (const TContentRec* rec : content.Records())
            lines << rec->Rec->RecID + u' ' + rec->Account;
        return lines;
    }

    static inline TTdsEndpoint* endpoint = nullptr;
    TSettings settings;
    TOdbcDatabase database;
    TFaImport import{database, Format(), settings};
};

using FaCommandsTest = ShippedFormatFixture;
using FaRunLogicTest = ShippedFormatFixture;

}  // namespace

TEST_F(FaCommandsTest, CommandTextsOfTheListAndTheRecords)
{
    EXPECT_EQ(FaCommands::FOListQuery(),
              "select InstrumentID,Name from tInstrument(nolock) where TableName='TCDeal_T' order by Name");
    EXPECT_EQ(FaCommands::ContractListCall(Format(), January, 0, ""),
              "exec UVOEditGetInfo '20210101','20210131',0,'',0");
    EXPECT_EQ(FaCommands::ContractListCall(Format(), {QDate(2020, 12, 24), QDate(2021, 2, 3)}, 42, "21"),
              "exec UVOEditGetInfo '20201224','20210203',42,'21',0");
    EXPECT_EQ(FaCommands::RecordCall(January, 4711, TImportMode::TakeOn),
              "exec UVOEditGetInfo '20210101','20210131',4711,'',2");
    EXPECT_EQ(FaCommands::RecordCall(January, 5, TImportMode::Update),
              "exec UVOEditGetInfo '20210101','20210131',5,'',1");
}

TEST_F(FaCommandsTest, OnlyFinanceTypeCodesReachTheCommand)
{
    for (const QString refused : {"99", "2", "21'", "'--", "21 "})
        EXPECT_THROW(FaCommands::ContractListCall(Format(), January, 0, refused), TUvoError) << refused.toStdString();
}

TEST_F(FaImportTest, ReadsTheFinancialOperations)
{
    const std::vector<TFO> list = import.ReadFOList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].FOID, 12);
    EXPECT_EQ(list[0].Name, "Кредиты физлицам");
    EXPECT_EQ(list[1].FOID, 7);
}

TEST_F(FaImportTest, ReadsTheContractListByColumnName)
{
    const std::vector<TLoan> loans = import.ReadLoanList(January, 0, "");
    ASSERT_EQ(loans.size(), 2u);
    EXPECT_EQ(loans[0].DealID, 1);
    EXPECT_EQ(loans[0].DealDate, QDate(2021, 1, 5));
    EXPECT_EQ(loans[0].DealNumber, "К-1");
    EXPECT_EQ(loans[0].FOBrief, "КФЛ");
    EXPECT_EQ(loans[0].DealQty, 1500005000);
    EXPECT_EQ(loans[0].Fund, "RUR");
    EXPECT_EQ(loans[0].ClName, "Иванов И.И.");
    EXPECT_EQ(loans[0].FT, "01");
    EXPECT_EQ(loans[1].DealID, 2);
    EXPECT_EQ(loans[1].DealDate, QDate());
    EXPECT_EQ(loans[1].ClName, "");
    EXPECT_EQ(loans[1].DealQty, 0);

    try {
        import.ReadLoanList(January, 12, "21");
        FAIL() << "a list without FT was read";
    } catch (const TDbError& error) {
        EXPECT_TRUE(error.Message().contains("FT"));
    }
}

TEST_F(FaImportTest, DeliveredValuesOverrideKnownOnesAndTheRunsFinanceType)
{
    const TRecordList records = Generate({1, 2, 3});
    ASSERT_EQ(records.size(), 2u);  // the unknown record type is passed over
    const TContentRec& account = *records[0];
    EXPECT_EQ(account.Rec->RecID, "300100");
    EXPECT_EQ(account.GetVal("310000"), "300100");
    EXPECT_EQ(account.GetVal("310011"), "A1");
    EXPECT_EQ(account.GetVal("310003"), "02");
    EXPECT_EQ(account.GetVal("310002"), "12345");
    const TContentRec& consumer = *records[1];
    EXPECT_EQ(consumer.GetVal("310003"), "01");
    EXPECT_EQ(consumer.GetVal("310233"), "Петров");
    EXPECT_EQ(consumer.Account, "A1");
}

TEST_F(FaImportTest, TakeOnAsksForTheWholeHistory)
{
    const TRecordList records = Generate({4711}, TImportMode::TakeOn);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->GetVal("310011"), "T1");
}

TEST_F(FaImportTest, ANewFileOfNothingHoldsOnlyHeaderAndTrailer)
{
    content.CreateBoundsRecs();
    import.Store(Generate({2}), TImportTarget::NewFile, January.To, content);
    ASSERT_EQ(Lines(content), QStringList({"300000 ", "300999 "}));
    const TContentRec* header = content.GetHeaderRec();
    EXPECT_EQ(header->GetVal("310009"), "20210131");
    EXPECT_EQ(header->GetVal("310010"), "20210131");
    EXPECT_EQ(header->GetVal("310002"), "12345");
    EXPECT_EQ(content.GetTrailerRec()->GetVal("310107"), "000000000");
    EXPECT_EQ(content.GetTrailerRec()->GetVal("310110"), "000000000");
}

TEST_F(FaImportTest, AppendingRecountsAndSortsTheWholeFile)
{
    content.CreateBoundsRecs();
    auto existing = content.CreateNewOnRec(Format().AccountRec);
    existing->SetVal("310000", "300100");
    existing->SetVal("310011", "B1");
    existing->CalcSortStr();
    content.Add(std::move(existing));
    content.CalcRecsCount();

    import.Store(Generate({3, 1}), TImportTarget::CurrentFile, January.To, content);
    EXPECT_EQ(Lines(content), QStringList({"300000 ", "300100 A1", "300300 A1", "300100 B1", "300999 "}));
    EXPECT_EQ(content.GetTrailerRec()->GetVal("310107"), "000000002");
    EXPECT_EQ(content.GetTrailerRec()->GetVal("310110"), "000000001");
}

TEST_F(FaImportTest, AFailureAtTheFourthOfFiveContractsKeepsNothing)
{
    TScriptedControl control;
    try {
        import.Generate({1, 2, 3, 4, 5}, January, TImportMode::Update, "01", control);
        FAIL() << "the run went through";
    } catch (const TDbError& error) {
        EXPECT_TRUE(error.Message().contains("Deal 4 is locked.")) << error.Message().toStdString();
    }
    EXPECT_EQ(control.Done, 3);
}

// The run's logic on a database in memory: cancelling before a contract or
// during the last one keeps nothing.
TEST_F(FaRunLogicTest, ACancelledRunKeepsNothing)
{
    TMemoryDatabase memory;
    for (const qint64 deal : {1, 2, 3})
        memory.Replies[Call(deal)] = {{{"RecID", "310011"}, {{"300100", QString("A%1").arg(deal)}}}};
    const TSettings settings;
    TFaImport run(memory, Format(), settings);

    TScriptedControl beforeThird;
    beforeThird.StopBefore = 3;
    EXPECT_FALSE(run.Generate({1, 2, 3}, January, TImportMode::Update, "01", beforeThird));
    EXPECT_EQ(memory.Executed, QStringList({Call(1), Call(2)}));

    TScriptedControl duringLast;
    duringLast.Keep = false;
    EXPECT_FALSE(run.Generate({1, 3}, January, TImportMode::Update, "01", duringLast));
    EXPECT_EQ(duringLast.Done, 2);

    TScriptedControl through;
    const auto records = run.Generate({3, 1}, January, TImportMode::Update, "01", through);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2u);
    EXPECT_EQ(records->front()->Account, "A3");
}
