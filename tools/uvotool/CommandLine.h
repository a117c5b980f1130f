#pragma once

#include "Commands.h"
#include "ReadLoss.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

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
// What the commands that rewrite a file share, after their own description.
extern const char* const RewriteNotes;

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
