#pragma once

#include <QString>

class TContent;

// Reading and writing data files: single-byte Windows-1251 text, one record
// per line.
namespace UvoFile {

struct ReadResult {
    bool Ok = false;
    QString Message;  // why reading stopped, in the user's words; empty when Ok
};

// Appends the file's records to the content list in file order. A line ends
// at LF; a CR before the LF is not part of it, a lone CR is dropped, a byte 26
// ends the file. Stops at the first line that names no record type; the
// records read before it stay in the list.
ReadResult Read(const QString& fileName, TContent& content);

// Parses the lines of a whole file image; the same rules as Read.
ReadResult ReadBytes(const QByteArray& bytes, TContent& content);

// Writes every record's line followed by CR LF in list order. The file is
// replaced in one step: the lines go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the target, so a failure
// part-way leaves the previous file untouched. Throws TUvoError.
void Write(const QString& fileName, const TContent& content);

// The bytes Write puts into the file.
QByteArray Render(const TContent& content);

}  // namespace UvoFile
