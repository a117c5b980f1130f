// uvotool contracts and import against the sample bank on the scripted endpoint.

#include "TdsEndpoint.h"
#include "UvoToolFixture.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

const QStringList Password = {"UVO_DB_PASSWORD=sample"};

class ImportCommand : public ::testing::Test {
protected:
    void SetUp() override { bank = TTdsEndpoint::SampleBank(dir.Path("uvoedit.ini")); }

    TToolRun Run(const QStringList& arguments, const QStringList& environment = Password, const QByteArray& input = {})
    {
        return RunTool(arguments, dir.Root(), environment, input);
    }

    // The findings of check but those the sample bank delivers on purpose.
    QStringList Unexpected(const QString& file)
    {
        QStringList findings;
        for (const QString& line : RunTool({"check", file}, dir.Root()).OutLines())
            if (line.startsWith(file + u':') && line.contains(" record ") && !line.contains("field 310016") &&
                !line.contains("field 310022"))
                findings << line;
        return findings;
    }

    TWorkDir dir;
    std::unique_ptr<TTdsEndpoint> bank;
};

}  // namespace

TEST_F(ImportCommand, ListsContractsAndWritesAFileThatPassesCheck)
{
    const TToolRun list = Run({"contracts", "--user", "uvo", "--from", "2000-01-01", "--format", "json"});
    ASSERT_EQ(list.ExitCode, 0) << list.Err.toStdString();
    const QJsonArray contracts = QJsonDocument::fromJson(list.Out.toUtf8()).array();
    EXPECT_EQ(contracts.size(), 36);
    EXPECT_EQ(contracts[0].toObject()["DealID"].toString(), "5001");

    const TToolRun import = Run({"import", "--user", "uvo", "--from", "2000-01-01", "-o", "out.uvo"});
    ASSERT_EQ(import.ExitCode, 0) << import.Err.toStdString();
    EXPECT_EQ(import.Out, "out.uvo: 432 records of 36 contracts.\n");
    EXPECT_EQ(Unexpected("out.uvo"), QStringList());
    EXPECT_EQ(RunTool({"check", "out.uvo"}, dir.Root()).ExitCode, 1);  // the sample's invalid values
    EXPECT_TRUE(dir.Read("out.uvo").startsWith("300000"));
}

TEST_F(ImportCommand, AppendsChosenContractsWithThePasswordFromStandardInput)
{
    TUvoFileBuilder file;
    TUvoFileBuilder::AddSound(file, {"B1"});
    dir.Write("file.uvo", file.Bytes());
    const TToolRun run = Run({"import", "--user", "uvo", "--password-stdin", "--deals", "5001,5002", "--mode",
                              "take-on", "--append", "file.uvo"},
                             {}, "sample\n");
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(RunTool({"check", "file.uvo"}, dir.Root()).ExitCode, 0);
    const QList<QByteArray> lines = dir.Read("file.uvo").split('\n');
    EXPECT_EQ(lines.size(), 1 + 4 + 2 * (12 + 2) + 1);  // Header, B1, two take-on contracts, Trailer, end
}

TEST_F(ImportCommand, AFailedLoginWritesNothingAndShowsNoPassword)
{
    TUvoFileBuilder file;
    TUvoFileBuilder::AddSound(file, {"B1"});
    dir.Write("file.uvo", file.Bytes());
    for (const QStringList& target : {QStringList{"-o", "new.uvo"}, QStringList{"--append", "file.uvo"}}) {
        const TToolRun run = Run(QStringList{"import", "--user", "uvo"} + target, {"UVO_DB_PASSWORD=Wr0ng-pw"});
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Err.contains("Login failed for user 'uvo'.")) << run.Err.toStdString();
        EXPECT_FALSE(run.Err.contains("Wr0ng-pw"));
    }
    EXPECT_EQ(dir.Read("new.uvo"), "<missing>");
    EXPECT_EQ(dir.Read("file.uvo"), file.Bytes());
}

