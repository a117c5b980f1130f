// Reading a connection string into pairs and writing it back.

#include "TConnectionString.h"

#include <gtest/gtest.h>

namespace {

using CS = TConnectionString;

const QString Typical = QStringLiteral(
    "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=secret;Initial Catalog=FaBank;"
    "Data Source=SRV01\\FA;Application Name=x");

}  // namespace

TEST(ConnectionStringTest, ReadsPairsByNameWhateverTheCase)
{
    const CS connection(Typical);
    EXPECT_EQ(connection.Names(), QStringList({"Provider", "Persist Security Info", "User ID", "Password",
                                               "Initial Catalog", "Data Source", "Application Name"}));
    EXPECT_EQ(connection.Value("data source"), "SRV01\\FA");
    EXPECT_EQ(connection.Value("INITIAL CATALOG"), "FaBank");
    EXPECT_EQ(connection.Value("Application Name"), "x");
    EXPECT_TRUE(connection.Contains("persist security info"));
    EXPECT_FALSE(connection.Contains("Integrated Security"));
    EXPECT_EQ(connection.Value("Integrated Security"), QString());
}

TEST(ConnectionStringTest, KnowsKeysUnderTheirOtherNames)
{
    struct Case {
        QString Text;
        QString Key;
        QString Value;
    };
    const Case cases[] = {
        {"Server=a", CS::DataSource, "a"},          {"Address=a", CS::DataSource, "a"},
        {"addr=a", CS::DataSource, "a"},            {"Database=b", CS::InitialCatalog, "b"},
        {"UID=u", CS::UserID, "u"},                 {"User=u", CS::UserID, "u"},
        {"PWD=p", CS::Password, "p"},               {"Trusted_Connection=yes", CS::IntegratedSecurity, "yes"},
        {"  Data   Source = a b ", CS::DataSource, "a b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CS(c.Text).Value(c.Key), c.Value) << c.Text.toStdString();
}

TEST(ConnectionStringTest, ReadsQuotedValues)
{
    const CS connection(QStringLiteral(
        "Password=\"a;b\";Application Name='it''s; here';Driver={SQL Server};Extended Properties=\"say \"\"hi\"\"\";"
        "Data Source = 'srv' "));
    EXPECT_EQ(connection.Value(CS::Password), "a;b");
    EXPECT_EQ(connection.Value("Application Name"), "it's; here");
    EXPECT_EQ(connection.Value("Driver"), "SQL Server");
    EXPECT_EQ(connection.Value("Extended Properties"), "say \"hi\"");
    EXPECT_EQ(connection.Value(CS::DataSource), "srv");
    EXPECT_EQ(connection.Names().size(), 5);

    // A quote never closed belongs to the value and swallows no pair after it.
    const CS unclosed(QStringLiteral("Password=\"a;User ID=sa;Data Source={srv"));
    EXPECT_EQ(unclosed.Value(CS::Password), "\"a");
    EXPECT_EQ(unclosed.Value(CS::UserID), "sa");
    EXPECT_EQ(unclosed.Value(CS::DataSource), "{srv");
    // A doubled '=' in a name stands for itself.
    EXPECT_EQ(CS("a==b=1;c=2").Value("a=b"), "1");
}

TEST(ConnectionStringTest, UnchangedTextComesBackExactly)
{
    const QString texts[] = {
        QString(),
        Typical,
        QStringLiteral(";"),
        QStringLiteral("Data Source=a;"),
        QStringLiteral(" Provider = SQLOLEDB.1 ;; junk ;Password='x;y'  ;User ID=\"q\"\"r\""),
        QStringLiteral("Driver={SQL Server};Server=s"),
    };
    for (const QString& text : texts)
        EXPECT_EQ(CS(text).ToString(), text);
}

TEST(ConnectionStringTest, SettingAValueRewritesOnlyItsPair)
{
    CS connection(QStringLiteral("Provider=SQLOLEDB.1; server = old ;Application Name='a;b'"));
    connection.SetValue(CS::DataSource, "new");
    EXPECT_EQ(connection.ToString(), "Provider=SQLOLEDB.1; server =new;Application Name='a;b'");

    connection.SetValue(CS::DataSource, "new");  // the same value leaves the text alone
    EXPECT_EQ(connection.ToString(), "Provider=SQLOLEDB.1; server =new;Application Name='a;b'");

    connection.SetValue(CS::InitialCatalog, "fa");
    EXPECT_EQ(connection.ToString(), "Provider=SQLOLEDB.1; server =new;Application Name='a;b';Initial Catalog=fa");
}

TEST(ConnectionStringTest, AddedPairsGoBeforeATrailingSeparator)
{
    CS connection(QStringLiteral("Provider=SQLOLEDB.1;"));
    connection.SetValue(CS::UserID, "sa");
    EXPECT_EQ(connection.ToString(), "Provider=SQLOLEDB.1;User ID=sa;");

    CS empty;
    empty.SetValue(CS::DataSource, "srv");
    EXPECT_EQ(empty.ToString(), "Data Source=srv");
}

TEST(ConnectionStringTest, QuotesValuesThatNeedIt)
{
    EXPECT_EQ(CS::QuoteValue("plain value"), "plain value");
    EXPECT_EQ(CS::QuoteValue(""), "");
    EXPECT_EQ(CS::QuoteValue("a;b"), "\"a;b\"");
    EXPECT_EQ(CS::QuoteValue(" lead"), "\" lead\"");
    EXPECT_EQ(CS::QuoteValue("say \"hi\""), "say \"hi\"");
    EXPECT_EQ(CS::QuoteValue("\"hi\""), "'\"hi\"'");
    EXPECT_EQ(CS::QuoteValue("{x}"), "\"{x}\"");
    EXPECT_EQ(CS::QuoteValue("'a'; \"b\""), "\"'a'; \"\"b\"\"\"");

    // Whatever is written reads back as the value that was set.
    for (const QString value : {"a;b", " lead", "\"hi\"", "'a'; \"b\"", "{x}", "it's", "=abc", "\"open"}) {
        CS connection(QStringLiteral("Provider=SQLOLEDB.1;Password=old;Data Source=s"));
        connection.SetValue(CS::Password, value);
        const CS reread(connection.ToString());
        EXPECT_EQ(reread.Value(CS::Password), value) << connection.ToString().toStdString();
        EXPECT_EQ(reread.Value(CS::DataSource), "s");
        EXPECT_EQ(reread.Names(), QStringList({"Provider", "Password", "Data Source"}));
    }
}

TEST(ConnectionStringTest, RemovesEveryPairOfAKeyAndKeepsTheRest)
{
    CS connection(QStringLiteral("UID=a;Provider=SQLOLEDB.1;User ID=b;Persist Security Info=True;PWD=x"));
    connection.Remove(CS::UserID);
    connection.Remove(CS::Password);
    EXPECT_EQ(connection.ToString(), "Provider=SQLOLEDB.1;Persist Security Info=True");
    connection.Remove("Application Name");  // absent: nothing happens
    EXPECT_EQ(connection.ToString(), "Provider=SQLOLEDB.1;Persist Security Info=True");
}

TEST(ConnectionStringTest, AKeyGivenTwiceCountsOnceByItsLastPair)
{
    CS connection(QStringLiteral("Server=first;Provider=SQLOLEDB.1;Data Source=second"));
    EXPECT_EQ(connection.Value(CS::DataSource), "second");
    connection.SetValue(CS::DataSource, "third");
    EXPECT_EQ(connection.ToString(), "Provider=SQLOLEDB.1;Data Source=third");
}

TEST(ConnectionStringTest, TellsWindowsAuthentication)
{
    EXPECT_TRUE(CS("Integrated Security=SSPI").IsIntegratedSecurity());
    EXPECT_TRUE(CS("integrated security=true").IsIntegratedSecurity());
    EXPECT_TRUE(CS("Trusted_Connection=Yes").IsIntegratedSecurity());
    EXPECT_FALSE(CS("Integrated Security=False").IsIntegratedSecurity());
    EXPECT_FALSE(CS("User ID=sa").IsIntegratedSecurity());
}
