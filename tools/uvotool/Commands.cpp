#include "Commands.h"

#include "CommandLine.h"
#include "DiffCommand.h"
#include "FileCheck.h"
#include "FileIo.h"
#include "ImportCommands.h"
#include "SetCommand.h"
#include "FindingWriters.h"
#include "FormatLoader.h"
#include "InterruptedSaves.h"
#include "LinePieces.h"
#include "TContent.h"
#include "TFormat.h"
#include "TUvoError.h"
#include "TotalsRewrite.h"
#include "UvoFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>
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
    "  set FILE --type T --field F --value V [--where-value OLD] [-o OUT]\n"
    "                          Set one field to one value in the records of one\n"
    "                          type and write the file.\n"
    "  contracts [OPTIONS]     List the credit contracts of a period from the\n"
    "                          core banking database.\n"
    "  import [OPTIONS] (-o OUT | --append FILE)\n"
    "                          Generate the records of contracts from the core\n"
    "                          banking database into a new or an existing file.\n"
    "  diff OLD NEW            Report what changed from one file to the other,\n"
    "                          account by account.\n"
    "  finish FILE...          Finish saves of the files that were cut short.\n"
    "  help [COMMAND]          Show this help or the help of a command.\n"
    "\n"
    "Run 'uvotool COMMAND --help' for the options of a command.";

const char* const CheckDescription =
    "Checks UVO files and prints one line per finding: an invalid field value (with\n"
    "its record type, account number, field, caption, value and reason), a line the\n"
    "editor refuses to read, a Trailer total that differs from the records present,\n"
    "a missing or repeated Header or Trailer, and a record that stands before a\n"
    "record the account hierarchy puts first, and a line of which reading passes\n"
    "over data (text past the record's length, lines joined by a lone CR, data\n"
    "after a byte 26). A summary per record type follows. A FILE may be a device\n"
    "or FIFO; - is standard input. Files are read in pieces, so that a file of any\n"
    "size is checked in little memory. Of each kind of finding and field the first\n"
    "10000 are printed; the summary counts the rest.\n"
    "\n"
    "Exit status: 0 when every file is sound, 1 when there are findings, 2 when a\n"
    "file could not be read or the report could not be written, or memory ran out.";

const char* const TotalsDescription =
    "Recomputes the Trailer's totals from the records present, as the editor does\n"
    "after adding a record, and writes the file. Without -o the file is replaced in\n"
    "one step through a temporary file, so it is never left half-written.\n"
    "\n"
    "Exit status: 0 when written, 1 when the file has no Trailer or reading passed\n"
    "over data (nothing is written), 2 when the file could not be read or written.";


const char* const SortDescription =
    "Orders the records into the account hierarchy as the editor does, recomputes\n"
    "the Trailer's totals and writes the file. Without -o the file is replaced in\n"
    "one step through a temporary file, so it is never left half-written.\n"
    "\n"
    "Exit status: 0 when written, 1 when reading passed over data (nothing is\n"
    "written), 2 when the file could not be read or written.";

const char* const FinishDescription =
    "Finishes saves that were cut short (the program killed, the machine down)\n"
    "while the editor or uvotool rewrote a file in place, where its folder allows\n"
    "no new file. Such a save keeps the complete new content in the user's cache\n"
    "folder first; this command writes it to the file. Until then the file is\n"
    "neither read nor written by the other commands.\n"
    "\n"
    "Exit status: 0 when every save was finished, 1 when a file had none to\n"
    "finish, 2 when a file could not be written.";

int RunFinish(const QStringList& arguments)
{
    TCommandLine command(QStringLiteral("finish"), FinishDescription, "The files whose saves were cut short.",
                         "FILE...");
    if (const auto done = command.Parse(arguments))
        return *done;
    const QStringList files = command.Parser.positionalArguments();
    if (files.isEmpty())
        return UsageError(command.Invocation, QStringLiteral("no file given."));
    int status = ExitSound;
    for (const QString& file : files) {
        const std::vector<InterruptedSaves::TInterruptedSave> saves = InterruptedSaves::PendingFor(file);
        if (saves.empty()) {
            PrintFileError(file, QStringLiteral("no save of this file to finish."));
            status = std::max(status, ExitFindings);
        }
        for (const InterruptedSaves::TInterruptedSave& save : saves) {
            try {
                InterruptedSaves::Finish(save);
            } catch (const TUvoError& error) {
                PrintFileError(file, Escaped(error.Message()));
                status = ExitFailure;
            }
        }
    }
    return status;
}

