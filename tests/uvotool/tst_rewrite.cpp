// uvotool totals and sort: the file they write, and every file left alone
// when they cannot read or write.

#include "InterruptedSaves.h"
#include "KilledSave.h"
#include "UvoFile.h"
#include "UvoToolFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace {

// A sound file in hierarchy order, about 3.3 KB per account.
void AddSoundFile(TUvoFileBuilder& b, int accounts = 3)
{
    b.Add(UvoIds::HeaderRecID, {}, {{"310008", QStringLiteral("Банк «Пример»")}});
    for (int i = 1; i <= accounts; ++i) {
        const QString account = QStringLiteral("ACC%1").arg(i);
        b.Add(UvoIds::AccountRecID, account);
        b.Add(QStringLiteral("300210"), account, {{"310059", "0001"}});
        b.Add(QStringLiteral("300210"), account, {{"310059", "0002"}});
        b.Add(UvoIds::ConsumerRecID, account, {{"310065", "01"}, {"310233", QStringLiteral("Иванов")}});
        b.Add(QStringLiteral("300500"), account, {{"310065", "01"}});
        b.Add(QStringLiteral("300650"), account);
    }
    b.Add(UvoIds::TrailerRecID);
    b.CalcTotals();
}

// The file with the totals it had before two records were added.
QByteArray WithWrongTotals(TUvoFileBuilder& sound)
{
    sound.Trailer().SetVal("310107", "000000005");
    sound.Trailer().SetVal("310451", "000000001");
    const QByteArray bytes = sound.Bytes();
    sound.CalcTotals();
    return bytes;
}

// The same records in another order.
QByteArray Shuffled(const TUvoFileBuilder& sound)
{
    QList<QByteArray> lines = sound.Lines();
    std::reverse(lines.begin() + 1, lines.end() - 1);
    lines.move(0, 7);
    lines.move(lines.size() - 1, 3);
    return JoinLines(lines);
}

class Rewrite : public ::testing::Test {
protected:
    TToolRun Tool(const QStringList& arguments, qint64 fileSizeLimit = -1)
    {
        return RunTool(arguments, Dir.Root(), fileSizeLimit);
    }

    TWorkDir Dir;
};

}  // namespace