TEST_F(ImportCommand, DoesNotAppendToAFileWhoseReadingPassedOverData)
{
    TUvoFileBuilder file;
    TUvoFileBuilder::AddSound(file, {"B1"});
    const QByteArray bytes = file.Bytes() + "\x1a" "300100 after the end mark\r\n";
    dir.Write("file.uvo", bytes);
    const TToolRun run = Run({"import", "--user", "uvo", "--deals", "5001", "--append", "file.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains("reading passed over data")) << run.Err.toStdString();
    EXPECT_EQ(dir.Read("file.uvo"), bytes);
}

TEST_F(ImportCommand, RefusesWhatCannotGoIntoACommand)
{
    const QList<std::pair<QStringList, QString>> calls = {
        {{"contracts", "--finance-type", "1'"}, "'1'' is not a finance type code."},
        {{"contracts", "--fo", "1;drop"}, "--fo takes the number of a financial operation."},
        {{"import", "--deals", "5001,x", "-o", "a.uvo"}, "--deals takes DealIDs separated by commas."},
        {{"import", "--from", "31.02.2021", "-o", "a.uvo"}, "a date is not a date; use yyyy-mm-dd or dd.mm.yyyy."},
        {{"import"}, "give either -o OUT or --append FILE."},
        {{"contracts", "--connection", "Data Source=x;User ID=uvo;Password=sample"},
         "a password does not belong on the command line"},
    };
    for (const auto& [call, message] : calls) {
        const TToolRun run = Run(call);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Err.contains(message)) << run.Err.toStdString();
    }
    EXPECT_TRUE(Run({"contracts", "--user", "uvo"}, {}).Err.contains("no password: set UVO_DB_PASSWORD"));
}

namespace {

const QString January = "--from=2021-01-01";
const QString JanuaryEnd = "--to=2021-01-31";
const QString RecordsOf4711 = "exec UVOEditGetInfo '20210101','20210131',4711,'',1";
const QStringList Secret = {"UVO_DB_PASSWORD=secret"};

// uvotool against an endpoint scripted for the case at hand.
class ScriptedBank : public ::testing::Test {
protected:
    TToolRun Run(const TTdsEndpoint& endpoint, QStringList arguments)
    {
        arguments << "--connection" << endpoint.AdoConnectionString() << "--user" << TTdsEndpoint::User << January
                  << JanuaryEnd;
        return RunTool(arguments, dir.Root(), Secret, {});
    }

    TWorkDir dir;
};

QJsonObject ContractList(const QString& command, const QJsonArray& row)
{
    const QList<std::pair<QString, QString>> columns = {
        {"DealID", "nvarchar"}, {"DealDate", "datetime"}, {"DealNumber", "nvarchar"}, {"FOBrief", "nvarchar"},
        {"DealQty", "nvarchar"}, {"Fund", "nvarchar"}, {"ClName", "nvarchar"},      {"FT", "nvarchar"}};
    return {{command, QJsonArray{Reply::ResultSet(columns, {row})}}};
}

}  // namespace

TEST_F(ScriptedBank, ValuesTheFileCannotHoldAreListedAndNoControlCharacterReachesIt)
{
    const QList<std::pair<QString, QString>> columns = {
        {"RecID", "nvarchar"}, {"310011", "nvarchar"}, {"310022", "nvarchar"}};
    const TTdsEndpoint endpoint(QJsonObject{
        {RecordsOf4711,
         QJsonArray{Reply::ResultSet(columns, {QJsonArray{"300100", "A1\r\n300999INJECTED\x1a", "100"},
                                               QJsonArray{"300100", "Счёт 😀 中文", QString(60, u'1')}})}}});
    QStringList import = {"import", "--deals", "4711", "-o", "out.uvo"};

    const TToolRun refused = Run(endpoint, import);
    EXPECT_EQ(refused.ExitCode, 1) << refused.Err.toStdString();
    EXPECT_EQ(refused.Err,
              "uvotool: out.uvo: record 1 (300100, DealID 4711), field 310011 (Consumer Account Number): control characters "
              "replaced by spaces: \"A1\\r\\n300999INJECTED\\x1A\"\n"
              "uvotool: out.uvo: record 2 (300100, DealID 4711), field 310011 (Consumer Account Number): characters that "
              "Windows-1251 lacks: \"Счёт 😀 中文\"\n"
              "uvotool: out.uvo: record 2 (300100, DealID 4711), field 310022 (Amount of Finance): 60 characters, longer "
              "than its width 15: \"" + QString(60, u'1') + "\"\n"
              "uvotool: out.uvo: values do not fit the file as delivered; nothing written (--force writes them cut to their "
              "fields, with '?' for characters Windows-1251 lacks).\n");
    EXPECT_EQ(dir.Read("out.uvo"), "<missing>");

    const TToolRun forced = Run(endpoint, import << "--force");
    ASSERT_EQ(forced.ExitCode, 0) << forced.Err.toStdString();
    const QByteArray file = dir.Read("out.uvo");
    EXPECT_FALSE(file.contains('\x1a'));
    const QList<QByteArray> lines = file.split('\n');
    ASSERT_EQ(lines.size(), 5);  // Header, two Accounts, Trailer, end
    EXPECT_TRUE(lines[1].contains("A1  300999INJECTED "));
    EXPECT_TRUE(lines[3].startsWith("300999"));
}

TEST_F(ScriptedBank, NumbersOutOfRangeOrNoNumbersAreErrorsNamingTheRow)
{
    const QList<std::pair<QJsonArray, QString>> cases = {
        {{"1", "2021-01-05", "К-1", "КФЛ", "1000000000000000.00", "RUR", "Клиент", "01"},
         "Строка 1 ответа базы данных. Столбец DealQty: «1000000000000000.00» — число вне допустимых пределов."},
        {{"1", "2021-01-05", "К-1", "КФЛ", "1e20", "RUR", "Клиент", "01"}, "«1e20» — число вне допустимых пределов."},
        {{"1", "2021-01-05", "К-1", "КФЛ", "abc", "RUR", "Клиент", "01"}, "Столбец DealQty: «abc» — не число."},
        {{"x12", "2021-01-05", "К-1", "КФЛ", "1.5", "RUR", "Клиент", "01"}, "Столбец DealID: «x12» — не целое число."},
    };
    for (const auto& [row, message] : cases) {
        const TTdsEndpoint endpoint(ContractList("exec UVOEditGetInfo '20210101','20210131',0,'',0", row));
        const TToolRun run = Run(endpoint, {"contracts"});
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Err.contains(message)) << run.Err.toStdString();
        EXPECT_EQ(run.Out, "");
    }
}

TEST_F(ScriptedBank, TheServersTextIsPrintedEscaped)
{
    const TTdsEndpoint endpoint(
        QJsonObject{{RecordsOf4711, QJsonArray{Reply::Error("Deadlock\r\nout.uvo: 9 records.\x1b[2J")}}});
    const TToolRun run = Run(endpoint, {"import", "--deals", "4711", "-o", "out.uvo"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains("Deadlock\\r\\nout.uvo: 9 records.\\x1B[2J")) << run.Err.toStdString();
    EXPECT_EQ(run.Err.count(u'\n'), 1);
    EXPECT_EQ(dir.Read("out.uvo"), "<missing>");
}
