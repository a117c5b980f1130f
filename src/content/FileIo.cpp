#include "FileIo.h"

#include "FileRights.h"
#include "InterruptedSaves.h"
#include "TDescriptor.h"
#include "TUvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIo {
namespace {

const QString OpenForWritingMessage = QStringLiteral("Невозможно открыть файл для записи.");

QByteArray NativePath(const QString& fileName) { return QFile::encodeName(fileName); }

TWriteHook& WriteHook()
{
    static TWriteHook hook;
    return hook;
}

void BeforeWrite(const QString& file, qint64 offset)
{
    if (WriteHook() && !file.isEmpty())
        WriteHook()(file, offset);
}

TFileIdentity IdentityOf(const struct stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool SameState(const struct stat& a, const struct stat& b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Follows the lines of data file bytes as they arrive: how many lines have
// ended, where the open one began, and where a byte 26 ended the lines.
class TLineWatch {
public:
    // Every byte of a large file passes here: the line ends and the mark are
    // searched for, not stepped to byte by byte.
    void See(const char* data, qsizetype from, qsizetype to)
    {
        if (FEndMark >= 0)
            return;
        if (const void* mark = std::memchr(data + from, '\x1A', size_t(to - from))) {
            FEndMark = static_cast<const char*>(mark) - data;
            to = FEndMark;
        }
        const char* const end = data + to;
        for (const char* lf = data + from; (lf = static_cast<const char*>(std::memchr(lf, '\n', size_t(end - lf))));
             ++lf) {
            ++FEnded;
            FOpenLine = lf - data + 1;
        }
    }
    bool LineTooLong(qsizetype filled) const { return FEndMark < 0 && filled - FOpenLine > MaxLineBytes; }
    qsizetype OpenLineNumber() const { return FEnded + 1; }
    qsizetype OpenLineStart() const { return FOpenLine; }
    // How much of the data a stream need keep: its lines and a bounded tail.
    qsizetype Kept(qsizetype filled) const
    {
        return FEndMark < 0 ? filled : std::min(filled, FEndMark + 1 + MaxLineBytes);
    }

private:
    qsizetype FEnded = 0;
    qsizetype FOpenLine = 0;
    qsizetype FEndMark = -1;
};

// Reads to the end. A regular file's buffer is sized once from its size, so
// that a large file is never held twice while it grows. The bytes are watched
// line by line (see MaxLineBytes) as they arrive.
TReadResult ReadToEnd(int fd)
{
    TReadResult result;
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        return {{}, TReadFailure::ReadError, errno};
    const bool regular = S_ISREG(before.st_mode);
    QByteArray& bytes = result.Bytes;
    bytes.resize(regular ? qsizetype(before.st_size) : 0);
    TLineWatch lines;
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(filled + std::max(ReadChunk, regular ? 0 : filled));
        const ssize_t n = ::read(fd, bytes.data() + filled, size_t(std::min(bytes.size() - filled, ReadChunk)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            return {{}, TReadFailure::ReadError, error};
        }
        if (n == 0)
            break;
        lines.See(bytes.constData(), filled, filled + n);
        if (lines.LineTooLong(filled + n)) {
            bytes.truncate(lines.OpenLineStart());
            return {std::move(bytes), TReadFailure::LineTooLong, 0, lines.OpenLineNumber()};
        }
        if (!regular && lines.Kept(filled + n) < filled + n) {
            filled = lines.Kept(filled + n);
            break;  // the rest of an endless stream is passed over unread
        }
        filled += n;
    }
    bytes.resize(filled);
    struct stat after {};
    if (regular && (::fstat(fd, &after) != 0 || !SameState(before, after) ||
                    (after.st_size > 0 && filled != after.st_size)))
        return {{}, TReadFailure::ChangedWhileRead, 0};
    return result;
}

// Reads in pieces of `piece` bytes into one buffer, handing each to `take`
// until it returns false. Only a regular file can be told to have changed:
// a stream has no size, and its time of change moves with every write.
TReadResult ReadInPieces(int fd, qsizetype piece, const TPieceReader& take)
{
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        return {{}, TReadFailure::ReadError, errno};
    const bool regular = S_ISREG(before.st_mode);
    QByteArray buffer(piece, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        qsizetype filled = 0;
        while (filled < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + filled, size_t(buffer.size() - filled));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return {{}, TReadFailure::ReadError, errno};
            if (n == 0)
                break;
            filled += n;
        }
        if (filled == 0)
            break;
        total += filled;
        if (!take(QByteArrayView(buffer.constData(), filled), total, qint64(before.st_size)))
            return {};
        if (filled < buffer.size())
            break;
    }
    if (!regular)
        return {};
    struct stat after {};
    if (::fstat(fd, &after) != 0 || !SameState(before, after) || (after.st_size > 0 && total != after.st_size))
        return {{}, TReadFailure::ChangedWhileRead, 0};
    return {};
}

TReadResult ReadFile(const QString& fileName, bool regularOnly, const std::function<TReadResult(int fd)>& read)
{
    // Without O_NONBLOCK the open of a FIFO waits for a writer, which is what
    // reading a stream means; the non-blocking open only learns what the file is.
    const int flags = O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0);
    TDescriptor file(::open(NativePath(fileName).constData(), flags));
    if (!file.IsOpen())
        return {{}, TReadFailure::CannotOpen, errno};
    struct stat st {};
    if (::fstat(file.Fd(), &st) != 0)
        return {{}, TReadFailure::CannotOpen, errno};
    if (S_ISDIR(st.st_mode))
        return {{}, TReadFailure::CannotOpen, EISDIR};
    if (regularOnly && !S_ISREG(st.st_mode))
        return {{}, TReadFailure::NotRegularFile, 0};
    return read(file.Fd());
}


// Writes what the producer hands out from the descriptor's position; a file
// being saved is named for the write hook. The system's error number of the
// piece that could not be written, or 0; `written` counts the bytes written.
int WriteProduced(int fd, const TProducer& produce, const QString& file = {}, qint64* written = nullptr)
{
    int error = 0;
    qint64 done = 0;
    produce([&](QByteArrayView piece) {
        if (error != 0)
            return false;
        BeforeWrite(file, done);
        if (!WriteAll(fd, piece)) {
            error = errno != 0 ? errno : EIO;
            return false;
        }
        done += piece.size();
        return true;
    });
    if (written)
        *written = done;
    return error;
}

TProducer Whole(QByteArrayView bytes)
{
    return [bytes](const TPieceSink& sink) { sink(bytes); };
}

[[noreturn]] void ThrowOpenFailure() { throw TUvoError(OpenForWritingMessage); }

[[noreturn]] void ThrowWriteFailure(int error, const QString& addition = {})
{
    throw TUvoError(QStringLiteral("Ошибка при записи файла: %1.").arg(CauseText(error)) + addition);
}

// While a pipe is written: a reader that has gone away makes the write fail
// with EPIPE instead of ending the program with SIGPIPE and its unsaved work.
class TPipeSignalGuard {
public:
    TPipeSignalGuard()
    {
        sigemptyset(&FSet);
        sigaddset(&FSet, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        FWasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &FSet, &FOld);
    }
    ~TPipeSignalGuard()
    {
        sigset_t pending;
        sigpending(&pending);
        if (!FWasPending && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none{};
            sigtimedwait(&FSet, nullptr, &none);
        }
        pthread_sigmask(SIG_SETMASK, &FOld, nullptr);
    }
    TPipeSignalGuard(const TPipeSignalGuard&) = delete;
    TPipeSignalGuard& operator=(const TPipeSignalGuard&) = delete;

private:
    sigset_t FSet{};
    sigset_t FOld{};
    bool FWasPending = false;
};

// A device or FIFO: there is nothing to replace, and a temporary file renamed
// over it would destroy the device node.
void WriteDirectly(const QByteArray& path, const TProducer& produce)
{
    // A FIFO without reader refuses the non-blocking open instead of hanging.
    TDescriptor file(::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.IsOpen())
        ThrowOpenFailure();
    ::fcntl(file.Fd(), F_SETFL, ::fcntl(file.Fd(), F_GETFL) & ~O_NONBLOCK);
    WriteDescriptor(file.Fd(), produce);
}

// The file a chain of symbolic links ends at, whether it exists or not.
QString LinkTarget(const QString& fileName)
{
    QString path = fileName;
    for (int depth = 0; depth < 40 && QFileInfo(path).isSymLink(); ++depth)
        path = QFileInfo(path).symLinkTarget();
    return path;
}

// The failures of making or renaming a file in a folder that the folder's
// own permissions, mount or stickiness cause; writing the file in place may
// still work there.
bool FolderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
}

