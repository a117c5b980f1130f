#include "TOdbcDatabase.h"

#include "OdbcConnectionString.h"

#include <sql.h>
#include <sqlext.h>

#include <vector>

namespace {

// Whether the driver found the connection's server gone.
bool ConnectionDead(SQLHANDLE connection)
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc = SQLGetConnectAttrW(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(rc) && dead == SQL_CD_TRUE;
}

}  // namespace

// One handle of the ODBC API, freed with its owner.
class TOdbcHandle {
public:
    TOdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : FType(type), FParent(parent)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &FHandle))) {
            FHandle = SQL_NULL_HANDLE;
            throw TDbError(QStringLiteral("Не удалось получить описатель ODBC."));
        }
    }
    ~TOdbcHandle()
    {
        if (FType == SQL_HANDLE_DBC)
            SQLDisconnect(FHandle);
        SQLFreeHandle(FType, FHandle);
    }
    TOdbcHandle(const TOdbcHandle&) = delete;
    TOdbcHandle& operator=(const TOdbcHandle&) = delete;

    SQLHANDLE Get() const { return FHandle; }

    // Throws the driver's diagnostics unless the call succeeded.
    void Check(SQLRETURN rc) const
    {
        if (!SQL_SUCCEEDED(rc))
            ThrowDiagnostics();
    }

    [[noreturn]] void ThrowDiagnostics() const
    {
        QStringList messages;
        QString firstState;
        for (SQLSMALLINT record = 1;; ++record) {
            SQLWCHAR state[6] = {};
            SQLWCHAR text[1024] = {};
            SQLINTEGER native = 0;
            SQLSMALLINT length = 0;
            if (!SQL_SUCCEEDED(SQLGetDiagRecW(FType, FHandle, record, state, &native, text, 1024, &length)))
                break;
            if (firstState.isEmpty())
                firstState = FromWide(state, 5);
            messages.append(FromWide(text, std::min<int>(length, 1023)));
        }
        if (messages.isEmpty())
            messages.append(QStringLiteral("Ошибка драйвера ODBC без описания."));
        throw TDbError(messages.join(u'\n'), firstState,
                       LinkLost(firstState) ? TDbError::TLink::Lost : TDbError::TLink::Kept);
    }

    static QString FromWide(const SQLWCHAR* text, qsizetype length)
    {
        static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager passes UTF-16");
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
    }

private:
    // A command's failure broke the link when the driver says so (SQLSTATE
    // class 08, "connection exception") or, as FreeTDS does for the first
    // command after the server restarted ("HY000 Unknown error"), when it
    // finds the connection dead afterwards.
    bool LinkLost(const QString& state) const
    {
        return FType == SQL_HANDLE_STMT && (state.startsWith(QStringLiteral("08")) || ConnectionDead(FParent));
    }

    SQLSMALLINT FType;
    SQLHANDLE FParent;
    SQLHANDLE FHandle = SQL_NULL_HANDLE;
};

namespace {

SQLWCHAR* Wide(const QString& text)
{
    return reinterpret_cast<SQLWCHAR*>(const_cast<char16_t*>(reinterpret_cast<const char16_t*>(text.utf16())));
}

// The results of one command on its statement handle.
class TOdbcReply : public TDbReply {
public:
    TOdbcReply(std::shared_ptr<TOdbcHandle> environment, std::shared_ptr<TOdbcHandle> connection,
               std::unique_ptr<TOdbcHandle> statement)
        : FEnvironment(std::move(environment)), FConnection(std::move(connection)), FStatement(std::move(statement))
    {
    }

    bool NextResultSet() override
    {
        FColumns.clear();
        FRow.clear();
        for (;;) {
            if (FStarted) {
                const SQLRETURN rc = SQLMoreResults(FStatement->Get());
                if (rc == SQL_NO_DATA)
                    return false;
                FStatement->Check(rc);
            }
            FStarted = true;
            SQLSMALLINT count = 0;
            FStatement->Check(SQLNumResultCols(FStatement->Get(), &count));
            if (count > 0) {
                ReadColumnNames(count);
                return true;
            }
        }
    }

    int ColumnCount() const override { return int(FColumns.size()); }
    QString ColumnName(int column) const override { return FColumns.value(column); }

    bool NextRow() override
    {
        FRow.clear();
        if (FColumns.isEmpty())
            return false;
        const SQLRETURN rc = SQLFetch(FStatement->Get());
        if (rc == SQL_NO_DATA)
            return false;
        FStatement->Check(rc);
        // Read in column order, as every driver allows, and keep the row.
        for (int column = 0; column < FColumns.size(); ++column)
            FRow.append(ReadText(column));
        return true;
    }

