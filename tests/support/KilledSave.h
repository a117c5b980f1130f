#pragma once

#include "BadInputs.h"
#include "FileIo.h"
#include "TestCache.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

// Saves the bytes over the file as a folder that allows no new file makes a
// save do, in place, and stops the save the way a kill would once `at` bytes
// of the file have been overwritten (the file is overwritten a megabyte at a
// time). The file's folder is read-only meanwhile; as root, who may make
// files anywhere, the save runs as an unprivileged user, and what it left in
// the cache folder is handed back, as if the same user ran it. The file and
// the cache folder must be within the unprivileged user's reach. False when
// the save was not stopped there.
inline bool KillSaveInPlace(const QString& file, const QByteArray& bytes, qint64 at, const QString& cache)
{
    struct TKilled {};
    const QByteArray folder = QFile::encodeName(QFileInfo(file).path());
    const QString target = QFileInfo(file).canonicalFilePath();
    struct stat before {};
    ::stat(folder.constData(), &before);
    ::chmod(QFile::encodeName(file).constData(), 0666);
    ::chmod(folder.constData(), 0555);
    bool killed = false;
    {
        const TUnprivileged unprivileged;
        FileIo::SetWriteHook([&](const QString& written, qint64 offset) {
            if (written == target && offset >= at)
                throw TKilled{};
        });
        try {
            FileIo::Write(file, bytes);
        } catch (const TKilled&) {
            killed = true;
        }
        FileIo::SetWriteHook({});
    }
    ::chmod(folder.constData(), before.st_mode & 07777);
    static const uid_t user = ::geteuid();
    static const gid_t group = ::getegid();
    ::nftw(
        QFile::encodeName(cache).constData(),
        [](const char* path, const struct stat*, int, FTW*) {
            ::lchown(path, user, group);
            return 0;
        },
        16, FTW_PHYS);
    return killed;
}
