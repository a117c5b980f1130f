// The connection string parser and writer, and the translation of Windows
// strings for the ODBC driver: a string parsed, written and parsed again
// holds the same pairs, and the translation keeps the values it carries.

#include "FuzzSupport.h"

#include "OdbcConnectionString.h"
#include "TConnectionString.h"
#include "TDatabase.h"

namespace {

// Every pair written anew, through the writer's quoting.
TConnectionString Rewritten(const TConnectionString& parsed)
{
    TConnectionString written;
    for (const QString& name : parsed.Names())
        written.SetValue(name, parsed.Value(name));
    return TConnectionString(written.ToString());
}

void ExpectSameValues(const TConnectionString& a, const TConnectionString& b)
{
    for (const QString& name : a.Names()) {
        FUZZ_EXPECT(b.Contains(name));
        FUZZ_EXPECT(b.Value(name) == a.Value(name));
    }
}

void ExpectTranslated(const QString& text, const TConnectionString& ado)
{
    QString translated;
    try {
        translated = OdbcConnectionString::FromAdo(text);
    } catch (const TDbError&) {
        // Refused only for a login the driver could not be given.
        FUZZ_EXPECT(ado.Value(TConnectionString::UserID).contains(u'}') ||
                    ado.Value(TConnectionString::Password).contains(u'}'));
        return;
    }
    const TConnectionString odbc(translated);
    if (ado.Contains(QStringLiteral("Driver")) || ado.Contains(QStringLiteral("DSN"))) {
        FUZZ_EXPECT(odbc.ToString() == text);
        return;
    }
    FUZZ_EXPECT(odbc.Value(QStringLiteral("Driver")) == OdbcConnectionString::DriverName);
    FUZZ_EXPECT(odbc.Contains(QStringLiteral("Server")));
    if (ado.Contains(TConnectionString::InitialCatalog))
        FUZZ_EXPECT(odbc.Value(QStringLiteral("Database")) == ado.Value(TConnectionString::InitialCatalog));
    if (!ado.IsIntegratedSecurity()) {
        FUZZ_EXPECT(odbc.Value(QStringLiteral("UID")) == ado.Value(TConnectionString::UserID));
        FUZZ_EXPECT(odbc.Value(QStringLiteral("PWD")) == ado.Value(TConnectionString::Password));
    }
    QString withLogin;
    try {
        withLogin = OdbcConnectionString::WithLogin(odbc.ToString(), ado.Value(TConnectionString::UserID),
                                                    ado.Value(TConnectionString::Password));
    } catch (const TDbError&) {
        FUZZ_EXPECT(ado.Value(TConnectionString::UserID).contains(u'}') ||
                    ado.Value(TConnectionString::Password).contains(u'}'));
        return;
    }
    const TConnectionString login(withLogin);
    FUZZ_EXPECT(login.Value(QStringLiteral("UID")) == ado.Value(TConnectionString::UserID));
    FUZZ_EXPECT(login.Value(QStringLiteral("PWD")) == ado.Value(TConnectionString::Password));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(Bytes(data, size));
    const TConnectionString parsed(text);
    FUZZ_EXPECT(parsed.ToString() == text);  // an unchanged string comes back exactly

    const TConnectionString reparsed = Rewritten(parsed);
    ExpectSameValues(parsed, reparsed);
    ExpectSameValues(reparsed, parsed);
    FUZZ_EXPECT(Rewritten(reparsed).ToString() == reparsed.ToString());

    ExpectTranslated(text, parsed);
    return 0;
}
