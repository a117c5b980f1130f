// uvotool with files that are not regular files, with folders that allow no
// new file, and with its report going nowhere.

#include "UvoToolFixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Streams : public ::testing::Test {
protected:
    Streams()
    {
        TUvoFileBuilder::AddSound(Sound, {"ACC1", "ACC2"});
        Dir.Write("sound.uvo", Sound.Bytes());
        // Records out of order: sort has something to write.
        QList<QByteArray> lines = Sound.Lines();
        lines.move(1, 4);
        Shuffled = JoinLines(lines);
        Dir.Write("shuffled.uvo", Shuffled);
    }

    TToolRun Tool(const QStringList& arguments, const std::function<void(QProcess&)>& setUp = [](QProcess&) {})
    {
        return RunTool(arguments, Dir.Root(), setUp);
    }

    // The path of a new FIFO; empty where the file system makes none.
    QString MakeFifo(const QString& name)
    {
        const QString path = Dir.Path(name);
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
    }

    static mode_t KindOf(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
    }

    TUvoFileBuilder Sound;
    QByteArray Shuffled;
    TWorkDir Dir;
};

}  // namespace

TEST_F(Streams, CheckReadsStandardInputFifosAndDevices)
{
    const QString summary = "8 lines, 8 records, sound";
    const TToolRun stdinRun = Tool({"check", "-"}, [&](QProcess& p) { p.setStandardInputFile(Dir.Path("sound.uvo")); });
    EXPECT_EQ(stdinRun.ExitCode, 0) << stdinRun.Err.toStdString();
    EXPECT_TRUE(stdinRun.Out.startsWith("-: " + summary)) << stdinRun.Out.toStdString();

    const QString fifo = MakeFifo("fifo.uvo");
    if (fifo.isEmpty())
        GTEST_SKIP() << "no FIFO can be made here";
    std::thread writer([&] {
        QFile file(fifo);
        if (file.open(QIODevice::WriteOnly))  // waits for uvotool to open the other end
            file.write(Sound.Bytes());
    });
    const TToolRun fifoRun = Tool({"check", fifo});
    writer.join();
    EXPECT_EQ(fifoRun.ExitCode, 0) << fifoRun.Err.toStdString();
    EXPECT_TRUE(fifoRun.Out.startsWith(fifo + ": " + summary)) << fifoRun.Out.toStdString();

    // A device that gives no data is an empty file.
    const TToolRun device = Tool({"check", "/dev/null"});
    EXPECT_EQ(device.ExitCode, 1);
    EXPECT_TRUE(device.Out.contains("/dev/null: 0 lines, 0 records, 2 findings")) << device.Out.toStdString();
}

TEST_F(Streams, RewriteWritesIntoDevicesFifosAndStandardOutputDirectly)
{
    const TToolRun toNull = Tool({"sort", "shuffled.uvo", "-o", "/dev/null"});
    EXPECT_EQ(toNull.ExitCode, 0) << toNull.Err.toStdString();
    EXPECT_EQ(KindOf("/dev/null"), mode_t(S_IFCHR));

    const TToolRun toFull = Tool({"sort", "shuffled.uvo", "-o", "/dev/full"});
    EXPECT_EQ(toFull.ExitCode, 2);
    EXPECT_EQ(toFull.Err, "uvotool: /dev/full: Ошибка при записи файла: недостаточно места на диске.\n");

    // Standard input to standard output, as in a pipeline.
    const TToolRun piped = Tool({"sort", "-", "-o", "-"}, [&](QProcess& p) {
        p.setStandardInputFile(Dir.Path("shuffled.uvo"));
        p.setStandardOutputFile(Dir.Path("piped.uvo"));
    });
    EXPECT_EQ(piped.ExitCode, 0) << piped.Err.toStdString();
    EXPECT_EQ(Dir.Read("piped.uvo"), Sound.Bytes());

    const QString fifo = MakeFifo("out.fifo");
    if (fifo.isEmpty())
        GTEST_SKIP() << "no FIFO can be made here";
    const TToolRun noReader = Tool({"totals", "sound.uvo", "-o", fifo});
    EXPECT_EQ(noReader.ExitCode, 2);
    EXPECT_EQ(noReader.Err, "uvotool: " + fifo + ": Невозможно открыть файл для записи.\n");
    QByteArray received;
    std::thread reader([&] { received = Dir.Read("out.fifo"); });
    TToolRun toFifo;
    do  // until the reader has opened its end
        toFifo = Tool({"sort", "shuffled.uvo", "-o", fifo});
    while (toFifo.ExitCode == 2);
    reader.join();
    EXPECT_EQ(toFifo.ExitCode, 0);
    EXPECT_EQ(received, Sound.Bytes());
    EXPECT_EQ(KindOf(fifo), mode_t(S_IFIFO));
    EXPECT_EQ(Dir.Read("shuffled.uvo"), Shuffled);
}

