#include "OdbcConnectionString.h"

#include "TConnectionString.h"
#include "TDatabase.h"

#include <QStringList>

namespace OdbcConnectionString {
namespace {

// "Server=..." and, for host,port, "Port=...".
QStringList ServerPairs(QString dataSource)
{
    dataSource = dataSource.trimmed();
    if (dataSource.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
        dataSource.remove(0, 4);
    QString port;
    if (const qsizetype comma = dataSource.indexOf(u','); comma >= 0) {
        port = dataSource.mid(comma + 1).trimmed();
        dataSource = dataSource.left(comma).section(u'\\', 0, 0).trimmed();
    }
    if (dataSource.isEmpty() || dataSource == u"." ||
        dataSource.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        dataSource = QStringLiteral("localhost");
    QStringList pairs{QStringLiteral("Server=") + Braced(dataSource)};
    if (!port.isEmpty())
        pairs.append(QStringLiteral("Port=") + Braced(port));
    return pairs;
}

}  // namespace

namespace {
const QString UserNameWhat = QStringLiteral("Имя пользователя");
const QString PasswordWhat = QStringLiteral("Пароль");
}  // namespace

QString Braced(const QString& value, const QString& what)
{
    if (!value.contains(u'}'))
        return u'{' + value + u'}';
    // Plain, the value reads back alike for the driver and for a reader that knows quotes.
    const bool plainReadsBack = !value.contains(u';') && !value.startsWith(u'{') && !value.startsWith(u'"') &&
                                !value.startsWith(u'\'') && value.trimmed() == value;
    if (!plainReadsBack)
        throw TDbError(QStringLiteral("%1 содержит «}» вместе с «;», с кавычкой или «{» в начале или с пробелом "
                                      "по краям: драйвер базы данных не может передать такое значение.")
                            .arg(what.isEmpty() ? QStringLiteral("Значение строки подключения") : what));
    return value;
}

QString FromAdo(const QString& text)
{
    const TConnectionString ado(text);
    if (ado.Contains(QStringLiteral("Driver")) || ado.Contains(QStringLiteral("DSN")))
        return text;
    QStringList pairs{QStringLiteral("Driver=") + Braced(DriverName)};
    pairs += ServerPairs(ado.Value(TConnectionString::DataSource));
    if (ado.Contains(TConnectionString::InitialCatalog))
        pairs.append(QStringLiteral("Database=") + Braced(ado.Value(TConnectionString::InitialCatalog)));
    if (ado.IsIntegratedSecurity()) {
        pairs.append(QStringLiteral("Trusted_Connection=Yes"));
    } else {
        if (ado.Contains(TConnectionString::UserID))
            pairs.append(QStringLiteral("UID=") + Braced(ado.Value(TConnectionString::UserID), UserNameWhat));
        if (ado.Contains(TConnectionString::Password))
            pairs.append(QStringLiteral("PWD=") + Braced(ado.Value(TConnectionString::Password), PasswordWhat));
    }
    pairs.append(QStringLiteral("TDS_Version=") + TdsVersion);
    pairs.append(QStringLiteral("ClientCharset=UTF-8"));
    return pairs.join(u';');
}

QString WithLogin(const QString& odbc, const QString& userName, const QString& password)
{
    TConnectionString connection(odbc);
    for (const QString& key : {TConnectionString::UserID, TConnectionString::Password,
                               TConnectionString::IntegratedSecurity})
        connection.Remove(key);
    QString text = connection.ToString();
    if (!text.isEmpty() && !text.endsWith(u';'))
        text += u';';
    // FreeTDS keeps the closing brace of a value that ends the string: a ';' ends it.
    return text + QStringLiteral("UID=") + Braced(userName, UserNameWhat) + QStringLiteral(";PWD=") +
           Braced(password, PasswordWhat) + u';';
}

}  // namespace OdbcConnectionString

TLoginRequest TLoginRequest::For(const QString& connectionString)
{
    if (TConnectionString::PlainLookUp(connectionString, TConnectionString::IntegratedSecurity) == u"SSPI")
        return {false, {}, {}};
    TLoginRequest request;
    request.Database = TConnectionString::PlainLookUp(connectionString, TConnectionString::InitialCatalog).value_or(QString());
    request.UserName = TConnectionString::PlainLookUp(connectionString, TConnectionString::UserID).value_or(QString());
    if (request.UserName == u"\"\"")
        request.UserName.clear();
    return request;
}
