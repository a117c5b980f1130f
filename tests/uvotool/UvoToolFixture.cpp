#include "UvoToolFixture.h"

#include "AnsiCodePage.h"
#include "FormatLoader.h"
#include "StrUtils.h"
#include "UvoFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TToolRun RunToEnd(QProcess& process, const QStringList& arguments, const QByteArray& input = {})
{
    process.start(process.program().isEmpty() ? QStringLiteral(UVOTOOL_PATH) : process.program(), arguments);
    process.write(input);
    process.closeWriteChannel();
    TToolRun run;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "uvotool did not run to its end: " << process.errorString().toStdString();
        return run;
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

TToolRun RunTool(const QStringList& arguments, const QString& workDir, qint64 fileSizeLimit)
{
    return RunTool(arguments, workDir, [fileSizeLimit](QProcess& process) {
        if (fileSizeLimit >= 0)
            process.setChildProcessModifier([fileSizeLimit] {
                const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
            });
    });
}

TToolRun RunTool(const QStringList& arguments, const QString& workDir, const std::function<void(QProcess&)>& setUp)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    setUp(process);
    return RunToEnd(process, arguments);
}

namespace {

// A copy of uvotool in a folder of the temporary area open to every user; made
// once per test program and removed at its end.
QString ReachableTool()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/uvotool-XXXXXX"));
    static const QString path = [] {
        const QString copy = dir.filePath(QStringLiteral("uvotool"));
        const bool made = QFile::copy(QStringLiteral(UVOTOOL_PATH), copy) &&
                          ::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0 &&
                          ::chmod(QFile::encodeName(copy).constData(), 0755) == 0;
        if (!made)
            ADD_FAILURE() << "cannot copy uvotool to " << copy.toStdString();
        return copy;
    }();
    return path;
}

}  // namespace

void Unprivileged(QProcess& process)
{
    if (::geteuid() != 0)
        return;
    process.setProgram(ReachableTool());
    process.setChildProcessModifier([] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(99);
    });
}

TToolRun RunTool(const QStringList& arguments, const QString& workDir, const QStringList& environment,
                 const QByteArray& input)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.setEnvironment(QProcess::systemEnvironment() + environment);
    return RunToEnd(process, arguments, input);
}

const TFormat& ShippedFormat()
{
    static const TFormat* format = [] {
        auto* loaded = new TFormat;
        QFile file(QStringLiteral(UVO_FORMAT_TEXT));
        if (!file.open(QIODevice::ReadOnly) || !FormatLoader::Load(file.readAll(), *loaded).Ok)
            ADD_FAILURE() << "cannot load " << UVO_FORMAT_TEXT;
        return loaded;
    }();
    return *format;
}

namespace {

QString AcceptedValue(const TRule& rule)
{
    if (rule.FldID() == UvoIds::RecordTypeFld)
        return rule.RecID();
    if (rule.ValSet)
        for (const TVal* val : rule.ValSet->ValList)
            if (!val->Value.isEmpty() && val->Value.size() <= rule.Size &&
                (rule.Kind != u'N' || StrIsDigits(val->Value)))
                return val->Value;
    return rule.Kind == u'N' ? QStringLiteral("1") : rule.Kind == u'D' ? QStringLiteral("20240115") : QStringLiteral("X");
}

}  // namespace

TContentRec& TUvoFileBuilder::Add(const QString& recId, const QString& account, TValues values)
{
    std::unique_ptr<TContentRec> rec = FContent.CreateNewOnRec(ShippedFormat().GetRec(recId));
    for (size_t i = 0; i + 1 < rec->FldList.size(); ++i)  // the last field is the line end
        rec->FldList[i].SetValue(AcceptedValue(*rec->FldList[i].Rule));
    rec->SetVal(UvoIds::AccountFld, account);
    for (const auto& [fldId, value] : values) {
        EXPECT_TRUE(rec->FindFld(QString::fromLatin1(fldId))) << recId.toStdString() << " has no " << fldId;
        rec->SetVal(QString::fromLatin1(fldId), value);
    }
    rec->CalcSortStr();
    TContentRec& added = *rec;
    FContent.Add(std::move(rec));
    return added;
}

void TUvoFileBuilder::AddSound(TUvoFileBuilder& builder, const QStringList& accounts)
{
    builder.Add(UvoIds::HeaderRecID);
    for (const QString& account : accounts) {
        builder.Add(UvoIds::AccountRecID, account);
        builder.Add(UvoIds::ConsumerRecID, account, {{"310065", "01"}});
        builder.Add(QStringLiteral("300500"), account, {{"310065", "01"}});
    }
    builder.Add(UvoIds::TrailerRecID);
    builder.CalcTotals();
}

QList<QByteArray> TUvoFileBuilder::Lines() const
{
    QList<QByteArray> lines;
    for (const TContentRec* rec : FContent.Records())
        rec->AppendLineBytes(lines.emplace_back());
    return lines;
}

QByteArray TUvoFileBuilder::Bytes() const { return UvoFile::Render(FContent); }

QByteArray JoinLines(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray Ansi(const QString& text) { return AnsiCodePage::Encode(text); }

void TWorkDir::Write(const QString& name, const QByteArray& bytes) const
{
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << Path(name).toStdString();
}

QByteArray TWorkDir::Read(const QString& name) const
{
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
