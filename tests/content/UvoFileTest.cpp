// Reading and writing whole data files, line ends, bad input and safe saving.

#include "ShippedFormatFixture.h"
#include "BadInputs.h"
#include "KilledSave.h"
#include "AnsiCodePage.h"
#include "ReadLoss.h"
#include "TUvoError.h"
#include "FileIo.h"
#include "UvoFile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <thread>

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString OpenError = "Ошибка при открытии файла. Возможно, файл занят другим приложением.";

class UvoFileTest : public ShippedFormatFixture {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }

    QString WriteBytes(const QString& name, const QByteArray& bytes)
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    static QByteArray ReadBack(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // A small file of exact lines: Header, an account with its records, Trailer.
    QByteArray SampleFile()
    {
        const QStringList lines = {
            Line("300000", {{"310001", "02"}, {"310002", "12345"}, {"310003", "01"}, {"310008", "Банк «Тест»"}}),
            Line("300100", {{"310011", "40817810000000004711"}, {"310022", "000000000150000"}}),
            Line("300210", {{"310011", "40817810000000004711"}, {"310059", "0001"}}),
            Line("300300", {{"310011", "40817810000000004711"}, {"310065", "01"}, {"310233", "Щукин"}}),
            Line("300500", {{"310011", "40817810000000004711"}, {"310065", "01"}}),
            Line("300999", {{"310107", "000000001"}}),
        };
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += AnsiCodePage::Encode(line) + "\r\n";
        return bytes;
    }

    UvoFile::ReadResult ReadFile(const QByteArray& bytes)
    {
        const QString path = WriteBytes("input.uvo", bytes);
        const auto result = UvoFile::Read(path, content);
        EXPECT_EQ(ReadBack(path), bytes);  // reading never touches the file
        return result;
    }

    // The message with which writing the content fails, empty when it does
    // not; with a size limit, files may grow to that many bytes only.
    QString WriteFailure(const QString& path, rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = std::min(fileSizeLimit, old.rlim_max);
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString message;
        try {
            UvoFile::Write(path, content);
        } catch (const TUvoError& error) {
            message = error.Message();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        return message;
    }

    QTemporaryDir dir;
    TTestCache cache{dir.filePath("cache")};
};

}  // namespace

TEST_F(UvoFileTest, WholeFileRoundTripsByteForByte)
{
    const QByteArray bytes = SampleFile();
    ASSERT_TRUE(ReadFile(bytes).Ok);
    ASSERT_EQ(content.Count(), 6);
    EXPECT_EQ(content[3]->GetVal("310233"), QString("Щукин"));
    EXPECT_EQ(content[0]->GetVal("310008"), QString("Банк «Тест»"));
    UvoFile::Write(Path("output.uvo"), content);
    EXPECT_EQ(ReadBack(Path("output.uvo")), bytes);
}

TEST_F(UvoFileTest, LineEnds)
{
    const QByteArray header = AnsiCodePage::Encode(Line("300000"));
    const QByteArray trailer = AnsiCodePage::Encode(Line("300999"));
    // LF alone, a lone CR inside a line, no line end at the end.
    ASSERT_TRUE(ReadFile(header + "\n" + trailer.left(20) + "\r" + trailer.mid(20)).Ok);
    ASSERT_EQ(content.Count(), 2);
    EXPECT_EQ(content[1]->RecToString(), Line("300999"));
    content.Clear();
    // Ctrl-Z ends the file.
    ASSERT_TRUE(ReadFile(header + "\r\n\x1A" "garbage\r\n").Ok);
    EXPECT_EQ(content.Count(), 1);
    content.Clear();
    ASSERT_TRUE(ReadFile(QByteArray()).Ok);
    EXPECT_EQ(content.Count(), 0);
}

