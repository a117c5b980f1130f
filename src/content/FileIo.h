#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

// Whole files in and out through the operating system, for data files. Every
// failure keeps the system's error number, so that the user can be told the
// cause in Russian rather than the system's English text.
namespace FileIo {

enum class TReadFailure {
    None,
    CannotOpen,        // Error tells why
    NotRegularFile,    // refused before anything is read
    ReadError,         // Error tells why
    ChangedWhileRead,  // another program changed the file in the meantime
    LineTooLong,       // Line tells which; reading stopped there
};

// The longest line read: far longer than any record, short enough that a
// file without line ends (or /dev/zero) cannot fill the memory.
inline constexpr qsizetype MaxLineBytes = 1 << 20;
// A whole read takes this much at a time: large enough that a file is read in
// few calls, small enough to probe for the end of a file whose size was
// already read in full.
inline constexpr qsizetype ReadChunk = 1 << 20;

struct TReadResult {
    QByteArray Bytes;  // LineTooLong: the lines before that line
    TReadFailure Failure = TReadFailure::None;
    int Error = 0;      // the system's error number of CannotOpen and ReadError
    qsizetype Line = 0; // LineTooLong: the line, counted from 1
};

// Data files are read whole, but no line (the text up to a LF, before a byte
// 26 ends the data) may be longer than MaxLineBytes, and of a stream no more
// than MaxLineBytes past a byte 26 is kept.
//
// Takes the next piece of a file read in pieces, with the bytes read so far
// and the file's size.
using TPieceTaker = std::function<void(QByteArrayView piece, qint64 done, qint64 size)>;
// A regular file in consecutive pieces of `piece` bytes (the last may be
// shorter), read into one buffer that each piece reuses, so that a large file
// is never held whole. Only a regular file is read: anything else (a FIFO, a
// device, a folder) is refused without waiting on it, as opening a FIFO that
// nobody writes would never return. That another program changed the file is
// known only after the last piece.
TReadResult ReadRegularFileInPieces(const QString& fileName, qsizetype piece, const TPieceTaker& take);
// Any readable file (a regular file, a device, a FIFO) or an open descriptor
// in the same way, until the reader returns false or the end: what a reader
// that keeps only what it needs of each piece reads a file of any size with.
using TPieceReader = std::function<bool(QByteArrayView piece, qint64 done, qint64 size)>;
TReadResult ReadAnyFileInPieces(const QString& fileName, qsizetype piece, const TPieceReader& take);
TReadResult ReadDescriptorInPieces(int fd, qsizetype piece, const TPieceReader& take);
// Any readable file: a regular file, a device, a FIFO; it is read to its end.
TReadResult ReadAnyFile(const QString& fileName);
// An open descriptor, from where it stands to the end (standard input).
TReadResult ReadDescriptor(int fd);

// Writes the bytes as the whole content of the file and throws TUvoError when
// that fails, with "Невозможно открыть файл для записи." when the file cannot
// be opened or created and otherwise the cause.
//
// A regular file is replaced in one step through a temporary file in its
// folder, which is renamed over it once it is complete on disk. The temporary
// file is readable by its owner only until then; the file keeps its mode and,
// where the process may set them, its owner and group. Temporary files that
// killed saves of the same file left behind are removed. Where the folder
// allows no such replacement (no new files may be made in it, or it is sticky
// and the file belongs to another user) the file is rewritten in place from a
// complete private copy, so that a save cut short can be finished later
// (InterruptedSaves). A symbolic link stays a link and the file it points to
// gets the content. A character device or a FIFO is written directly (a FIFO
// must have a reader); any other kind of file is refused.
void Write(const QString& fileName, QByteArrayView bytes);
// Writes the bytes to an open descriptor (standard output).
void WriteDescriptor(int fd, QByteArrayView bytes);
// Writes all of bytes to fd, at offset unless it is negative, through short
// writes and interruptions; false on an error (errno tells it).
bool WriteAll(int fd, QByteArrayView bytes, qint64 offset = -1);

// Content handed out piece by piece, so that a large file is never built
// whole in memory: the producer passes its pieces in order to the sink, which
// returns false when a piece could not be written; the producer then stops.
using TPieceSink = std::function<bool(QByteArrayView)>;
using TProducer = std::function<void(const TPieceSink&)>;
// Write and WriteDescriptor for content handed out in pieces.
void Write(const QString& fileName, const TProducer& produce);
void WriteDescriptor(int fd, const TProducer& produce);

// What tells a file on disk from the one that stood there before: another
// program that replaces the file gives it another inode, one that rewrites it
// another time of change.
struct TFileIdentity {
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 Size = 0;
    qint64 ModifiedNs = 0;  // since the epoch
    bool operator==(const TFileIdentity&) const = default;
};
// The identity of the regular file the name leads to; none for a missing file
// or any other kind of file.
std::optional<TFileIdentity> IdentityOf(const QString& fileName);

// Called before each piece of a save goes to a file (the temporary file, the
// private copy, the file rewritten in place), with the file and the offset
// the piece goes to. Tests look at the file there, or throw to stop the save
// as if the program had died. Empty by default.
using TWriteHook = std::function<void(const QString& file, qint64 offset)>;
void SetWriteHook(TWriteHook hook);

// The cause of a failure in the user's words, from a system error number:
// "недостаточно места на диске", "нет прав доступа", …
QString CauseText(int error);

}  // namespace FileIo
