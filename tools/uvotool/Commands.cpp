#include "Commands.h"

#include "CommandLine.h"
#include "FileCheck.h"
#include "ImportCommands.h"
#include "FindingWriters.h"
#include "FormatLoader.h"
#include "TContent.h"
#include "TFormat.h"
#include "TUvoError.h"
#include "UvoFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace UvoTool {
namespace {

const char* const MainDescription =
    "Checks and prepares UVO submission files in batch jobs, with the record layouts\n"
    "and rules of UVO Edit. Files are read and written in Windows-1251 as the editor\n"
    "does; reports are printed in UTF-8.\n"
    "\n"
    "Commands:\n"
    "  check FILE...           Report every problem of the files in one pass.\n"
    "  totals FILE [-o OUT]    Recompute the Trailer's totals and write the file.\n"
    "  sort FILE [-o OUT]      Order the records into the account hierarchy,\n"
    "                          recompute the totals and write the file.\n"
    "  contracts [OPTIONS]     List the credit contracts of a period from the\n"
    "                          core banking database.\n"
    "  import [OPTIONS] (-o OUT | --append FILE)\n"
    "                          Generate the records of contracts from the core\n"
    "                          banking database into a new or an existing file.\n"
    "  help [COMMAND]          Show this help or the help of a command.\n"
    "\n"
    "Run 'uvotool COMMAND --help' for the options of a command.";

const char* const CheckDescription =
    "Checks UVO files and prints one line per finding: an invalid field value (with\n"
    "its record type, account number, field, caption, value and reason), a line the\n"
    "editor refuses to read, a Trailer total that differs from the records present,\n"
    "a missing or repeated Header or Trailer, and a record that stands before a\n"
    "record the account hierarchy puts first. A summary per record type follows.\n"
    "\n"
    "Exit status: 0 when every file is sound, 1 when there are findings, 2 when a\n"
    "file could not be read.";

const char* const TotalsDescription =
    "Recomputes the Trailer's totals from the records present, as the editor does\n"
    "after adding a record, and writes the file. Without -o the file is replaced in\n"
    "one step through a temporary file, so it is never left half-written.\n"
    "\n"
    "Exit status: 0 when written, 1 when the file has no Trailer (nothing is\n"
    "written), 2 when the file could not be read or written.";

const char* const SortDescription =
    "Orders the records into the account hierarchy as the editor does, recomputes\n"
    "the Trailer's totals and writes the file. Without -o the file is replaced in\n"
    "one step through a temporary file, so it is never left half-written.\n"
    "\n"
    "Exit status: 0 when written, 2 when the file could not be read or written.";

std::optional<QByteArray> ReadFileBytes(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        PrintError(fileName + QLatin1String(": ") + file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        PrintError(fileName + QLatin1String(": ") + file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// A file to check, mapped into memory rather than copied when the system
// allows it: the lines are read only once, and a large file is checked in
// about a fifth less time. (As with any mapped file, another program cutting
// the file short while it is checked ends uvotool.)
class TMappedFile {
public:
    bool Open(const QString& fileName)
    {
        FFile.setFileName(fileName);
        if (!FFile.open(QIODevice::ReadOnly)) {
            PrintError(fileName + QLatin1String(": ") + FFile.errorString());
            return false;
        }
        const qint64 size = FFile.size();
        if (size == 0)
            return true;
        if (const uchar* data = FFile.map(0, size)) {
            FBytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
            return true;
        }
        FBytes = FFile.readAll();
        if (FFile.error() != QFileDevice::NoError) {
            PrintError(fileName + QLatin1String(": ") + FFile.errorString());
            return false;
        }
        return true;
    }

    const QByteArray& Bytes() const { return FBytes; }

private:
    QFile FFile;
    QByteArray FBytes;
};

int RunCheck(const QStringList& arguments)
{
    TCommandLine command(QStringLiteral("check"), CheckDescription, "The UVO files to check.", "FILE...");
    command.AddFormatOption(QStringLiteral("The form of the report: text (the default) or json, "
                                           "one JSON array with an object per finding."));
    if (const auto done = command.Parse(arguments))
        return *done;
    const QStringList files = command.Parser.positionalArguments();
    if (files.isEmpty())
        return UsageError(command.Invocation, QStringLiteral("no file to check."));

    TFormat format;
    if (!LoadFormat(format))
        return ExitFailure;
    const auto writer = command.JsonFormat() ? MakeJsonWriter(stdout) : MakeTextWriter(stdout);
    int status = ExitSound;
    for (const QString& file : files) {
        TMappedFile image;
        if (!image.Open(file)) {
            status = ExitFailure;
            continue;
        }
        const TFileSummary summary = CheckFile(format, file, image.Bytes(), *writer);
        writer->Summary(summary);
        if (summary.Findings > 0)
            status = std::max(status, ExitFindings);
    }
    writer->Finish();
    return status;
}

enum class TRewrite { Totals, Sort };

int RunRewrite(TRewrite kind, const QStringList& arguments)
{
    TCommandLine command(kind == TRewrite::Totals ? QStringLiteral("totals") : QStringLiteral("sort"),
                         kind == TRewrite::Totals ? TotalsDescription : SortDescription,
                         "The UVO file to read, and to replace unless -o is given.", "FILE");
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Write the result to OUT and leave FILE as it is."),
                                          QStringLiteral("OUT"));
    command.Parser.addOption(outputOption);
    if (const auto done = command.Parse(arguments))
        return *done;
    const QStringList files = command.Parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(command.Invocation, files.isEmpty() ? QStringLiteral("no file given.")
                                                              : QStringLiteral("one file at a time."));
    const QString& file = files.front();
    const QString target = command.Parser.isSet(outputOption) ? command.Parser.value(outputOption) : file;

    TFormat format;
    if (!LoadFormat(format))
        return ExitFailure;
    const auto bytes = ReadFileBytes(file);
    if (!bytes)
        return ExitFailure;
    TContent content(format);
    if (const UvoFile::ReadResult read = UvoFile::ReadBytes(*bytes, content); !read.Ok) {
        PrintError(file + QLatin1String(": ") + Escaped(read.Message));
        return ExitFailure;
    }
    if (kind == TRewrite::Totals && !content.GetTrailerRec()) {
        PrintError(file + QLatin1String(": no Trailer record, no totals to recompute; nothing written."));
        return ExitFindings;
    }
    if (kind == TRewrite::Sort)
        content.SortRec();
    content.CalcRecsCount();
    try {
        UvoFile::Write(target, content);
    } catch (const TUvoError& error) {
        PrintError(target + QLatin1String(": ") + Escaped(error.Message()));
        return ExitFailure;
    }
    return ExitSound;
}

int RunCommand(const QString& name, const QStringList& arguments)
{
    if (name == u"check")
        return RunCheck(arguments);
    if (name == u"totals")
        return RunRewrite(TRewrite::Totals, arguments);
    if (name == u"sort")
        return RunRewrite(TRewrite::Sort, arguments);
    if (name == u"contracts")
        return RunContracts(arguments);
    if (name == u"import")
        return RunImport(arguments);
    return UsageError(Program, QStringLiteral("unknown command '%1'.").arg(name));
}

}  // namespace

int Run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(MainDescription));
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("check, totals, sort, contracts, import or help."),
                                 QStringLiteral("COMMAND [ARGUMENTS...]"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Everything from the command on belongs to the command.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments))
        return UsageError(Program, parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        Print(stdout, HelpText(parser, Program));
        return ExitSound;
    }
    if (parser.isSet(version)) {
        Print(stdout, Program + u' ' + QCoreApplication::applicationVersion() + u'\n');
        return ExitSound;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return UsageError(Program, QStringLiteral("no command given."));
    const QString name = positional.takeFirst();
    const QString argv0 = arguments.value(0, Program);
    if (name == u"help") {
        if (positional.isEmpty()) {
            Print(stdout, HelpText(parser, Program));
            return ExitSound;
        }
        return RunCommand(positional.front(), {argv0, QStringLiteral("--help")});
    }
    return RunCommand(name, QStringList{argv0} + positional);
}

}  // namespace UvoTool