TEST_F(UvoFileTest, BlankLineFailsAtItsNumber)
{
    const QByteArray header = AnsiCodePage::Encode(Line("300000"));
    const auto result = ReadFile(header + "\r\n" + header + "\r\n\r\n" + header + "\r\n");
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Message, QString("Неверный формат. Строка 3:\r\n"));
    EXPECT_EQ(content.Count(), 2);  // the records before it stay
}

TEST_F(UvoFileTest, UnknownRecordTypeQuotesTheLine)
{
    QByteArray bytes = SampleFile();
    const qsizetype third = bytes.indexOf("\r\n", bytes.indexOf("\r\n") + 2) + 2;
    bytes.replace(third, 6, "300001");
    const auto result = ReadFile(bytes);
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(result.Message.startsWith("Неверный формат. Строка 3:\r\n300001"));
    EXPECT_EQ(content.Count(), 2);
}

TEST_F(UvoFileTest, MissingOrUnreadableFiles)
{
    EXPECT_EQ(UvoFile::Read(Path("vanished.uvo"), content).Message, OpenError);
    QDir(dir.path()).mkdir("folder.uvo");
    const auto result = UvoFile::Read(Path("folder.uvo"), content);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(content.Count(), 0);
}

TEST_F(UvoFileTest, BadInputGivesAMessageOrInvalidFieldsNeverACrash)
{
    QByteArray random(200000, '\0');
    QRandomGenerator generator(42);
    for (char& c : random)
        c = char(generator.bounded(256));
    const QByteArray header = AnsiCodePage::Encode(Line("300000"));
    const std::vector<std::tuple<const char*, QByteArray, int>> inputs = {
        {"random bytes", random, 1},
        {"NUL bytes", header + "\r\n" + QByteArray(500, '\0') + "\r\n", 2},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + header + "\r\n", 1},
        {"short lines", "3\r\n30\r\n300\r\n3000\r\n30000\r\n", 1},
        {"leading blank", " " + header + "\r\n", 1},
    };
    for (const auto& [what, bytes, lineNumber] : inputs) {
        content.Clear();
        const auto result = ReadFile(bytes);
        EXPECT_FALSE(result.Ok) << what;
        EXPECT_TRUE(result.Message.startsWith(QString("Неверный формат. Строка %1:\r\n").arg(lineNumber))) << what;
    }
    // NUL bytes inside a recognised line become part of invalid values.
    content.Clear();
    ASSERT_TRUE(ReadFile("300000" + QByteArray(20, '\0') + "\r\n").Ok);
    EXPECT_FALSE(content[0]->FindFld("310001")->IsValid());
}

TEST_F(UvoFileTest, Utf8TextIsReadAsSingleByteCharacters)
{
    QByteArray line = AnsiCodePage::Encode(Line("300300", {{"310011", "1"}, {"310065", "01"}}));
    const QByteArray name = QString("Щукин").toUtf8();
    line.replace(687, name.size(), name);
    ASSERT_TRUE(ReadFile(line + "\r\n").Ok);
    EXPECT_EQ(content[0]->GetVal("310233"), AnsiCodePage::Decode(name));
    UvoFile::Write(Path("output.uvo"), content);
    EXPECT_EQ(ReadBack(Path("output.uvo")), line + "\r\n");  // every byte survives
}

TEST_F(UvoFileTest, HugeSingleLine)
{
    // No record comes near a megabyte: such a line stops the reading, named,
    // instead of being held, whether it names a record type or not.
    const QByteArray header = AnsiCodePage::Encode(Line("300000", {})) + "\r\n";
    QByteArray line = AnsiCodePage::Encode(Line("300100", {{"310011", "1"}}));
    line.append(100 * 1024 * 1024 - line.size(), 'x');
    for (const char* recId : {"300100", "999999"}) {
        line.replace(0, 6, recId);
        content.Clear();
        const auto result = ReadFile(header + line);
        EXPECT_FALSE(result.Ok);
        EXPECT_EQ(result.Message, "Неверный формат. Строка 2 длиннее 1 МБ: это не запись файла UVO.");
        EXPECT_EQ(content.Count(), 1);  // the lines before it are read
    }
    // A line of a megabyte exactly is still read, its surplus passed over.
    line.truncate(FileIo::MaxLineBytes);
    line.replace(0, 6, "300100");
    content.Clear();
    const auto result = ReadFile(header + line);
    ASSERT_TRUE(result.Ok) << result.Message.toStdString();
    EXPECT_EQ(content[1]->RecToString().size(), 1001);
    EXPECT_EQ(result.Losses.size(), 1u);
}