const QString KeptSuffix = QStringLiteral(" Прежнее содержимое файла сохранено.");

QString UnfinishedSuffix(const QString& copy)
{
    return QStringLiteral(" Файл записан не полностью; его полная новая копия сохранена в файле «%1». "
                          "Программа предложит завершить сохранение при следующем запуске.")
        .arg(copy);
}

// How copying over a file ended: the system's error number or 0, and whether
// any of the file's bytes had been overwritten by then.
struct TCopyOver {
    int Error = 0;
    bool Touched = false;
};

// The file's bytes replaced by the copy's, in place. Room for a larger file
// is taken first, so that a full disk stops the save before the file changes.
TCopyOver CopyOver(int from, int to, const QString& target, qint64 oldSize, qint64 size)
{
    if (size > oldSize) {
        const int error = ::posix_fallocate(to, off_t(oldSize), off_t(size - oldSize));
        if (error == ENOSPC || error == EDQUOT || error == EFBIG) {
            ::ftruncate(to, off_t(oldSize));
            return {error, false};
        }
    }
    QByteArray piece(ReadChunk, Qt::Uninitialized);
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::pread(from, piece.data(), size_t(std::min<qint64>(piece.size(), size - done)), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            if (done == 0)
                ::ftruncate(to, off_t(oldSize));
            return {error, done > 0};
        }
        BeforeWrite(target, done);
        if (!WriteAll(to, QByteArrayView(piece.constData(), n), done))
            return {errno != 0 ? errno : EIO, true};
        done += n;
    }
    if (::ftruncate(to, off_t(size)) != 0 || ::fsync(to) != 0)
        return {errno, true};
    return {};
}

