#include "CommandLine.h"

#include "FindingWriters.h"
#include "Findings.h"
#include "FormatLoader.h"
#include "TFormat.h"

#include <QCoreApplication>
#include <QFile>

namespace UvoTool {

void PrintError(const QString& message) { Print(stderr, Program + QLatin1String(": ") + message + u'\n'); }

QString HelpText(const QCommandLineParser& parser, const QString& invocation)
{
    QString text = parser.helpText();
    const QString usage = QStringLiteral("Usage: ") + QCoreApplication::arguments().value(0);
    if (text.startsWith(usage))
        text.replace(0, usage.size(), QStringLiteral("Usage: ") + invocation);
    return text;
}

int UsageError(const QString& invocation, const QString& message)
{
    Print(stderr, QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(invocation, message));
    return ExitFailure;
}

TCommandLine::TCommandLine(const QString& name, const char* description, const char* files, const char* filesSyntax,
                           const char* notes)
    : Invocation(Program + u' ' + name)
{
    Parser.setApplicationDescription(QString::fromLatin1(description) + QString::fromLatin1(notes));
    if (files)
        Parser.addPositionalArgument(QStringLiteral("FILE"), QString::fromLatin1(files),
                                     QString::fromLatin1(filesSyntax));
}

std::optional<int> TCommandLine::Parse(const QStringList& arguments)
{
    if (!Parser.parse(arguments))
        return UsageError(Invocation, Parser.errorText());
    if (Parser.isSet(Help) || Parser.isSet(QStringLiteral("help-all"))) {
        Print(stdout, HelpText(Parser, Invocation));
        return ExitSound;
    }
    if (const QString form = FFormat ? Parser.value(*FFormat) : QString();
        FFormat && form != u"text" && form != u"json")
        return UsageError(Invocation, QStringLiteral("unknown report format '%1'; use text or json.").arg(form));
    return std::nullopt;
}

void TCommandLine::AddFormatOption(const QString& help)
{
    FFormat.emplace(QStringLiteral("format"), help, QStringLiteral("text|json"), QStringLiteral("text"));
    Parser.addOption(*FFormat);
}

bool LoadFormat(TFormat& format)
{
    QFile resource(QStringLiteral(":/FRM"));
    if (!resource.open(QIODevice::ReadOnly)) {
        PrintError(QStringLiteral("cannot read the format description: ") + resource.errorString());
        return false;
    }
    const FormatLoader::Result loaded = FormatLoader::Load(resource.readAll(), format);
    if (!loaded.Ok)
        PrintError(QStringLiteral("cannot load the format description: ") + Escaped(loaded.Message));
    return loaded.Ok;
}

}  // namespace UvoTool
