// uvotool on bad files and in bad places: what it says, its exit status, and
// that no file changes unless a write completed.

#include "BadInputs.h"
#include "UvoToolFixture.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

struct TCase {
    const char* Name;
    QStringList Arguments;  // "IN", "OUT" and "DIR" stand for the files of the case
    QByteArray Input;       // the content of IN
    int ExitCode;
    QString Says;           // a part of standard error
    std::function<void(QProcess&)> SetUp = {};
    qint64 FileSizeLimit = -1;
};

}  // namespace

TEST(BadInput, UvotoolRefusesOrPassesOverAndChangesNoFileItDidNotWrite)
{
    TWorkDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.Root()).constData(), 0777), 0);
    TUvoFileBuilder sound;
    TUvoFileBuilder::AddSound(sound, {"1", "2"});
    const QByteArray soundBytes = sound.Bytes();
    const auto bad = [&](TBadContent kind) { return BadContent(kind, soundBytes); };
    const QString unreadable = "could not be read";
    const QString refused = "Неверный формат. Строка 1:";
    const QString passedOver = "reading passed over data";
    const QString cannotWrite = "Невозможно открыть файл для записи.";
    const TFullDisk disk(dir.Path("full"));
    const QString diskOut = disk.Path("out.uvo");

    const TCase cases[] = {
        {"empty", {"sort", "IN"}, bad(TBadContent::Empty), 0, ""},
        {"NUL bytes", {"sort", "IN"}, bad(TBadContent::NulBytes), 2, refused},
        {"binary", {"sort", "IN"}, bad(TBadContent::Binary), 2, refused},
        {"UTF-8 with BOM", {"sort", "IN"}, bad(TBadContent::Utf8Bom), 2, refused},
        {"UTF-16", {"sort", "IN"}, bad(TBadContent::Utf16), 2, refused},
        {"CR only", {"totals", "IN"}, bad(TBadContent::CrOnly), 1, passedOver},
        {"mixed line ends", {"sort", "IN"}, bad(TBadContent::MixedLineEnds), 1, passedOver},
        {"100 MB line", {"sort", "IN"}, bad(TBadContent::HugeLine), 2, "line 2 is longer than 1 MB"},
        {"1,000,000 lines", {"sort", "IN"}, bad(TBadContent::MillionShortLines), 2, refused},
        {"1,000,000 lines checked", {"check", "IN"}, bad(TBadContent::MillionShortLines), 1, ""},
        {"byte 26 inside", {"sort", "IN"}, bad(TBadContent::EndMarkInside), 1, passedOver},
        {"endless device", {"check", "/dev/zero"}, {}, 2, "line 1 is longer than 1 MB"},
        {"gone before reading", {"sort", "MISSING"}, {}, 2, "No such file or directory"},
        {"no read permission", {"sort", "LOCKED"}, soundBytes, 2, "Permission denied", Unprivileged},
        {"folder named like the file", {"sort", "DIR"}, {}, 2, "Is a directory"},
        {"read-only target", {"sort", "IN", "-o", "READONLY"}, soundBytes, 2, cannotWrite, Unprivileged},
        {"read-only target, as whoever runs it", {"sort", "IN", "-o", "READONLY"}, soundBytes, 2, cannotWrite},
        {"folder as target", {"sort", "IN", "-o", "DIR"}, soundBytes, 2, cannotWrite},
        {"full disk", {"sort", "IN", "-o", diskOut}, soundBytes, 2, disk.Cause(), {}, disk.Injected() ? 100 : -1},
    };
    dir.Write("full/out.uvo", "kept");
    disk.Fill();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        dir.Write("in.uvo", c.Input);
        dir.Write("readonly.uvo", "kept");
        dir.Write("locked.uvo", c.Input);
        ::chmod(QFile::encodeName(dir.Path("readonly.uvo")).constData(), 0444);
        ::chmod(QFile::encodeName(dir.Path("locked.uvo")).constData(), 0);
        QDir(dir.Root()).mkdir("dir.uvo");
        QStringList arguments = c.Arguments;
        arguments.replaceInStrings(QRegularExpression("^IN$"), dir.Path("in.uvo"));
        arguments.replaceInStrings(QRegularExpression("^MISSING$"), dir.Path("missing.uvo"));
        arguments.replaceInStrings(QRegularExpression("^LOCKED$"), dir.Path("locked.uvo"));
        arguments.replaceInStrings(QRegularExpression("^READONLY$"), dir.Path("readonly.uvo"));
        arguments.replaceInStrings(QRegularExpression("^DIR$"), dir.Path("dir.uvo"));

        const TToolRun run = c.FileSizeLimit > 0 ? RunTool(arguments, dir.Root(), c.FileSizeLimit)
                             : c.SetUp         ? RunTool(arguments, dir.Root(), c.SetUp)
                                               : RunTool(arguments, dir.Root());
        if (run.ExitCode == 99)
            continue;  // no unprivileged user to run as
        EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(c.Says)) << run.Err.left(500).toStdString();
        if (c.ExitCode != 0) {  // nothing was written
            EXPECT_EQ(dir.Read("in.uvo"), c.Input);
        }
        ::chmod(QFile::encodeName(dir.Path("readonly.uvo")).constData(), 0644);
        ::chmod(QFile::encodeName(dir.Path("locked.uvo")).constData(), 0644);
        EXPECT_EQ(dir.Read("readonly.uvo"), "kept");
        EXPECT_EQ(dir.Read("full/out.uvo"), "kept");
        EXPECT_TRUE(QFileInfo(dir.Path("dir.uvo")).isDir());
        EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files), QStringList({"in.uvo", "locked.uvo", "readonly.uvo"}));
    }
}

// Memory that runs out ends a command with a message and exit status 2, never
// an abort; the check of the same file stays within its bound whatever the
// lengths of its lines.
TEST(BadInput, OutOfMemoryIsReportedAndTheCheckStaysWithinItsBound)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
    TWorkDir dir;
    dir.Write("short.uvo", QByteArray("300300\r\n").repeated(2000000));
    const auto limited = [](QProcess& process) {
        process.setChildProcessModifier([] {
            const rlimit limit{rlim_t(1) << 29, rlim_t(1) << 29};
            ::setrlimit(RLIMIT_AS, &limit);
        });
    };
    const TToolRun sort = RunTool({"sort", dir.Path("short.uvo"), "-o", dir.Path("sorted.uvo")}, dir.Root(), limited);
    EXPECT_EQ(sort.ExitCode, 2);
    EXPECT_EQ(sort.Err, "uvotool: out of memory; the command stopped.\n");
    EXPECT_FALSE(QFileInfo::exists(dir.Path("sorted.uvo")));
    const TToolRun check = RunTool({"check", dir.Path("short.uvo")}, dir.Root(), limited);
    EXPECT_EQ(check.ExitCode, 1) << check.Err.toStdString();
    EXPECT_TRUE(check.Out.contains("2000000 lines, 2000000 records, ")) << check.Out.right(300).toStdString();
}
