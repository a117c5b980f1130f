#include "InterruptedSaves.h"

#include "FileIo.h"
#include "TUvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>

namespace InterruptedSaves {
namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// What a note says: the file the copy belongs to, as it was when its
// overwriting began, and the size of the copy.
struct TNote {
    QString Target;
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 Size = 0;
};

QString NoteOf(const QString& copy) { return copy.chopped(int(qstrlen(".uvo"))) + QStringLiteral(".note"); }

// The numbers as decimal text: a JSON number would round an inode number.
QByteArray NoteText(const TNote& note)
{
    const QJsonObject object{{QStringLiteral("target"), note.Target},
                             {QStringLiteral("device"), QString::number(note.Device)},
                             {QStringLiteral("inode"), QString::number(note.Inode)},
                             {QStringLiteral("size"), QString::number(note.Size)}};
    return QJsonDocument(object).toJson();
}

// None for a note that is missing or was cut short while it was written: its
// save had not touched its file yet.
std::optional<TNote> ReadNote(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.read(1 << 16)).object();
    TNote note;
    bool device = false, inode = false, size = false;
    note.Target = object.value(QStringLiteral("target")).toString();
    note.Device = object.value(QStringLiteral("device")).toString().toULongLong(&device);
    note.Inode = object.value(QStringLiteral("inode")).toString().toULongLong(&inode);
    note.Size = object.value(QStringLiteral("size")).toString().toLongLong(&size);
    if (note.Target.isEmpty() || !device || !inode || !size)
        return std::nullopt;
    return note;
}

// Where the copies may be kept, in this order: the user's cache folder and,
// where that cannot be had (a home folder that is not the user's), a folder
// of the user's own among the temporary files.
QStringList Folders()
{
    return {Folder(), QDir::tempPath() + QStringLiteral("/uvoedit-%1/saves").arg(::geteuid())};
}

// A folder on the way to the copies, made when asked and missing, if it is
// the process's own and open to nobody else's writing.
bool OwnFolder(const QByteArray& path, bool create)
{
    if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 022) != 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

// The folder of copies and the one it stands in are the process's own and
// closed to others: the copies hold the files' data, and a note that another
// user could place would direct the next run to overwrite any file. False,
// with errno set, otherwise.
bool PrivateFolder(const QString& folder, bool create)
{
    const QString parent = QFileInfo(folder).path();
    if (create)
        QDir().mkpath(QFileInfo(parent).path());
    if (!OwnFolder(Native(parent), create) || !OwnFolder(Native(folder), create))
        return false;
    return ::chmod(Native(folder).constData(), 0700) == 0;
}

// The name of a new entry reaches the disk only with its folder.
int SyncFolder(const QString& folder)
{
    TDescriptor dir(::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.IsOpen() || ::fsync(dir.Fd()) != 0)
        return errno;
    return 0;
}

void Discard(const TInterruptedSave& save)
{
    ::unlink(Native(save.Note).constData());
    ::unlink(Native(save.Copy).constData());
}

// The saves of the folder's copies that no running save holds; a copy
// without a note, of a save that ended before it touched its file, goes.
void Collect(const QString& folder, std::vector<TInterruptedSave>& saves)
{
    const QDir dir(folder);
    const QStringList copies = dir.entryList({QStringLiteral("save-*.uvo")}, QDir::Files | QDir::Hidden,
                                             QDir::Time | QDir::Reversed);
    for (const QString& name : copies) {
        TInterruptedSave save;
        save.Copy = dir.filePath(name);
        save.Note = NoteOf(save.Copy);
        TDescriptor copy(::open(Native(save.Copy).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!copy.IsOpen() || ::flock(copy.Fd(), LOCK_EX | LOCK_NB) != 0)
            continue;  // its save is running
        const std::optional<TNote> note = ReadNote(save.Note);
        if (!note) {
            Discard(save);
            continue;
        }
        struct stat st {};
        if (::fstat(copy.Fd(), &st) != 0 || st.st_size != note->Size)
            continue;  // not the copy its note speaks of: left alone, never written anywhere
        struct stat target {};
        save.Target = note->Target;
        save.Device = note->Device;
        save.Inode = note->Inode;
        save.TargetChanged = ::stat(Native(note->Target).constData(), &target) != 0 ||
                             quint64(target.st_dev) != note->Device || quint64(target.st_ino) != note->Inode;
        saves.push_back(std::move(save));
    }
}

}  // namespace