TEST_F(Streams, ReportThatCannotBeWrittenIsAFailure)
{
    const TToolRun run = Tool({"check", "sound.uvo"}, [](QProcess& p) { p.setStandardOutputFile("/dev/full"); });
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.startsWith("uvotool: cannot write the report: ")) << run.Err.toStdString();
}

TEST_F(Streams, ControlCharactersInNamesCannotForgeReportLines)
{
    const QString name = "a\nb.uvo: 1 lines, 1 records, sound\x1B[2J";
    Dir.Write(name, Sound.Bytes());
    const TToolRun run = Tool({"check", name, "missing\n.uvo"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Out.startsWith("a\\nb.uvo: 1 lines, 1 records, sound\\x1B[2J: 8 lines, 8 records, sound\n"))
        << run.Out.toStdString();
    EXPECT_TRUE(run.Err.startsWith("uvotool: missing\\n.uvo: ")) << run.Err.toStdString();
}

TEST_F(Streams, FileCutShortDuringACheckIsReportedNotACrash)
{
    // Another program truncates and regrows the file all the time; the check
    // must neither end by a signal nor give a summary of a file it did not
    // read whole: what it wrote of the file is said to be incomplete.
    TUvoFileBuilder big;
    QStringList accounts;
    for (int i = 0; i < 3000; ++i)
        accounts << QStringLiteral("ACC%1").arg(i);
    TUvoFileBuilder::AddSound(big, accounts);
    const QByteArray bytes = big.Bytes();
    Dir.Write("big.uvo", bytes);
    const int fd = ::open(QFile::encodeName(Dir.Path("big.uvo")).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    std::atomic<bool> done = false;
    std::thread cutter([&] {
        while (!done)
            if (::ftruncate(fd, 0) != 0 || ::ftruncate(fd, off_t(bytes.size())) != 0)
                break;
    });
    bool reported = false;
    // On a busy machine the cutter may sleep through a run; the loop ends at the first one it caught.
    for (int attempt = 0; attempt < 200 && !reported; ++attempt) {
        const TToolRun run = Tool({"check", "big.uvo"});  // a crash fails inside RunTool
        reported = run.ExitCode == 2;
        // Mostly the change itself is seen; a read that fell wholly between a
        // cut and a regrowth sees only zero bytes, one line too long to be a record.
        if (reported) {
            EXPECT_TRUE(run.Err.startsWith("uvotool: big.uvo: ")) << run.Err.toStdString();
            EXPECT_TRUE(run.Err.endsWith("the check of the file is incomplete, no summary written\n"))
                << run.Err.toStdString();
            EXPECT_FALSE(run.Out.contains("big.uvo: ")) << run.Out.toStdString();
        }
    }
    done = true;
    cutter.join();
    ::close(fd);
    EXPECT_TRUE(reported);
}

TEST_F(Streams, LockedFolderAndAnotherUsersFile)
{
    // Run as root, uvotool rewrites another user's file and leaves it theirs,
    // then, as that user, rewrites the file in a folder where it may make no
    // new file. Run as another user, only the folder is tried.
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(QDir(Dir.Root()).mkdir("locked"));
    const QString file = Dir.Path("locked/file.uvo");
    Dir.Write("locked/file.uvo", Shuffled);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0664), 0);
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 65534, 65534), 0);
        EXPECT_EQ(Tool({"sort", file}).ExitCode, 0);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
        EXPECT_EQ(st.st_mode & 07777, 0664u);
        EXPECT_EQ(Dir.Read("locked/file.uvo"), Sound.Bytes());
        Dir.Write("locked/file.uvo", Shuffled);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.Root()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.Path("locked")).constData(), 0555), 0);
    const TToolRun run = Tool({"sort", file}, Unprivileged);
    ::chmod(QFile::encodeName(Dir.Path("locked")).constData(), 0755);  // so that the folder can be removed
    if (run.ExitCode == 99)
        GTEST_SKIP() << "cannot run uvotool as an unprivileged user";
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(Dir.Read("locked/file.uvo"), Sound.Bytes());
    EXPECT_EQ(QDir(Dir.Path("locked")).entryList(QDir::Files), QStringList({"file.uvo"}));
}
