#pragma once

#include "FileIo.h"
#include "ReadLoss.h"

#include <QString>

#include <functional>
#include <vector>

class TContent;

// Reading and writing data files: single-byte Windows-1251 text, one record
// per line.
namespace UvoFile {

// Told now and then how far a long read or write has come: done of total,
// in units of its own choosing.
using TProgress = std::function<void(qint64 done, qint64 total)>;

// Why reading stopped at a line longer than any record, in the user's words.
QString LineTooLongMessage(qsizetype line);

struct ReadResult {
    bool Ok = false;
    QString Message;  // why reading stopped, in the user's words; empty when Ok
    // What the reading rules passed over, line by line, in the lines read.
    std::vector<TReadLoss> Losses;
};

// Appends the file's records to the content list in file order. A line ends
// at LF; a CR before the LF is not part of it, a lone CR is dropped, a byte 26
// ends the file. Stops at the first line that names no record type; the
// records read before it stay in the list, and so at a line longer than
// FileIo::MaxLineBytes, which no record comes near. Only a regular file is read: the
// open of anything else fails at once, as for a file that cannot be opened.
ReadResult Read(const QString& fileName, TContent& content, const TProgress& progress = {});

// Parses the lines of a whole file image; the same rules as Read.
ReadResult ReadBytes(const QByteArray& bytes, TContent& content);

// Writes every record's line followed by CR LF in list order, as FileIo::Write
// writes a file: a regular file is replaced in one step, so a failure
// part-way leaves the previous file untouched (or, rewritten in place, a
// complete copy to finish the save from). Throws TUvoError.
void Write(const QString& fileName, const TContent& content, const TProgress& progress = {});

// Writes the same bytes to an open descriptor (standard output). Throws TUvoError.
void WriteDescriptor(int fd, const TContent& content);

// The bytes Write puts into the file: whole, and in pieces of about a
// megabyte handed to a sink in order until it returns false.
QByteArray Render(const TContent& content, const TProgress& progress = {});
void RenderInPieces(const TContent& content, const FileIo::TPieceSink& sink, const TProgress& progress = {});

}  // namespace UvoFile
