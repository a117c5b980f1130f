#pragma once

#include "TContent.h"
#include "TFormat.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>
#include <ostream>
#include <utility>

// Test failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << "{\n";
    for (const QString& text : texts)
        *out << "  \"" << text.toStdString() << "\"\n";
    *out << "}";
}

// What one run of the built uvotool gave.
struct TToolRun {
    int ExitCode = -1;
    QString Out;  // standard output, decoded from UTF-8
    QString Err;  // standard error, decoded from UTF-8
    QStringList OutLines() const;
};

// Runs uvotool with the arguments in the folder given and waits for its end.
// With a file size limit, writing a file beyond that many bytes fails.
TToolRun RunTool(const QStringList& arguments, const QString& workDir = {}, qint64 fileSizeLimit = -1);

// The shipped format description, loaded once.
const TFormat& ShippedFormat();

// Builds data files record by record with the content library: every field
// of a record gets a value its rule accepts unless the test gives one.
class TUvoFileBuilder {
public:
    using TValues = std::initializer_list<std::pair<const char*, QString>>;

    TUvoFileBuilder();

    TContentRec& Add(const QString& recId, const QString& account = {}, TValues values = {});

    // A sound file: the Header; per account an Account, a Consumer Name
    // (holder 01) and a Consumer Address record; the Trailer with its totals.
    static void AddSound(TUvoFileBuilder& builder, const QStringList& accounts);

    void CalcTotals() { FContent.CalcRecsCount(); }
    TContent& Content() { return FContent; }
    TContentRec& Trailer() { return *FContent.GetTrailerRec(); }

    // The records' lines as the editor writes them, without line ends.
    QList<QByteArray> Lines() const;
    // The file as the editor writes it.
    QByteArray Bytes() const;

private:
    TContent FContent;
};

// Lines joined into a file image, CR LF after each.
QByteArray JoinLines(const QList<QByteArray>& lines);

// Windows-1251 bytes of a text.
QByteArray Ansi(const QString& text);

// A temporary folder for one test's files.
class TWorkDir {
public:
    QString Path(const QString& name) const { return FDir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;
    QString Root() const { return FDir.path(); }

private:
    QTemporaryDir FDir;
};