TEST_F(UvoFileTest, WritingWhereNoFileCanBeCreated)
{
    ASSERT_TRUE(ReadFile(SampleFile()).Ok);
    try {
        UvoFile::Write(Path("no/such/folder/out.uvo"), content);
        FAIL() << "no error raised";
    } catch (const TUvoError& error) {
        EXPECT_EQ(error.Message(), QString("Невозможно открыть файл для записи."));
    }
}

TEST_F(UvoFileTest, FailedSaveLeavesThePreviousFileUntouched)
{
    const QByteArray previous = SampleFile();
    const QString target = WriteBytes("submission.uvo", previous);
    // A large file fails while it is written, a small one only when the last
    // buffered bytes are flushed.
    for (const int records : {2000, 10}) {
        content.Clear();
        for (int i = 0; i < records; ++i)
            content.AddFromString(Line("300300", {{"310011", QString::number(i)}, {"310065", "01"}}));

        // The disk "fills up" part-way through the new contents.
        EXPECT_FALSE(WriteFailure(target, 4096).isEmpty()) << records;
        EXPECT_EQ(ReadBack(target), previous) << records;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"submission.uvo"}));  // no leftovers
    }
}

namespace {

// Whether the path is still the kind of file it was: a save must never turn a
// device or FIFO into a regular file.
mode_t KindOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}


}  // namespace

TEST_F(UvoFileTest, ReadingNotesEveryLineWhoseDataItPassesOver)
{
    const QByteArray sample = SampleFile();
    QList<QByteArray> lines = sample.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(1);  // the CR
    // Line 2 carries text past its length, lines 3 and 4 are joined by a lone
    // CR, line 5 has blanks past its length and a trailing lone CR, and data
    // follows the byte 26 after the last line.
    const QByteArray bytes = lines[0] + "\r\n" + lines[1] + "  surplus\r\n" + lines[2] + "\r" + lines[3] + "\r\n" +
                             lines[4] + " \t \r\r\n" + lines[5] + "\r\n\x1A" + "after the end\r\n";
    const auto result = ReadFile(bytes);
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(content.Count(), 5);
    ASSERT_EQ(result.Losses.size(), 3u);
    EXPECT_EQ(result.Losses[0].Kind, TReadLoss::TKind::PastRecordEnd);
    EXPECT_EQ(result.Losses[0].Line, 2);
    EXPECT_EQ(result.Losses[0].Dropped, QString("  surplus"));
    EXPECT_EQ(result.Losses[1].Kind, TReadLoss::TKind::LoneCr);
    EXPECT_EQ(result.Losses[1].Line, 3);
    EXPECT_TRUE(result.Losses[1].Dropped.startsWith("300300")) << result.Losses[1].Dropped.toStdString();
    EXPECT_EQ(result.Losses[2].Kind, TReadLoss::TKind::AfterEndMark);
    EXPECT_EQ(result.Losses[2].Line, 6);
    EXPECT_EQ(result.Losses[2].Dropped, QString("after the end"));

    const QString warning = ReadLoss::Warning(result.Losses);
    EXPECT_TRUE(warning.startsWith("При чтении файла пропущены данные (строк: 3).\n\n"
                                   "строка 2: текст за концом записи не прочитан: «  surplus»\n"
                                   "строка 3: одиночный символ CR"))
        << warning.toStdString();
    EXPECT_TRUE(warning.endsWith("При сохранении он будет записан без пропущенных данных."));

    // A byte 26 at the very end, blanks after it, blanks past a line's
    // length are no losses.
    content.Clear();
    const auto clean = ReadFile(lines[0] + "   \r\n" + lines[1] + "\r\n\x1A\r\n\x1A");
    EXPECT_TRUE(clean.Ok);
    EXPECT_TRUE(clean.Losses.empty());
}

