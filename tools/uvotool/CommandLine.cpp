#include "CommandLine.h"

#include "FindingWriters.h"
#include "Findings.h"
#include "FileIo.h"
#include "FormatLoader.h"
#include "InterruptedSaves.h"
#include "TContent.h"
#include "TFormat.h"
#include "TUvoError.h"
#include "UvoFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstring>
#include <unistd.h>

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

void PrintFileError(const QString& file, const QString& message)
{
    PrintError(Escaped(file) + QLatin1String(": ") + message);
}

QString SystemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool TellInterruptedSaves(const QString& file)
{
    const std::vector<InterruptedSaves::TInterruptedSave> saves = InterruptedSaves::PendingFor(file);
    for (const InterruptedSaves::TInterruptedSave& save : saves)
        PrintFileError(file, (save.TargetChanged
                                  ? QStringLiteral("a save of this file was cut short, and another program has replaced "
                                                   "or removed the file since; the content of that save is in '%1'. "
                                                   "'uvotool finish %2' writes it to the file.")
                                  : QStringLiteral("a save of this file was cut short and left the file incomplete; "
                                                   "its complete new content is in '%1'. 'uvotool finish %2' "
                                                   "finishes the save."))
                                 .arg(Escaped(save.Copy), Escaped(file)));
    return !saves.empty();
}

void PrintReadFailure(const QString& file, const FileIo::TReadResult& read, const QString& consequence)
{
    switch (read.Failure) {
    case FileIo::TReadFailure::None:
        break;
    case FileIo::TReadFailure::CannotOpen:
    case FileIo::TReadFailure::ReadError:
        PrintFileError(file, SystemText(read.Error));
        break;
    case FileIo::TReadFailure::NotRegularFile:
        PrintFileError(file, QStringLiteral("not a regular file"));
        break;
    case FileIo::TReadFailure::ChangedWhileRead:
        PrintFileError(file, QStringLiteral("the file changed while it was read; ") + consequence);
        break;
    case FileIo::TReadFailure::LineTooLong:
        PrintFileError(file, QStringLiteral("line %1 is longer than 1 MB, which no UVO record is; ").arg(read.Line) +
                                 consequence);
        break;
    }
}

// The whole of a file, a device, a FIFO or, for "-", standard input; none
// once the reason is on standard error.
std::optional<QByteArray> ReadInput(const QString& file)
{
    if (file != StandardStream && TellInterruptedSaves(file))
        return std::nullopt;
    FileIo::TReadResult read;
    try {
        read = file == StandardStream ? FileIo::ReadDescriptor(STDIN_FILENO) : FileIo::ReadAnyFile(file);
    } catch (const std::bad_alloc&) {
        PrintFileError(file, QStringLiteral("too large to read into memory"));
        return std::nullopt;
    }
    if (read.Failure == FileIo::TReadFailure::None)
        return std::move(read.Bytes);
    PrintReadFailure(file, read, QStringLiteral("nothing checked or written"));
    return std::nullopt;
}

std::optional<int> ReadToRewrite(const QString& file, bool force, TContent& content)
{
    auto bytes = ReadInput(file);
    if (!bytes)
        return ExitFailure;
    const UvoFile::ReadResult read = UvoFile::ReadBytes(*bytes, content);
    bytes.reset();  // the records hold the content now
    if (!read.Ok) {
        PrintFileError(file, Escaped(read.Message));
        return ExitFailure;
    }
    if (!read.Losses.empty() && !force) {
        ReportLosses(file, read.Losses);
        return ExitFindings;
    }
    return std::nullopt;
}

int WriteRewritten(const QString& target, const TContent& content)
{
    return WriteRewritten(target, [&content](const FileIo::TPieceSink& sink) { UvoFile::RenderInPieces(content, sink); });
}

int WriteRewritten(const QString& target, const FileIo::TProducer& produce)
{
    try {
        if (target == StandardStream)
            FileIo::WriteDescriptor(STDOUT_FILENO, produce);
        else
            FileIo::Write(target, produce);
    } catch (const TUvoError& error) {
        PrintFileError(target, Escaped(error.Message()));
        return ExitFailure;
    }
    return ExitSound;
}

}  // namespace UvoTool
