// Connection strings from Windows machines, for the ODBC driver and for the login.

#include "OdbcConnectionString.h"
#include "TDatabase.h"

#include <gtest/gtest.h>

TEST(OdbcConnectionStringTest, TranslatesWindowsStringsForFreeTds)
{
    EXPECT_EQ(OdbcConnectionString::FromAdo(
                  "Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=FA;Data Source=SRV\\INST"),
              "Driver={FreeTDS};Server={SRV\\INST};Database={FA};Trusted_Connection=Yes;TDS_Version=7.4;"
              "ClientCharset=UTF-8");
    EXPECT_EQ(OdbcConnectionString::FromAdo("Provider=SQLOLEDB.1;Persist Security Info=True;User ID=uvo;"
                                            "Password=\"p;w\";Initial Catalog=FA;Data Source=tcp:db.bank,1433"),
              "Driver={FreeTDS};Server={db.bank};Port={1433};Database={FA};UID={uvo};PWD={p;w};TDS_Version=7.4;"
              "ClientCharset=UTF-8");
    EXPECT_EQ(OdbcConnectionString::FromAdo("Provider=SQLOLEDB.1;Data Source=(local)"),
              "Driver={FreeTDS};Server={localhost};TDS_Version=7.4;ClientCharset=UTF-8");
}

TEST(OdbcConnectionStringTest, OdbcStringsPassThrough)
{
    for (const QString text : {"Driver={FreeTDS};Server=a;Port=1;UID=u;PWD=p", "DSN=Fa;UID=u", "dsn=Fa"})
        EXPECT_EQ(OdbcConnectionString::FromAdo(text), text);
}

TEST(OdbcConnectionStringTest, ALoginTakesThePlaceOfTheStringsOwn)
{
    EXPECT_EQ(OdbcConnectionString::WithLogin("Driver={FreeTDS};UID={a};Server=s;PWD={b};Trusted_Connection=Yes",
                                              "Пётр", "x}y"),
              "Driver={FreeTDS};Server=s;UID={Пётр};PWD=x}y;");  // the driver reads a braced value up to its first '}'
    EXPECT_THROW(OdbcConnectionString::WithLogin("Driver={FreeTDS}", "uvo", "p;w}d"), TDbError);
}

TEST(LoginRequestTest, ReadsTheStringAsTheWindowsProgramDoes)
{
    const TLoginRequest windows =
        TLoginRequest::For("Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=FA;Data Source=s");
    EXPECT_FALSE(windows.NeedsLogin);

    // Only exactly "SSPI" does without a login; the name is found in any case.
    EXPECT_TRUE(TLoginRequest::For("Integrated Security=sspi").NeedsLogin);
    EXPECT_FALSE(TLoginRequest::For("integrated SECURITY=SSPI").NeedsLogin);
    // A blank after ';' belongs to the next name, which is then not found.
    EXPECT_TRUE(TLoginRequest::For("Provider=SQLOLEDB.1; Integrated Security=SSPI").NeedsLogin);

    const TLoginRequest login =
        TLoginRequest::For("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Initial Catalog=FaBank");
    EXPECT_TRUE(login.NeedsLogin);
    EXPECT_EQ(login.Database, "FaBank");
    EXPECT_EQ(login.UserName, "sa");

    EXPECT_EQ(TLoginRequest::For("User ID=\"\";Initial Catalog=FA").UserName, "");
    EXPECT_EQ(TLoginRequest::For("User ID= sa ").UserName, " sa ");
}