TEST_F(UvoFileTest, OpenRefusesWhatIsNotARegularFileWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.uvo")).constData(), 0600), 0);
    for (const QString& path : {Path("fifo.uvo"), QString("/dev/null")}) {
        const auto result = UvoFile::Read(path, content);  // a FIFO without writer would block a plain open
        EXPECT_FALSE(result.Ok);
        EXPECT_EQ(result.Message, OpenError);
    }
}

TEST_F(UvoFileTest, DevicesAndFifosAreWrittenDirectly)
{
    ASSERT_TRUE(ReadFile(SampleFile()).Ok);
    UvoFile::Write("/dev/null", content);
    EXPECT_EQ(KindOf("/dev/null"), mode_t(S_IFCHR));
    EXPECT_EQ(WriteFailure("/dev/full"), QString("Ошибка при записи файла: недостаточно места на диске."));

    const QString fifo = Path("fifo.uvo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(WriteFailure(fifo), QString("Невозможно открыть файл для записи."));  // nobody reads it
    QByteArray received;
    std::thread reader([&] { received = ReadBack(fifo); });
    while (WriteFailure(fifo) == QString("Невозможно открыть файл для записи."))
        std::this_thread::yield();  // until the reader has opened its end
    reader.join();
    EXPECT_EQ(received, SampleFile());
    EXPECT_EQ(KindOf(fifo), mode_t(S_IFIFO));
}

TEST_F(UvoFileTest, ReplacingKeepsLinksModeAndOwner)
{
    ASSERT_TRUE(ReadFile(SampleFile()).Ok);
    const QString target = WriteBytes("target.uvo", "old");
    ASSERT_TRUE(QFile::link(target, Path("link.uvo")));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root)
        ASSERT_EQ(::chown(QFile::encodeName(target).constData(), 65534, 65534), 0);

    UvoFile::Write(Path("link.uvo"), content);
    EXPECT_EQ(KindOf(Path("link.uvo")), mode_t(S_IFLNK));
    EXPECT_EQ(ReadBack(target), SampleFile());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
    // A link to a file that does not exist yet makes that file.
    ASSERT_TRUE(QFile::link(Path("new.uvo"), Path("dangling.uvo")));
    UvoFile::Write(Path("dangling.uvo"), content);
    EXPECT_EQ(KindOf(Path("dangling.uvo")), mode_t(S_IFLNK));
    EXPECT_EQ(ReadBack(Path("new.uvo")), SampleFile());
}

TEST_F(UvoFileTest, FolderThatAllowsNoNewFileGetsTheFileWrittenInPlace)
{
    ASSERT_TRUE(ReadFile(SampleFile()).Ok);
    QDir root(dir.path());
    ASSERT_TRUE(root.mkdir("locked") && root.mkdir("sticky"));
    const QString locked = Path("locked/file.uvo");
    const QString sticky = Path("sticky/file.uvo");
    const QString readOnly = WriteBytes("read-only.uvo", "old bytes");
    WriteBytes("locked/file.uvo", "old bytes");
    WriteBytes("sticky/file.uvo", "old bytes");
    for (const QString& path : {dir.path(), locked, sticky})
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Path("locked")).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Path("sticky")).constData(), 01777), 0);

    TUnprivileged unprivileged;
    if (!unprivileged.Ok())
        GTEST_SKIP() << "cannot run as an unprivileged user";
    // Run as root, the sticky folder and its file belong to another user.
    for (const QString& path : {locked, sticky}) {
        UvoFile::Write(path, content);
        EXPECT_EQ(ReadBack(path), SampleFile());
    }
    // A file made read-only is not replaced, although its folder allows it.
    EXPECT_EQ(WriteFailure(readOnly), QString("Невозможно открыть файл для записи."));
    EXPECT_EQ(ReadBack(readOnly), QByteArray("old bytes"));

    // A failure in place puts the previous bytes back.
    WriteBytes("locked/file.uvo", "old bytes");
    EXPECT_EQ(WriteFailure(locked, 100), QString("Ошибка при записи файла: превышен допустимый размер файла. "
                               "Прежнее содержимое файла сохранено."));
    EXPECT_EQ(ReadBack(locked), QByteArray("old bytes"));
    EXPECT_EQ(QDir(Path("locked")).entryList(QDir::Files), QStringList({"file.uvo"}));
    EXPECT_EQ(QDir(Path("sticky")).entryList(QDir::Files), QStringList({"file.uvo"}));
}