// Checks a file, a device, a FIFO or, for "-", standard input as it is read;
// the exit status it gives.
int CheckInput(const TFormat& format, const QString& file, TFindingWriter& writer)
{
    if (file != StandardStream && TellInterruptedSaves(file))
        return ExitFailure;
    TFileCheck check(format, file, writer);
    const FileIo::TPieceReader take = [&](QByteArrayView piece, qint64, qint64 size) {
        // Of a stream no more than a line's length past a byte 26 is read:
        // an endless one would never end.
        return check.Add(piece) && !(size == 0 && check.BytesAfterEndMark() > FileIo::MaxLineBytes);
    };
    FileIo::TReadResult read = file == StandardStream
                                   ? FileIo::ReadDescriptorInPieces(STDIN_FILENO, LinePieceBytes, take)
                                   : FileIo::ReadAnyFileInPieces(file, LinePieceBytes, take);
    if (check.TooLongLine() > 0) {
        read.Failure = FileIo::TReadFailure::LineTooLong;
        read.Line = check.TooLongLine();
    }
    if (read.Failure != FileIo::TReadFailure::None) {
        PrintReadFailure(file, read, QStringLiteral("the check of the file is incomplete, no summary written"));
        return ExitFailure;
    }
    const TFileSummary summary = check.Finish();
    writer.Summary(summary);
    return summary.Findings > 0 ? ExitFindings : ExitSound;
}

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
    for (const QString& file : files)
        status = std::max(status, CheckInput(format, file, *writer));
    writer->Finish();
    return status;
}

}  // namespace

const char* const RewriteNotes =
    "\n\n"
    "A file whose reading passes over data (text past a record's length, lines\n"
    "joined by a lone CR, data after a byte 26) is not written unless --force is\n"
    "given; the lines are named on standard error. FILE - is standard input;\n"
    "-o - writes to standard output, -o DEVICE or FIFO writes into it directly.";

// A file whose reading passed over data is not written without --force: the
// written file would silently lack that data.
void ReportLosses(const QString& file, const std::vector<TReadLoss>& losses)
{
    for (const TReadLoss& loss : losses)
        PrintLoss(file, loss);
    PrintNothingWrittenForLosses(file, qsizetype(losses.size()));
}

void PrintLoss(const QString& file, const TReadLoss& loss)
{
    PrintError(QStringLiteral("%1:%2: %3: %4").arg(Escaped(file)).arg(loss.Line).arg(LossText(loss.Kind), Quoted(loss.Dropped)));
}

void PrintNothingWrittenForLosses(const QString& file, qsizetype lines)
{
    PrintFileError(file, QStringLiteral("reading passed over data on %1 %2; nothing written "
                                        "(--force writes the file without it).")
                             .arg(lines)
                             .arg(QLatin1String(lines == 1 ? "line" : "lines")));
}

namespace {

enum class TRewrite { Totals, Sort };

int RunRewrite(TRewrite kind, const QStringList& arguments)
{
    TCommandLine command(kind == TRewrite::Totals ? QStringLiteral("totals") : QStringLiteral("sort"),
                         kind == TRewrite::Totals ? TotalsDescription : SortDescription,
                         "The UVO file to read, and to replace unless -o is given.", "FILE", RewriteNotes);
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Write the result to OUT and leave FILE as it is; "
                                                         "- is standard output."),
                                          QStringLiteral("OUT"));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Write the file even though reading passed over data "
                                                        "that the written file will not hold."));
    command.Parser.addOption(outputOption);
    command.Parser.addOption(forceOption);
    if (const auto done = command.Parse(arguments))
        return *done;
    const QStringList files = command.Parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(command.Invocation, files.isEmpty() ? QStringLiteral("no file given.")
                                                              : QStringLiteral("one file at a time."));
    const QString& file = files.front();
    const QString target = command.Parser.isSet(outputOption) ? command.Parser.value(outputOption) : file;
    if (target != StandardStream && TellInterruptedSaves(target))
        return ExitFailure;

    TFormat format;
    if (!LoadFormat(format))
        return ExitFailure;
    const bool force = command.Parser.isSet(forceOption);
    // A regular file can be read twice, and so need not be held whole.
    if (kind == TRewrite::Totals && file != StandardStream && FileIo::IdentityOf(file))
        return RewriteTotalsInPieces(format, file, target, force);
    TContent content(format);
    if (const auto refused = ReadToRewrite(file, force, content))
        return *refused;
    if (kind == TRewrite::Totals && !content.GetTrailerRec()) {
        PrintFileError(file, NoTrailerMessage);
        return ExitFindings;
    }
    if (kind == TRewrite::Sort)
        content.SortRec();
    content.CalcRecsCount();
    return WriteRewritten(target, content);
}

int RunCommand(const QString& name, const QStringList& arguments)
{
    if (name == u"check")
        return RunCheck(arguments);
    if (name == u"totals")
        return RunRewrite(TRewrite::Totals, arguments);
    if (name == u"sort")
        return RunRewrite(TRewrite::Sort, arguments);
    if (name == u"set")
        return RunSet(arguments);
    if (name == u"diff")
        return RunDiff(arguments);
    if (name == u"finish")
        return RunFinish(arguments);
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
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("check, totals, sort, set, diff, finish, contracts, import or help."),
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

int RunReported(const QStringList& arguments)
{
    int status = ExitFailure;
    try {
        status = Run(arguments);
    } catch (const std::bad_alloc&) {
        PrintError(QStringLiteral("out of memory; the command stopped."));
        std::fflush(stdout);
        return ExitFailure;
    }
    // A report that did not reach its reader is a failure, not a result.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        PrintError(QStringLiteral("cannot write the report: ") + SystemText(errno));
        return ExitFailure;
    }
    return status;
}

}  // namespace UvoTool
