#pragma once

#include <QString>

// Connection strings for the ODBC driver. Users bring the strings of their
// Windows machines (OLE DB: "Provider=SQLOLEDB.1;Initial Catalog=FA;Data
// Source=SRV\INST;..."); they are translated for the FreeTDS driver, which is
// registered with the driver manager under the name "FreeTDS". A string that
// already names an ODBC driver or data source is used as it is.
namespace OdbcConnectionString {

inline const QString DriverName = QStringLiteral("FreeTDS");
// The protocol version of SQL Server 2012 and later.
inline const QString TdsVersion = QStringLiteral("7.4");

// Data Source becomes Server (host, host\instance) or Server and Port
// (host,port); Initial Catalog becomes Database; User ID and Password become
// UID and PWD; Windows authentication becomes a trusted (Kerberos) connection.
QString FromAdo(const QString& text);

// The ODBC string with this user name and password in place of any login it
// names, trusted or not.
QString WithLogin(const QString& odbc, const QString& userName, const QString& password);

// A value as the FreeTDS driver reads it back: in braces, within which the
// driver takes every character up to the first '}'; a value holding '}' is
// written plain, which the driver takes up to the next ';'. A value it can
// carry neither way ('}' with ';', or with a quote or '{' first, or a blank
// at either end) is refused with a TDbError naming it by what.
QString Braced(const QString& value, const QString& what = QString());

}  // namespace OdbcConnectionString

// What the import asks before it connects: nothing when the string asks for
// Windows authentication with exactly "SSPI", else a user name and password,
// offering the database and the user named in the string. The string is read
// as the users' Windows program reads it: split at ';' only, names in any
// case, values exactly as written.
struct TLoginRequest {
    bool NeedsLogin = true;
    QString Database;
    QString UserName;

    static TLoginRequest For(const QString& connectionString);
};
