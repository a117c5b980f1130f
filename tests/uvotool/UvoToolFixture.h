#pragma once

#include "TContent.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <utility>

// What one run of the built uvotool gave; its output decoded from UTF-8.
struct TToolRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
    QStringList OutLines() const { return Out.split(u'\n', Qt::SkipEmptyParts); }
};

// Runs uvotool in the folder and waits for its end. With a file size limit,
// writing a file beyond that many bytes fails.
TToolRun RunTool(const QStringList& arguments, const QString& workDir = {}, qint64 fileSizeLimit = -1);
// The same with the process set up before it starts (its channels, its user).
TToolRun RunTool(const QStringList& arguments, const QString& workDir, const std::function<void(QProcess&)>& setUp);

// Set-up for a run in which permissions count: run as root, the process gives
// up its rights first (a process that could not exits with 99) and runs a copy
// of uvotool that every user can reach, as the build folder may lie in a
// private home.
void Unprivileged(QProcess& process);

// The same with variables added to the environment and text on standard input.
TToolRun RunTool(const QStringList& arguments, const QString& workDir, const QStringList& environment,
                 const QByteArray& input);

const TFormat& ShippedFormat();

// Builds data files with the content library: every field of a record gets a
// value its rule accepts unless the test gives one.
class TUvoFileBuilder {
public:
    using TValues = std::initializer_list<std::pair<const char*, QString>>;

    TUvoFileBuilder() : FContent(ShippedFormat()) {}
    TContentRec& Add(const QString& recId, const QString& account = {}, TValues values = {});
    // The Header; per account an Account, a Consumer Name and a Consumer
    // Address record; the Trailer with its totals.
    static void AddSound(TUvoFileBuilder& builder, const QStringList& accounts);
    void CalcTotals() { FContent.CalcRecsCount(); }
    TContentRec& Trailer() { return *FContent.GetTrailerRec(); }
    QList<QByteArray> Lines() const;  // without line ends
    QByteArray Bytes() const;         // the file as the editor writes it

private:
    TContent FContent;
};

QByteArray JoinLines(const QList<QByteArray>& lines);  // CR LF after each
QByteArray Ansi(const QString& text);                  // Windows-1251

class TWorkDir {
public:
    QString Root() const { return FDir.path(); }
    QString Path(const QString& name) const { return FDir.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;

private:
    QTemporaryDir FDir;
};

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    for (const QString& text : texts)
        *out << "\n  \"" << text.toStdString() << '"';
}