    QString Text(int column) const override { return FRow.value(column); }

private:
    void ReadColumnNames(SQLSMALLINT count)
    {
        for (SQLUSMALLINT column = 1; column <= count; ++column) {
            SQLWCHAR name[256] = {};
            SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            FStatement->Check(
                SQLDescribeColW(FStatement->Get(), column, name, 256, &length, &type, &size, &digits, &nullable));
            FColumns.append(TOdbcHandle::FromWide(name, std::min<int>(length, 255)));
        }
    }

    // Long values arrive in pieces of the buffer's size.
    QString ReadText(int column)
    {
        constexpr SQLLEN BufferChars = 4096;
        std::vector<SQLWCHAR> buffer(BufferChars);
        QString text;
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(FStatement->Get(), SQLUSMALLINT(column + 1), SQL_C_WCHAR, buffer.data(),
                                            BufferChars * SQLLEN(sizeof(SQLWCHAR)), &indicator);
            if (rc == SQL_NO_DATA)
                break;
            FStatement->Check(rc);
            if (indicator == SQL_NULL_DATA)
                return QString();
            const SQLLEN room = BufferChars - 1;  // one place for the terminating zero
            const SQLLEN chars =
                indicator == SQL_NO_TOTAL ? room : std::min(room, indicator / SQLLEN(sizeof(SQLWCHAR)));
            text.append(TOdbcHandle::FromWide(buffer.data(), chars));
            if (rc == SQL_SUCCESS)
                break;
        }
        return text;
    }

    // Freed in reverse order: the statement, then its connection, then the environment.
    std::shared_ptr<TOdbcHandle> FEnvironment;
    std::shared_ptr<TOdbcHandle> FConnection;
    std::unique_ptr<TOdbcHandle> FStatement;
    bool FStarted = false;
    QStringList FColumns;
    QStringList FRow;
};

}  // namespace

TOdbcDatabase::TOdbcDatabase() = default;
TOdbcDatabase::~TOdbcDatabase() = default;

void TOdbcDatabase::Open(const QString& connectionString, const std::optional<TDbCredentials>& login)
{
    Close();
    if (!FEnvironment) {
        auto environment = std::make_unique<TOdbcHandle>(SQL_HANDLE_ENV, SQLHANDLE(nullptr));
        environment->Check(
            SQLSetEnvAttr(environment->Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0));
        FEnvironment = std::move(environment);
    }
    QString odbc = OdbcConnectionString::FromAdo(connectionString);
    if (login)
        odbc = OdbcConnectionString::WithLogin(odbc, login->UserName, login->Password);
    auto connection = std::make_unique<TOdbcHandle>(SQL_HANDLE_DBC, FEnvironment->Get());
    connection->Check(SQLSetConnectAttrW(connection->Get(), SQL_ATTR_LOGIN_TIMEOUT,
                                         reinterpret_cast<SQLPOINTER>(SQLULEN(LoginTimeout)), 0));
    SQLWCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    connection->Check(SQLDriverConnectW(connection->Get(), nullptr, Wide(odbc), SQLSMALLINT(odbc.size()), completed,
                                        1024, &completedLength, SQL_DRIVER_NOPROMPT));
    FConnection = std::move(connection);
}

bool TOdbcDatabase::IsOpen() const { return FConnection && !ConnectionDead(FConnection->Get()); }

void TOdbcDatabase::Close() { FConnection.reset(); }

std::unique_ptr<TDbReply> TOdbcDatabase::Execute(const QString& commandText)
{
    if (!FConnection)
        throw TDbError(QStringLiteral("Нет подключения к базе данных."));
    auto statement = std::make_unique<TOdbcHandle>(SQL_HANDLE_STMT, FConnection->Get());
    statement->Check(SQLSetStmtAttrW(statement->Get(), SQL_ATTR_QUERY_TIMEOUT,
                                     reinterpret_cast<SQLPOINTER>(SQLULEN(FCommandTimeout)), 0));
    const SQLRETURN rc = SQLExecDirectW(statement->Get(), Wide(commandText), SQLINTEGER(commandText.size()));
    if (rc != SQL_NO_DATA)
        statement->Check(rc);
    return std::make_unique<TOdbcReply>(FEnvironment, FConnection, std::move(statement));
}