QString Folder()
{
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/uvoedit/saves");
}

std::vector<TInterruptedSave> Pending()
{
    std::vector<TInterruptedSave> saves;
    for (const QString& folder : Folders())
        if (PrivateFolder(folder, false))
            Collect(folder, saves);
    return saves;
}

std::vector<TInterruptedSave> PendingFor(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    const QString absolute = info.absoluteFilePath();
    struct stat st {};
    const bool exists = ::stat(Native(fileName).constData(), &st) == 0;
    std::vector<TInterruptedSave> saves;
    for (TInterruptedSave& save : Pending()) {
        const bool sameFile = exists && quint64(st.st_dev) == save.Device && quint64(st.st_ino) == save.Inode;
        if (save.Target == canonical || save.Target == absolute || sameFile)
            saves.push_back(std::move(save));
    }
    return saves;
}

void Finish(const TInterruptedSave& save)
{
    TDescriptor copy(::open(Native(save.Copy).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!copy.IsOpen())
        throw TUvoError(QStringLiteral("Копия «%1» не найдена.").arg(save.Copy));
    if (::flock(copy.Fd(), LOCK_EX | LOCK_NB) != 0)
        throw TUvoError(QStringLiteral("Сохранение файла «%1» уже завершает другая программа.").arg(save.Target));
    FileIo::Write(save.Target, [&](const FileIo::TPieceSink& sink) {
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(copy.Fd(), piece.data(), size_t(piece.size()));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)  // the write stops, and the file is left as it was
                throw TUvoError(QStringLiteral("Ошибка при чтении копии «%1»: %2.").arg(save.Copy, FileIo::CauseText(errno)));
            if (n == 0 || !sink(QByteArrayView(piece.constData(), n)))
                return;
        }
    });
    Discard(save);
}

void Forget(const QString& fileName)
{
    for (const TInterruptedSave& save : PendingFor(fileName))
        Discard(save);
}

TSaveCopy::TSaveCopy(const QString& target) : FTarget(target)
{
    QString folder;
    int error = 0;
    for (const QString& candidate : Folders()) {
        if (PrivateFolder(candidate, true)) {
            folder = candidate;
            break;
        }
        if (error == 0)
            error = errno;
    }
    for (int attempt = 0; !folder.isEmpty() && attempt < 100 && !FFile.IsOpen(); ++attempt) {
        FPath = folder + QStringLiteral("/save-%1.uvo").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        FFile.Reset(::open(Native(FPath).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        error = errno;
    }
    if (!FFile.IsOpen())
        throw TUvoError(QStringLiteral("Ошибка при записи файла: %1. Папка не позволяет создать в ней новый файл, "
                                       "а для записи на месте нужна копия файла в папке «%2».")
                            .arg(FileIo::CauseText(error), Folder()));
    ::flock(FFile.Fd(), LOCK_EX);
}

int TSaveCopy::Commit(const struct stat& target, qint64 size)
{
    struct stat st {};
    if (::fsync(Fd()) != 0 || ::fstat(Fd(), &st) != 0)
        return errno;
    if (st.st_nlink == 0 || st.st_size != size)
        return EIO;  // taken away from the folder while it was written
    FNote = NoteOf(FPath);
    TDescriptor note(::open(Native(FNote).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!note.IsOpen())
        return errno;
    int error = 0;
    if (!FileIo::WriteAll(note.Fd(), NoteText({FTarget, quint64(target.st_dev), quint64(target.st_ino), size})) ||
        ::fsync(note.Fd()) != 0)
        error = errno != 0 ? errno : EIO;
    if (const int closeError = note.Close(); error == 0)
        error = closeError;
    if (error == 0)
        error = SyncFolder(QFileInfo(FPath).path());
    if (error != 0)
        ::unlink(Native(FNote).constData());
    return error;
}

void TSaveCopy::Remove()
{
    // The note first: a copy without a note is a save that needs nothing more.
    if (!FNote.isEmpty())
        ::unlink(Native(FNote).constData());
    ::unlink(Native(FPath).constData());
}

}  // namespace InterruptedSaves
