#include "TdsEndpoint.h"

#include <QFile>
#include <QJsonDocument>

#include <stdexcept>

TTdsEndpoint::TTdsEndpoint(const QJsonObject& answers, const QString& password)
{
    QFile file(FDir.filePath(QStringLiteral("answers.json")));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(QJsonObject{{"login", QJsonObject{{"user", User}, {"password", password}}},
                                             {"answers", answers}})
                       .toJson()) < 0)
        throw std::runtime_error("cannot write the endpoint's answers");
    file.close();
    Start(QStringLiteral("tds_endpoint.py"), {QStringLiteral("--answers"), file.fileName()});
}

std::unique_ptr<TTdsEndpoint> TTdsEndpoint::SampleBank(const QString& settingsFile)
{
    std::unique_ptr<TTdsEndpoint> endpoint(new TTdsEndpoint);
    endpoint->Start(QStringLiteral("sample_bank.py"), {QStringLiteral("--settings"), settingsFile});
    return endpoint;
}

void TTdsEndpoint::Start(const QString& script, const QStringList& arguments)
{
    FScript = script;
    FArguments = arguments;
    FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    FProcess.start(QStringLiteral(UVO_PYTHON), QStringList{QStringLiteral(UVO_FAKEFA_DIR "/") + script} + arguments +
                                                   QStringList{QStringLiteral("--port"), QString::number(FPort)});
    if (!FProcess.waitForStarted(10000))
        throw std::runtime_error("cannot start the endpoint");
    while (!FProcess.canReadLine())
        if (!FProcess.waitForReadyRead(20000))
            throw std::runtime_error("the endpoint does not tell its port");
    const QByteArray line = FProcess.readLine().trimmed();
    if (!line.startsWith("PORT "))
        throw std::runtime_error("the endpoint does not tell its port");
    FPort = line.mid(5).toInt();
}

TTdsEndpoint::~TTdsEndpoint() { Stop(); }

void TTdsEndpoint::Stop()
{
    FProcess.terminate();
    if (!FProcess.waitForFinished(5000))
        FProcess.kill();
    FProcess.waitForFinished(5000);
}

void TTdsEndpoint::Restart()
{
    Stop();
    Start(FScript, FArguments);
}

QString TTdsEndpoint::AdoConnectionString(const QString& catalog) const
{
    return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;Initial Catalog=%1;Data Source=127.0.0.1,%2")
        .arg(catalog)
        .arg(FPort);
}

namespace Reply {

QJsonObject ResultSet(const QList<std::pair<QString, QString>>& columns, const QList<QJsonArray>& rows)
{
    QJsonArray names;
    for (const auto& [name, type] : columns)
        names.append(QJsonArray{name, type});
    QJsonArray rowArray;
    for (const QJsonArray& row : rows)
        rowArray.append(row);
    return {{"columns", names}, {"rows", rowArray}};
}

QJsonObject Count(int rows) { return {{"count", rows}}; }
QJsonObject Error(const QString& message, int number) { return {{"error", message}, {"number", number}}; }
QJsonObject Delay(double seconds) { return {{"delay", seconds}}; }

}  // namespace Reply