TEST_F(Rewrite, TotalsRecomputesTheTrailerOnly)
{
    TUvoFileBuilder sound;
    AddSoundFile(sound);
    const QByteArray wrong = WithWrongTotals(sound);
    Dir.Write("in.uvo", wrong);

    const TToolRun run = Tool({"totals", "in.uvo", "-o", "out.uvo"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out + run.Err, "");
    EXPECT_EQ(Dir.Read("out.uvo"), sound.Bytes());
    EXPECT_EQ(Dir.Read("in.uvo"), wrong);
    EXPECT_EQ(Tool({"totals", "in.uvo"}).ExitCode, 0);
    EXPECT_EQ(Dir.Read("in.uvo"), sound.Bytes());
    EXPECT_EQ(QDir(Dir.Root()).entryList(QDir::Files), QStringList({"in.uvo", "out.uvo"}));

    // The order of the records and their Windows-1251 text stay as they are.
    const QByteArray shuffled = Shuffled(sound);
    Dir.Write("shuffled.uvo", shuffled);
    EXPECT_EQ(Tool({"totals", "shuffled.uvo", "--output", "out.uvo"}).ExitCode, 0);
    EXPECT_EQ(Dir.Read("out.uvo"), shuffled);
    EXPECT_TRUE(shuffled.contains(Ansi(QStringLiteral("Банк «Пример»"))));
}

TEST_F(Rewrite, SortOrdersTheHierarchyAndRecomputesTheTotals)
{
    TUvoFileBuilder sound;
    AddSoundFile(sound);
    const QByteArray wrong = WithWrongTotals(sound);
    const QByteArray shuffled = Shuffled(sound);
    Dir.Write("shuffled.uvo", shuffled);
    Dir.Write("wrong.uvo", wrong);

    EXPECT_EQ(Tool({"sort", "shuffled.uvo", "-o", "out.uvo"}).ExitCode, 0);
    EXPECT_EQ(Dir.Read("out.uvo"), sound.Bytes());
    EXPECT_EQ(Dir.Read("shuffled.uvo"), shuffled);
    EXPECT_EQ(Tool({"sort", "wrong.uvo"}).ExitCode, 0);
    EXPECT_EQ(Dir.Read("wrong.uvo"), sound.Bytes());
    EXPECT_EQ(Tool({"check", "wrong.uvo"}).ExitCode, 0);

    // Without a Trailer the records are still sorted; totals has nothing to do.
    TUvoFileBuilder b;
    b.Add(UvoIds::AccountRecID, "ACC2");
    b.Add(UvoIds::HeaderRecID);
    Dir.Write("bare.uvo", b.Bytes());
    const TToolRun totals = Tool({"totals", "bare.uvo", "-o", "bare-out.uvo"});
    EXPECT_EQ(totals.ExitCode, 1);
    EXPECT_EQ(totals.Err, "uvotool: bare.uvo: no Trailer record, no totals to recompute; nothing written.\n");
    EXPECT_FALSE(QFileInfo::exists(Dir.Path("bare-out.uvo")));
    EXPECT_EQ(Tool({"sort", "bare.uvo"}).ExitCode, 0);
    EXPECT_EQ(Dir.Read("bare.uvo"), JoinLines({b.Lines()[1], b.Lines()[0]}));
}

// A file larger than a piece of reading gets the totals, and every other line
// as the editor writes it, that it gets read whole into content; lines with LF
// alone, an earlier Trailer and a Trailer far from the end included.
TEST_F(Rewrite, TotalsOfAFileReadInPiecesAreThoseOfTheFileReadWhole)
{
    TUvoFileBuilder sound;
    AddSoundFile(sound, 2000);  // about 6.6 MB
    QList<QByteArray> lines = WithWrongTotals(sound).split('\n');
    lines.removeLast();
    const qsizetype middle = lines.size() / 3;
    lines.move(lines.size() - 1, middle);  // the Trailer, its totals recounted
    lines.insert(5, lines[middle]);        // an earlier Trailer, written as it is
    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i)
        bytes += (i % 7 == 0 ? lines[i].chopped(1) : lines[i]) + '\n';
    ASSERT_GT(bytes.size(), 4 << 20);
    Dir.Write("big.uvo", bytes);

    TContent whole(ShippedFormat());
    ASSERT_TRUE(UvoFile::ReadBytes(bytes, whole).Ok);
    whole.CalcRecsCount();
    const TToolRun run = Tool({"totals", "big.uvo", "-o", "out.uvo"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(Dir.Read("out.uvo"), UvoFile::Render(whole));

    // Replaced in place where the folder allows no new file, the file read the
    // second time is the one that the complete copy is written over.
    ASSERT_TRUE(QDir(Dir.Root()).mkdir("locked"));
    Dir.Write("locked/big.uvo", bytes);
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.Path("locked/big.uvo")).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.Root()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.Path("locked")).constData(), 0555), 0);
    const TToolRun inPlace = RunTool({"totals", Dir.Path("locked/big.uvo")}, Dir.Root(), Unprivileged);
    ::chmod(QFile::encodeName(Dir.Path("locked")).constData(), 0755);  // so that the folder can be removed
    if (inPlace.ExitCode != 99) {  // 99: no unprivileged user to run as
        EXPECT_EQ(inPlace.ExitCode, 0) << inPlace.Err.toStdString();
        EXPECT_EQ(Dir.Read("locked/big.uvo"), UvoFile::Render(whole));
    }

    lines.removeIf([](const QByteArray& line) { return line.startsWith(Ansi(UvoIds::TrailerRecID)); });
    Dir.Write("bare.uvo", lines.join('\n'));
    const TToolRun bare = Tool({"totals", "bare.uvo", "-o", "bare-out.uvo"});
    EXPECT_EQ(bare.ExitCode, 1);
    EXPECT_EQ(bare.Err, "uvotool: bare.uvo: no Trailer record, no totals to recompute; nothing written.\n");
    EXPECT_FALSE(QFileInfo::exists(Dir.Path("bare-out.uvo")));
}

