#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// The scripted SQL Server endpoint of tools/fakefa, started on a free port of
// 127.0.0.1 with a table of canned answers and stopped with the object. It
// accepts the user "uvo" with the password "secret" only.
class TTdsEndpoint {
public:
    static inline const QString User = QStringLiteral("uvo");
    static inline const QString Password = QStringLiteral("secret");

    // Answers maps a command text to its reply items (see tds_endpoint.py);
    // the login is User with password.
    explicit TTdsEndpoint(const QJsonObject& answers, const QString& password = Password);
    // The sample bank, which writes its settings file (user "uvo", password
    // "sample").
    static std::unique_ptr<TTdsEndpoint> SampleBank(const QString& settingsFile);
    ~TTdsEndpoint();

    int Port() const { return FPort; }
    // Ends the endpoint and starts it again on the same port, as a server
    // restarts: the connections made before are broken, new ones are served.
    void Restart();
    // A connection string as users bring it from Windows, naming this endpoint.
    QString AdoConnectionString(const QString& catalog = QStringLiteral("FA")) const;

private:
    TTdsEndpoint() = default;
    // Starts the script on FPort (0: a free port), then learns the port.
    void Start(const QString& script, const QStringList& arguments);
    void Stop();

    QTemporaryDir FDir;
    QProcess FProcess;
    QString FScript;
    QStringList FArguments;
    int FPort = 0;
};

// Builders of reply items.
namespace Reply {
QJsonObject ResultSet(const QList<std::pair<QString, QString>>& columns, const QList<QJsonArray>& rows);
QJsonObject Count(int rows);
QJsonObject Error(const QString& message, int number = 50000);
QJsonObject Delay(double seconds);
}  // namespace Reply
