#pragma once

#include "TDatabase.h"

#include <memory>

class TOdbcHandle;

// The core banking database through the ODBC driver manager, with the
// wide-character functions so that Cyrillic text arrives whole. Connection
// strings in the form users bring from Windows are translated for the FreeTDS
// driver (OdbcConnectionString).
class TOdbcDatabase : public TDatabase {
public:
    // How long a connection attempt may take, as on the users' Windows machines.
    static constexpr int LoginTimeout = 15;  // seconds

    TOdbcDatabase();
    ~TOdbcDatabase() override;

    void SetCommandTimeout(int seconds) { FCommandTimeout = seconds; }

    void Open(const QString& connectionString, const std::optional<TDbCredentials>& login = {}) override;
    // False also once the driver has found the server gone, so that the next
    // import connects again.
    bool IsOpen() const override;
    void Close() override;
    std::unique_ptr<TDbReply> Execute(const QString& commandText) override;

private:
    // Shared with the replies, so that a reply still being read keeps its
    // connection until it ends, whatever happens to the database object.
    std::shared_ptr<TOdbcHandle> FEnvironment;
    std::shared_ptr<TOdbcHandle> FConnection;
    int FCommandTimeout = DefaultCommandTimeout;
};