TEST_F(Rewrite, FileThatCannotBeWrittenLeavesEveryFileAsItWas)
{
    TUvoFileBuilder sound;
    AddSoundFile(sound);
    const QByteArray wrong = WithWrongTotals(sound);
    Dir.Write("in.uvo", wrong);
    QDir(Dir.Root()).mkdir("folder");
    Dir.Write("plain", "a file, not a folder");

    for (const QString command : {"totals", "sort"})
        for (const QString target : {"no-such-folder/out.uvo", "folder", "plain/out.uvo"}) {
            const TToolRun run = Tool({command, "in.uvo", "-o", target});
            EXPECT_EQ(run.ExitCode, 2);
            EXPECT_TRUE(run.Err.startsWith("uvotool: " + target + ": ")) << run.Err.toStdString();
        }
    EXPECT_EQ(Dir.Read("in.uvo"), wrong);
    EXPECT_EQ(Dir.Read("plain"), "a file, not a folder");
    EXPECT_TRUE(QDir(Dir.Path("folder")).isEmpty());
    EXPECT_EQ(QDir(Dir.Root()).entryList(QDir::Files), QStringList({"in.uvo", "plain"}));
}

// Files may grow to 4 KiB only, so that writing fails after the first lines
// whoever runs the test.
static void ExpectFailingWriteLeavesFile(TWorkDir& dir, int accounts)
{
    TUvoFileBuilder sound;
    AddSoundFile(sound, accounts);
    const QByteArray wrong = WithWrongTotals(sound);
    dir.Write("in.uvo", wrong);
    for (const char* command : {"totals", "sort"}) {
        const TToolRun run = RunTool({command, "in.uvo"}, dir.Root(), 4096);
        EXPECT_EQ(run.ExitCode, 2) << command;
        EXPECT_TRUE(run.Err.startsWith("uvotool: in.uvo: ")) << run.Err.toStdString();
    }
    EXPECT_EQ(dir.Read("in.uvo"), wrong);
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files), QStringList({"in.uvo"}));
}

TEST_F(Rewrite, WriteFailingPartWayLeavesTheFileAsItWas) { ExpectFailingWriteLeavesFile(Dir, 8); }

// A small file goes to disk only when it is finished, and a failure there
// still replaces the file with its first 4 KiB: UvoFile::Write does not yet
// check that the last bytes reached the file before it renames it.
TEST_F(Rewrite, SmallFileWhoseLastWriteFailsIsLeftAsItWas) { ExpectFailingWriteLeavesFile(Dir, 3); }

TEST_F(Rewrite, FileTheEditorWouldNotReadIsNotWritten)
{
    TUvoFileBuilder sound;
    AddSoundFile(sound);
    QList<QByteArray> lines = sound.Lines();
    lines.insert(2, "300");
    const QByteArray bytes = JoinLines(lines);
    Dir.Write("in.uvo", bytes);

    for (const QString command : {"totals", "sort"}) {
        EXPECT_EQ(Tool({command, "in.uvo"}).Err, QStringLiteral("uvotool: in.uvo: Неверный формат. Строка 3:\\r\\n300\n"));
        EXPECT_EQ(Tool({command, "in.uvo", "-o", "out.uvo"}).ExitCode, 2);
        EXPECT_EQ(Tool({command, "missing.uvo"}).ExitCode, 2);
    }
    EXPECT_EQ(Dir.Read("in.uvo"), bytes);
    EXPECT_EQ(QDir(Dir.Root()).entryList(QDir::Files), QStringList({"in.uvo"}));
}

