#pragma once

#include "Commands.h"
#include "FileIo.h"
#include "ReadLoss.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TContent;
class TFormat;

// What the commands of uvotool share: the program's name, its error lines,
// the parser of a command's own arguments and the format description.
namespace UvoTool {

inline const QString Program = QStringLiteral("uvotool");

inline const QString StandardStream = QStringLiteral("-");  // standard input as FILE, standard output as OUT

// "uvotool: message" on standard error.
void PrintError(const QString& message);
// "uvotool: file: message", the name escaped.
void PrintFileError(const QString& file, const QString& message);
// The system's words for an errno value.
QString SystemText(int error);

// Why a file could not be read, on standard error; the consequence ends the
// message of a changed file or a line too long ("nothing checked or written").
void PrintReadFailure(const QString& file, const FileIo::TReadResult& read, const QString& consequence);

// The whole of a file, a device, a FIFO or, for "-", standard input; none
// once the reason is on standard error.
std::optional<QByteArray> ReadInput(const QString& file);

// A file that a save cut short left to finish (InterruptedSaves) is neither
// read nor written: each such save is told on standard error, with where its
// complete copy is and the command that finishes it.
bool TellInterruptedSaves(const QString& file);

// The parser's help with the program named as the user calls it rather than
// by the path of the executable.
QString HelpText(const QCommandLineParser& parser, const QString& invocation);

int UsageError(const QString& invocation, const QString& message);

// The lines of a file whose reading passed over data, and that nothing was
// written, on standard error.
void ReportLosses(const QString& file, const std::vector<TReadLoss>& losses);
// The same told loss by loss: "file:line: what: dropped", then that nothing
// was written for the losses of that many lines.
void PrintLoss(const QString& file, const TReadLoss& loss);
void PrintNothingWrittenForLosses(const QString& file, qsizetype lines);
// What the commands that rewrite a file share, after their own description.
extern const char* const RewriteNotes;

// Reads the one file of a command that rewrites it into content, as the
// editor reads it. A file that cannot be read, or whose reading passed over
// data without force, is told on standard error and its exit status
// returned; none when the records are there to rewrite.
std::optional<int> ReadToRewrite(const QString& file, bool force, TContent& content);
// Writes the rewritten content to target ("-": standard output) through the
// safe save; ExitSound, or ExitFailure once the reason is on standard error.
int WriteRewritten(const QString& target, const TContent& content);
// The same for content handed out in pieces.
int WriteRewritten(const QString& target, const FileIo::TProducer& produce);

// The parser of one command's own arguments.
struct TCommandLine {
    QString Invocation;  // "uvotool check"
    QCommandLineParser Parser;
    QCommandLineOption Help = Parser.addHelpOption();

    TCommandLine(const QString& name, const char* description, const char* files, const char* filesSyntax,
                 const char* notes = "");

    // The exit status when the command is done already (help, a usage error).
    std::optional<int> Parse(const QStringList& arguments);

    // The option --format of a report, text (the default) or json; Parse
    // refuses any other.
    void AddFormatOption(const QString& help);
    bool JsonFormat() const { return FFormat && Parser.value(*FFormat) == u"json"; }

private:
    std::optional<QCommandLineOption> FFormat;
};

// The format description the program carries, as the editor loads it.
bool LoadFormat(TFormat& format);

}  // namespace UvoTool
