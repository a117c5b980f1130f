#pragma once

// What users feed the readers besides sound files, shared by the tests that
// take it through each reader: the contents of bad files, and the places where
// reading or writing fails (no permission, a full disk).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

#include <csignal>
#include <cstdlib>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

enum class TBadContent {
    Empty,
    NulBytes,
    Binary,
    Utf8Bom,           // the sound lines after a UTF-8 byte-order mark
    Utf16,             // the sound lines in UTF-16 with its byte-order mark
    CrOnly,            // the sound lines ended by lone CRs
    MixedLineEnds,     // CR LF, LF and one lone CR
    HugeLine,          // the first sound line, then one of 100 MB
    MillionShortLines, // 1,000,000 lines of one character
    EndMarkInside,     // a byte 26 in the middle of the second line
};

// The content of a bad file made from the sound lines of a file (each ended
// by CR LF).
inline QByteArray BadContent(TBadContent kind, const QByteArray& sound)
{
    const qsizetype firstEnd = sound.indexOf("\r\n") + 2;
    switch (kind) {
    case TBadContent::Empty:
        return {};
    case TBadContent::NulBytes:
        return QByteArray(4096, '\0');
    case TBadContent::Binary: {
        QRandomGenerator random(26);
        QByteArray bytes(65536, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.bounded(256));
        return bytes;
    }
    case TBadContent::Utf8Bom:
        return "\xEF\xBB\xBF" + sound;
    case TBadContent::Utf16: {
        QByteArray bytes("\xFF\xFE", 2);
        for (char c : sound)
            bytes.append(c).append('\0');
        return bytes;
    }
    case TBadContent::CrOnly:
        return QByteArray(sound).replace("\r\n", "\r");
    case TBadContent::MixedLineEnds: {
        QByteArray bytes = sound;
        bytes.replace(firstEnd - 2, 2, "\n");                    // LF after the first line
        const qsizetype second = bytes.indexOf("\r\n", firstEnd);
        return bytes.replace(second, 2, "\r");                   // a lone CR after the second
    }
    case TBadContent::HugeLine:
        return sound.left(firstEnd) + QByteArray(100 * 1024 * 1024, 'x');
    case TBadContent::MillionShortLines:
        return QByteArray(1000000 * 2, '\n').replace("\n\n", "x\n");
    case TBadContent::EndMarkInside:
        return QByteArray(sound).insert(firstEnd + 40, '\x1A');
    }
    return {};
}

// Root reads and writes any file: a test of a file without permission runs as
// an unprivileged user where it is run as root.
class TUnprivileged {
public:
    explicit TUnprivileged(bool active = true) : FWasRoot(active && ::geteuid() == 0)
    {
        FOk = !FWasRoot || (::setegid(65534) == 0 && ::seteuid(65534) == 0);
    }
    ~TUnprivileged()
    {
        if (FWasRoot && (::seteuid(0) != 0 || ::setegid(0) != 0))
            std::abort();  // the rest of the tests would run unprivileged
    }
    TUnprivileged(const TUnprivileged&) = delete;
    TUnprivileged& operator=(const TUnprivileged&) = delete;
    bool Ok() const { return FOk; }

private:
    bool FWasRoot;
    bool FOk = true;
};

// A full disk: a folder on a file system of 64 KB where the test may mount
// one (as root); elsewhere the folder is an ordinary one and Injected() says
// that the test limits the size of the files written instead.
class TFullDisk {
public:
    explicit TFullDisk(const QString& folder) : FFolder(folder)
    {
        QDir().mkpath(folder);
        FMounted = ::geteuid() == 0 &&
                   ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TFullDisk()
    {
        if (FMounted)
            ::umount2(QFile::encodeName(FFolder).constData(), MNT_DETACH);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

    bool Injected() const { return !FMounted; }
    // Takes up the space left, so that the next file written fails.
    void Fill() const
    {
        QFile filler(Path(QStringLiteral("filler")));
        if (!FMounted || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
    QString Path(const QString& name) const { return FFolder + u'/' + name; }
    // What the user is told of the failure: no space, or the injected limit.
    QString Cause() const
    {
        return FMounted ? QStringLiteral("недостаточно места на диске") : QStringLiteral("превышен допустимый размер файла");
    }

private:
    QString FFolder;
    bool FMounted = false;
};

// The injected failure of a full disk in this process: no file grows beyond
// 100 bytes while it lives.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(bool active) : FActive(active)
    {
        if (!FActive)
            return;
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, FOld.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        if (!FActive)
            return;
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    bool FActive;
    rlimit FOld{};
    void (*FOldHandler)(int) = SIG_DFL;
};