TEST_F(Rewrite, FileWhoseReadingPassesOverDataIsNotWrittenWithoutForce)
{
    TUvoFileBuilder sound;
    AddSoundFile(sound);
    const QByteArray wrong = WithWrongTotals(sound);
    const qsizetype third = wrong.indexOf("\r\n", wrong.indexOf("\r\n") + 2) + 2;
    const qsizetype sixth = [&] {
        qsizetype at = 0;
        for (int i = 0; i < 5; ++i)
            at = wrong.indexOf("\r\n", at) + 2;
        return at;
    }();
    // A lone CR joins lines 2 and 3; a byte 26 stands after line 5; line 2
    // carries text past its length.
    const std::vector<std::tuple<const char*, QByteArray, QString>> files = {
        {"cr.uvo", QByteArray(wrong).remove(third - 1, 1),
         "uvotool: cr.uvo:2: a lone CR joins lines into one record; the text after it is read into that record or "
         "dropped: \"300210"},
        {"eof.uvo", QByteArray(wrong).insert(sixth, '\x1A'),
         "uvotool: eof.uvo:6: data after the end-of-file mark (byte 26), ignored by reading and dropped by saving: "
         "\"3005001 1    01ACC1 "},
        {"long.uvo", QByteArray(wrong).insert(third - 2, " surplus"),
         "uvotool: long.uvo:2: text past the record's length, ignored by reading and dropped by saving: \" surplus\"\n"},
    };
    for (const auto& [name, bytes, named] : files) {
        Dir.Write(name, bytes);
        EXPECT_EQ(Tool({"check", name}).ExitCode, 1) << name;
        for (const QString command : {"totals", "sort"}) {
            const TToolRun run = Tool({command, name});
            EXPECT_EQ(run.ExitCode, 1) << name;
            EXPECT_TRUE(run.Err.startsWith(named)) << run.Err.toStdString();
            EXPECT_TRUE(run.Err.endsWith(QStringLiteral("uvotool: %1: reading passed over data on 1 line; nothing "
                                                        "written (--force writes the file without it).\n")
                                             .arg(name)));
            EXPECT_EQ(Dir.Read(name), bytes) << name;
        }
    }
    // Told to, they write what was read.
    EXPECT_EQ(Tool({"totals", "eof.uvo", "--force"}).ExitCode, 1);  // no Trailer before the byte 26
    EXPECT_EQ(Tool({"sort", "long.uvo", "--force"}).ExitCode, 0);
    EXPECT_EQ(Dir.Read("long.uvo"), sound.Bytes());
    EXPECT_EQ(QDir(Dir.Root()).entryList(QDir::Files), QStringList({"cr.uvo", "eof.uvo", "long.uvo"}));
}

TEST_F(Rewrite, ASaveCutShortIsToldUntilFinishFinishesIt)
{
    // A save in place of a file of 3 MB, killed once its first megabyte is new.
    TUvoFileBuilder sound;
    AddSoundFile(sound, 1000);
    const QByteArray after = sound.Bytes(), before = Shuffled(sound);
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.Root()).constData(), 0777), 0);
    ASSERT_TRUE(QDir(Dir.Root()).mkdir("locked"));
    Dir.Write("locked/in.uvo", before);
    const TTestCache cache(Dir.Path("cache"));
    ASSERT_TRUE(KillSaveInPlace(Dir.Path("locked/in.uvo"), after, 1 << 20, Dir.Path("cache")));
    const QByteArray mixture = Dir.Read("locked/in.uvo");
    ASSERT_EQ(mixture, after.left(1 << 20) + before.mid(1 << 20));
    const std::vector<InterruptedSaves::TInterruptedSave> pending = InterruptedSaves::Pending();
    ASSERT_EQ(pending.size(), 1u);

    // Every command that would read or write the file tells of it instead.
    const QStringList environment = {"XDG_CACHE_HOME=" + Dir.Path("cache")};
    Dir.Write("other.uvo", after);
    for (const QStringList& arguments : {QStringList{"check", "locked/in.uvo"}, QStringList{"totals", "locked/in.uvo"},
                                         QStringList{"sort", "other.uvo", "-o", "locked/in.uvo"}}) {
        const TToolRun run = RunTool(arguments, Dir.Root(), environment, {});
        EXPECT_EQ(run.ExitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.Err, "uvotool: locked/in.uvo: a save of this file was cut short and left the file incomplete; "
                           "its complete new content is in '" + pending.front().Copy +
                               "'. 'uvotool finish locked/in.uvo' finishes the save.\n");
    }
    EXPECT_EQ(Dir.Read("locked/in.uvo"), mixture);

    const TToolRun finish = RunTool({"finish", "locked/in.uvo"}, Dir.Root(), environment, {});
    EXPECT_EQ(finish.ExitCode, 0) << finish.Err.toStdString();
    EXPECT_EQ(Dir.Read("locked/in.uvo"), after);
    EXPECT_TRUE(InterruptedSaves::Pending().empty());
    EXPECT_EQ(RunTool({"check", "locked/in.uvo"}, Dir.Root(), environment, {}).Err, QString());  // read again
    EXPECT_EQ(RunTool({"finish", "locked/in.uvo"}, Dir.Root(), environment, {}).Err,
              QString("uvotool: locked/in.uvo: no save of this file to finish.\n"));
}