// The existing file rewritten in place: the whole new content goes first into
// a private copy, and only then over the file. A failure before the file is
// touched leaves it as it was; one after leaves the copy to finish the save.
void WriteInPlace(const QString& target, const TProducer& produce)
{
    TDescriptor file(::open(NativePath(target).constData(), O_RDWR | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!file.IsOpen() || ::fstat(file.Fd(), &st) != 0)
        ThrowOpenFailure();
    InterruptedSaves::TSaveCopy copy(target);
    qint64 size = 0;
    int error = 0;
    try {
        error = WriteProduced(copy.Fd(), produce, copy.Path(), &size);
    } catch (...) {
        copy.Remove();
        throw;
    }
    if (error == 0)
        error = copy.Commit(st, size);
    if (error != 0) {
        copy.Remove();
        ThrowWriteFailure(error, KeptSuffix);
    }
    TCopyOver result = CopyOver(copy.Fd(), file.Fd(), target, qint64(st.st_size), size);
    if (const int closeError = file.Close(); result.Error == 0 && closeError != 0)
        result = {closeError, true};
    if (result.Error == 0 || !result.Touched)
        copy.Remove();
    if (result.Error != 0)
        ThrowWriteFailure(result.Error, result.Touched ? UnfinishedSuffix(copy.Path()) : KeptSuffix);
}

// The mode of a new file: what the process's umask leaves of 0666.
mode_t NewFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            bool ok = false;
            const uint mask = line.startsWith("Umask:") ? line.mid(6).trimmed().toUInt(&ok, 8) : 0;
            if (ok)
                return 0666 & ~mode_t(mask);
        }
    }
    const mode_t mask = ::umask(022);  // read only by setting it: put back at once
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary files that killed saves of the file left beside it: the name
// pattern of CreateTemporary, the process's own, held by no running save.
void RemoveLeftovers(const QString& target)
{
    const QFileInfo info(target);
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(info.fileName()) +
                                     QStringLiteral("\\.[0-9a-f]{1,6}\\.tmp$"));
    const QDir folder = info.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!pattern.match(name).hasMatch())
            continue;
        const QByteArray path = NativePath(folder.filePath(name));
        TDescriptor file(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat st {};
        if (file.IsOpen() && ::fstat(file.Fd(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(file.Fd(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
    }
}

// A new file beside the target, with a name nobody uses, readable by its
// owner only; -1 and errno when the folder allows none. It is locked while
// the save runs, so that another save of the file leaves it alone.
int CreateTemporary(const QString& target, mode_t mode, QByteArray& tempPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = NativePath(target) + '.' +
                   QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 16).rightJustified(6, '0') +
                   ".tmp";
        const int fd = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode & 0600);
        if (fd >= 0)
            ::flock(fd, LOCK_EX);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The replacement takes the old file's owner and group where the process may
// set them (the group alone where only that is allowed), then its mode,
// which a change of owner may have cut.
void KeepOwnerAndMode(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
        // The replacement stays the process's own, as any new file would.
    }
    ::fchmod(fd, old.st_mode & 07777);
}

void Replace(const QString& target, const TProducer& produce, const struct stat* existing)
{
    const QByteArray path = NativePath(target);
    const mode_t mode = existing ? existing->st_mode & 07777 : NewFileMode();
    RemoveLeftovers(target);
    QByteArray tempPath;
    TDescriptor temp(CreateTemporary(target, mode, tempPath));
    if (!temp.IsOpen()) {
        if (existing && FolderRefuses(errno))
            return WriteInPlace(target, produce);
        ThrowOpenFailure();
    }
    auto fail = [&](int error) {
        temp.Close();
        ::unlink(tempPath.constData());
        ThrowWriteFailure(error);
    };
    int error = 0;
    try {
        error = WriteProduced(temp.Fd(), produce, QFile::decodeName(tempPath));
    } catch (...) {  // the producer's own failure (no memory) leaves no stray file
        temp.Close();
        ::unlink(tempPath.constData());
        throw;
    }
    if (error != 0 || ::fsync(temp.Fd()) != 0)
        fail(error != 0 ? error : errno);
    if (existing)
        KeepOwnerAndMode(temp.Fd(), *existing);
    else
        ::fchmod(temp.Fd(), mode);
    if (const int closeError = temp.Close())
        fail(closeError);
    if (::rename(tempPath.constData(), path.constData()) != 0) {
        const int renameError = errno;
        ::unlink(tempPath.constData());
        if (existing && FolderRefuses(renameError))
            return WriteInPlace(target, produce);
        ThrowWriteFailure(renameError);
    }
}

// A regular file, new or replacing one, written whole; what earlier saves
// of it left to finish is older now.
void WriteRegular(const QString& target, const TProducer& produce, const struct stat* existing)
{
    Replace(target, produce, existing);
    InterruptedSaves::Forget(target);
}

}  // namespace

bool WriteAll(int fd, QByteArrayView bytes, qint64 offset)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const size_t size = size_t(std::min<qsizetype>(bytes.size() - done, 1 << 30));
        const ssize_t n = offset < 0 ? ::write(fd, bytes.data() + done, size)
                                     : ::pwrite(fd, bytes.data() + done, size, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

TReadResult ReadRegularFileInPieces(const QString& fileName, qsizetype piece, const TPieceTaker& take)
{
    const TPieceReader reader = [&](QByteArrayView bytes, qint64 done, qint64 size) {
        take(bytes, done, size);
        return true;
    };
    return ReadFile(fileName, true, [&](int fd) { return ReadInPieces(fd, piece, reader); });
}

TReadResult ReadAnyFileInPieces(const QString& fileName, qsizetype piece, const TPieceReader& take)
{
    return ReadFile(fileName, false, [&](int fd) { return ReadInPieces(fd, piece, take); });
}

TReadResult ReadDescriptorInPieces(int fd, qsizetype piece, const TPieceReader& take)
{
    return ReadInPieces(fd, piece, take);
}

TReadResult ReadAnyFile(const QString& fileName)
{
    return ReadFile(fileName, false, [](int fd) { return ReadToEnd(fd); });
}

TReadResult ReadDescriptor(int fd) { return ReadToEnd(fd); }

void Write(const QString& fileName, QByteArrayView bytes) { Write(fileName, Whole(bytes)); }

void WriteDescriptor(int fd, QByteArrayView bytes) { WriteDescriptor(fd, Whole(bytes)); }

void Write(const QString& fileName, const TProducer& produce)
{
    const QByteArray path = NativePath(fileName);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        if (errno != ENOENT)
            ThrowOpenFailure();
        return WriteRegular(LinkTarget(fileName), produce, nullptr);  // a new file, or the missing target of a link
    }
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))
        return WriteDirectly(path, produce);
    if (!S_ISREG(st.st_mode))
        ThrowOpenFailure();
    // A file its owner made read-only is not replaced behind their back,
    // although the folder (or being root) would allow it.
    if (!FileRights::MayWrite(path))
        ThrowOpenFailure();
    const QString target = QFileInfo(fileName).canonicalFilePath();
    WriteRegular(target.isEmpty() ? fileName : target, produce, &st);
}

