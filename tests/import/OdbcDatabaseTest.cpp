// The database layer through the real ODBC driver and the scripted endpoint.

#include "TOdbcDatabase.h"
#include "TdsEndpoint.h"

#include <gtest/gtest.h>

namespace {

const QString LongCyrillic = QStringLiteral("Иванов Пётр Ёжикович; ").repeated(200);  // 4,600 characters

QJsonObject Answers()
{
    const QList<std::pair<QString, QString>> everyType = {
        {"Text", "nvarchar"}, {"Memo", "nvarchar(max)"}, {"Id", "bigint"},
        {"Small", "int"},     {"Day", "datetime"},       {"Amount", "money"}};
    return {
        {"select nulls",
         QJsonArray{Reply::ResultSet(
             everyType, {QJsonArray{QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue()},
                         QJsonArray{"Клиент", "Договор", 4711, -5, "2021-01-15 13:45:00", -1234.5}})}},
        {"select long", QJsonArray{Reply::ResultSet({{"Memo", "nvarchar(max)"}}, {QJsonArray{LongCyrillic}})}},
        {"select several", QJsonArray{Reply::ResultSet({{"A", "int"}}, {QJsonArray{1}, QJsonArray{2}}), Reply::Count(3),
                                      Reply::ResultSet({{"Empty", "nvarchar"}}, {}), Reply::Count(0),
                                      Reply::ResultSet({{"B", "nvarchar"}, {"C", "int"}}, {QJsonArray{"три", 3}})}},
        {"select failing", QJsonArray{Reply::Error("Invalid object name 'tMissing'.", 208)}},
        {"select slow", QJsonArray{Reply::Delay(4), Reply::ResultSet({{"A", "int"}}, {QJsonArray{1}})}},
        {"select after", QJsonArray{Reply::ResultSet({{"A", "int"}}, {QJsonArray{7}})}},
    };
}

class OdbcDatabaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { endpoint = new TTdsEndpoint(Answers()); }
    static void TearDownTestSuite() { delete endpoint; }

    void SetUp() override
    {
        database.SetCommandTimeout(1);
        database.Open(endpoint->AdoConnectionString(), TDbCredentials{TTdsEndpoint::User, TTdsEndpoint::Password});
    }

    static inline TTdsEndpoint* endpoint = nullptr;
    TOdbcDatabase database;
};

}  // namespace

TEST_F(OdbcDatabaseTest, NullReadsAsEmptyTextOrZeroForEveryType)
{
    const auto reply = database.Execute("select nulls");
    ASSERT_TRUE(reply->NextResultSet());
    ASSERT_EQ(reply->ColumnCount(), 6);
    EXPECT_EQ(reply->ColumnName(4), "Day");
    EXPECT_EQ(reply->ColumnIndex("amount"), 5);
    EXPECT_EQ(reply->ColumnIndex("Missing"), -1);

    ASSERT_TRUE(reply->NextRow());
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(reply->Text(column), "") << column;
    EXPECT_EQ(reply->Int64(2), 0);
    EXPECT_EQ(reply->Date(4), QDate());
    EXPECT_EQ(reply->Currency(5), 0);

    ASSERT_TRUE(reply->NextRow());
    EXPECT_EQ(reply->Text(0), "Клиент");
    EXPECT_EQ(reply->Text(1), "Договор");
    EXPECT_EQ(reply->Int64(2), 4711);
    EXPECT_EQ(reply->Int64(3), -5);
    EXPECT_EQ(reply->Date(4), QDate(2021, 1, 15));
    EXPECT_EQ(reply->Currency(5), -12345000);
    EXPECT_FALSE(reply->NextRow());
    EXPECT_FALSE(reply->NextResultSet());
}

TEST_F(OdbcDatabaseTest, LongCyrillicTextArrivesWhole)
{
    const auto reply = database.Execute("select long");
    ASSERT_TRUE(reply->NextResultSet());
    ASSERT_TRUE(reply->NextRow());
    EXPECT_EQ(reply->Text(0).size(), LongCyrillic.size());
    EXPECT_EQ(reply->Text(0), LongCyrillic);
}

TEST_F(OdbcDatabaseTest, StepsThroughResultSetsPassingOverRowCounts)
{
    const auto reply = database.Execute("select several");
    QStringList seen;
    while (reply->NextResultSet()) {
        seen << reply->ColumnName(0) + u':';
        while (reply->NextRow())
            seen.last() += reply->Text(0) + u' ';
    }
    EXPECT_EQ(seen, QStringList({"A:1 2 ", "Empty:", "B:три "}));
}

