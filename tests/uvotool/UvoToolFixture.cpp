#include "UvoToolFixture.h"

#include "AnsiCodePage.h"
#include "FormatLoader.h"
#include "StrUtils.h"
#include "UvoFile.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

QStringList TToolRun::OutLines() const { return Out.split(u'\n', Qt::SkipEmptyParts); }

TToolRun RunTool(const QStringList& arguments, const QString& workDir, qint64 fileSizeLimit)
{
    QProcess process;
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    if (fileSizeLimit >= 0) {
        // A write past the limit then fails with an error instead of ending
        // the process.
        process.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN);
        });
    }
    process.start(QStringLiteral(UVOTOOL_PATH), arguments);
    TToolRun run;
    if (!process.waitForStarted(-1) || !process.waitForFinished(-1)) {
        ADD_FAILURE() << "uvotool did not run: " << process.errorString().toStdString();
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
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

// A value that the rule accepts.
QString AcceptedValue(const TRule& rule)
{
    if (rule.FldID() == UvoIds::RecordTypeFld)
        return rule.RecID();
    if (rule.ValSet)
        for (const TVal* val : rule.ValSet->ValList)
            if (!val->Value.isEmpty() && val->Value.size() <= rule.Size &&
                (rule.Kind != u'N' || StrIsDigits(val->Value)))
                return val->Value;
    if (rule.Kind == u'N')
        return QStringLiteral("1");
    if (rule.Kind == u'D')
        return QStringLiteral("20240115");
    return QStringLiteral("X");
}

}  // namespace

TUvoFileBuilder::TUvoFileBuilder() : FContent(ShippedFormat()) {}

TContentRec& TUvoFileBuilder::Add(const QString& recId, const QString& account, TValues values)
{
    const TFormat& format = ShippedFormat();
    std::unique_ptr<TContentRec> rec = FContent.CreateNewOnRec(format.GetRec(recId));
    EXPECT_TRUE(rec) << "no layout for " << recId.toStdString();
    for (TContentFld& fld : rec->FldList)
        if (&fld != &rec->FldList.back())  // the end of record is the line end
            fld.SetValue(AcceptedValue(*fld.Rule));
    rec->SetVal(UvoIds::AccountFld, account);
    for (const auto& [fldId, value] : values) {
        EXPECT_TRUE(rec->FindFld(QString::fromLatin1(fldId))) << recId.toStdString() << " has no field " << fldId;
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
        builder.Add(UvoIds::ConsumerRecID, account, {{"310065", QStringLiteral("01")}});
        builder.Add(QStringLiteral("300500"), account, {{"310065", QStringLiteral("01")}});
    }
    builder.Add(UvoIds::TrailerRecID);
    builder.CalcTotals();
}

QList<QByteArray> TUvoFileBuilder::Lines() const
{
    QList<QByteArray> lines;
    for (const TContentRec* rec : FContent.Records()) {
        QByteArray line;
        rec->AppendLineBytes(line);
        lines << line;
    }
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

QString TWorkDir::Write(const QString& name, const QByteArray& bytes) const
{
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << Path(name).toStdString();
    return Path(name);
}

QByteArray TWorkDir::Read(const QString& name) const
{
    QFile file(Path(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}