namespace {

// Looks, through the write hook, at the mode of every file a save writes, as
// each piece is about to go in.
class TModeWatch {
public:
    TModeWatch()
    {
        FileIo::SetWriteHook([this](const QString& file, qint64) {
            struct stat st {};
            ::stat(QFile::encodeName(file).constData(), &st);
            Seen.push_back({QFileInfo(file).fileName(), st.st_mode & 07777});
        });
    }
    ~TModeWatch() { FileIo::SetWriteHook({}); }
    std::vector<std::pair<QString, mode_t>> Seen;
};

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST_F(UvoFileTest, TheTemporaryFileIsTheOwnersAloneUntilItIsComplete)
{
    ASSERT_TRUE(ReadFile(SampleFile()).Ok);
    const QString secret = WriteBytes("secret.uvo", "old");
    const QString shared = WriteBytes("shared.uvo", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(secret).constData(), 0600), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0644), 0);
    const mode_t umask = ::umask(022);
    for (const QString& path : {secret, shared, Path("new.uvo")}) {
        const TModeWatch watch;
        UvoFile::Write(path, content);
        ASSERT_FALSE(watch.Seen.empty());
        for (const auto& [file, mode] : watch.Seen) {
            EXPECT_TRUE(file.startsWith(QFileInfo(path).fileName() + ".") && file.endsWith(".tmp")) << file.toStdString();
            EXPECT_EQ(mode, 0600u) << file.toStdString();
        }
    }
    ::umask(umask);
    EXPECT_EQ(ModeOf(secret), 0600u);
    EXPECT_EQ(ModeOf(shared), 0644u);
    EXPECT_EQ(ModeOf(Path("new.uvo")), 0644u);
    EXPECT_EQ(ReadBack(secret), SampleFile());
}

TEST_F(UvoFileTest, TheNextSaveRemovesWhatKilledSavesOfTheFileLeftAndNothingElse)
{
    ASSERT_TRUE(ReadFile(SampleFile()).Ok);
    const QString target = WriteBytes("sub.uvo", "old");
    for (const char* name : {"sub.uvo.0a1b2c.tmp", "sub.uvo.3f.tmp"})
        WriteBytes(name, "left by a killed save");
    QStringList kept = {"input.uvo", "sub.uvo", "sub.uvo.tmp", "other.uvo.0a1b2c.tmp", "sub.uvo.4d5e6f.tmp"};
    for (const QString& name : kept.mid(2))
        WriteBytes(name, "not a leftover of this file's saves");
    QFile running(Path("sub.uvo.4d5e6f.tmp"));  // a save of the file running elsewhere holds it
    ASSERT_TRUE(running.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(running.handle(), LOCK_EX), 0);
    if (::geteuid() == 0) {
        kept.append("sub.uvo.777777.tmp");
        WriteBytes("sub.uvo.777777.tmp", "another user's");
        ASSERT_EQ(::chown(QFile::encodeName(Path("sub.uvo.777777.tmp")).constData(), 65534, 65534), 0);
    }

    UvoFile::Write(target, content);
    kept.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), kept);
    EXPECT_EQ(ReadBack(target), SampleFile());
}