TEST_F(OdbcDatabaseTest, ErrorsCarryTheServersText)
{
    try {
        database.Execute("select failing")->NextResultSet();
        FAIL() << "no error";
    } catch (const TDbError& error) {
        EXPECT_TRUE(error.Message().contains("Invalid object name 'tMissing'.")) << error.Message().toStdString();
        EXPECT_FALSE(error.ConnectionLost());
    }
}

TEST_F(OdbcDatabaseTest, ASlowReplyTimesOutAndTheConnectionLivesOn)
{
    try {
        database.Execute("select slow")->NextResultSet();
        FAIL() << "no time-out";
    } catch (const TDbError& error) {
        EXPECT_EQ(error.State(), "HYT00");
        EXPECT_FALSE(error.ConnectionLost());
        EXPECT_TRUE(error.Message().contains("Timeout expired")) << error.Message().toStdString();
    }
    const auto reply = database.Execute("select after");
    ASSERT_TRUE(reply->NextResultSet() && reply->NextRow());
    EXPECT_EQ(reply->Int64(0), 7);
}

TEST_F(OdbcDatabaseTest, AWrongPasswordIsRefusedWithoutShowingIt)
{
    TOdbcDatabase other;
    try {
        other.Open(endpoint->AdoConnectionString(), TDbCredentials{TTdsEndpoint::User, "wrong-Pa55"});
        FAIL() << "logged in";
    } catch (const TDbError& error) {
        EXPECT_TRUE(error.Message().contains("Login failed for user 'uvo'.")) << error.Message().toStdString();
        EXPECT_FALSE(error.Message().contains("wrong-Pa55"));
    }
    EXPECT_FALSE(other.IsOpen());
}

TEST(OdbcLogin, APasswordWithABraceLogsInAndOneTheDriverCannotCarryIsRefused)
{
    const QString braced = QStringLiteral("Pa}s=s");
    TTdsEndpoint endpoint({{"select 1", QJsonArray{Reply::ResultSet({{"n", "int"}}, {QJsonArray{1}})}}}, braced);
    TOdbcDatabase database;
    database.Open(endpoint.AdoConnectionString(), TDbCredentials{TTdsEndpoint::User, braced});
    EXPECT_TRUE(database.IsOpen());
    database.Close();
    try {
        database.Open(endpoint.AdoConnectionString(), TDbCredentials{TTdsEndpoint::User, "x};Port={1"});
        FAIL() << "a password that would move the connection was passed on";
    } catch (const TDbError& error) {
        EXPECT_TRUE(error.Message().startsWith("Пароль содержит «}»")) << error.Message().toStdString();
        EXPECT_FALSE(error.Message().contains("Port")) << error.Message().toStdString();
    }
    EXPECT_FALSE(database.IsOpen());
}

TEST_F(OdbcDatabaseTest, AConnectionWhoseServerWentAwayIsNoLongerOpen)
{
    auto gone = std::make_unique<TTdsEndpoint>(Answers());
    TOdbcDatabase other;
    other.Open(gone->AdoConnectionString(), TDbCredentials{TTdsEndpoint::User, TTdsEndpoint::Password});
    EXPECT_TRUE(other.IsOpen());
    gone.reset();
    EXPECT_THROW(other.Execute("select after")->NextResultSet(), TDbError);
    EXPECT_FALSE(other.IsOpen());
}

// The first command after a restart fails with "Unknown error", the next ones
// with "Communication link failure": both say that the link is lost.
TEST_F(OdbcDatabaseTest, ACommandAfterTheServerRestartedReportsTheLinkLost)
{
    TTdsEndpoint restarting(Answers());
    TOdbcDatabase other;
    const TDbCredentials login{TTdsEndpoint::User, TTdsEndpoint::Password};
    other.Open(restarting.AdoConnectionString(), login);
    restarting.Restart();
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            other.Execute("select after")->NextResultSet();
            FAIL() << "no error";
        } catch (const TDbError& error) {
            EXPECT_TRUE(error.ConnectionLost()) << error.State().toStdString() << ' ' << error.Message().toStdString();
        }
    }
    EXPECT_FALSE(other.IsOpen());
    other.Open(restarting.AdoConnectionString(), login);
    const auto reply = other.Execute("select after");
    ASSERT_TRUE(reply->NextResultSet() && reply->NextRow());
    EXPECT_EQ(reply->Int64(0), 7);
}