std::optional<TFileIdentity> IdentityOf(const QString& fileName)
{
    struct stat st {};
    if (::stat(NativePath(fileName).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return IdentityOf(st);
}

void SetWriteHook(TWriteHook hook) { WriteHook() = std::move(hook); }

void WriteDescriptor(int fd, const TProducer& produce)
{
    TPipeSignalGuard guard;
    if (const int error = WriteProduced(fd, produce))
        ThrowWriteFailure(error);
}

QString CauseText(int error)
{
    switch (error) {
    case ENOSPC: return QStringLiteral("недостаточно места на диске");
    case EDQUOT: return QStringLiteral("превышена дисковая квота");
    case EACCES:
    case EPERM: return QStringLiteral("нет прав доступа");
    case EROFS: return QStringLiteral("файловая система доступна только для чтения");
    case EFBIG: return QStringLiteral("превышен допустимый размер файла");
    case EIO: return QStringLiteral("ошибка ввода-вывода");
    case EPIPE: return QStringLiteral("получатель данных закрыл канал");
    case EISDIR: return QStringLiteral("это папка, а не файл");
    case ENOENT: return QStringLiteral("файл не найден");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("файл занят");
    case ENOMEM: return QStringLiteral("недостаточно памяти");
    default: return QStringLiteral("системная ошибка %1").arg(error);
    }
}

}  // namespace FileIo
