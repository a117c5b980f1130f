// Reading and writing whole data files, line ends, bad input and safe saving.

#include "ShippedFormatFixture.h"
#include "AnsiCodePage.h"
#include "TUvoError.h"
#include "UvoFile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

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

    QTemporaryDir dir;
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
    QByteArray line = AnsiCodePage::Encode(Line("300100", {{"310011", "1"}}));
    line.append(100 * 1024 * 1024 - line.size(), 'x');
    ASSERT_TRUE(ReadFile(line).Ok);
    EXPECT_EQ(content[0]->RecToString().size(), 1001);
    content.Clear();
    line.replace(0, 6, "999999");
    const auto result = ReadFile(line);
    EXPECT_FALSE(result.Ok);
    EXPECT_LT(result.Message.size(), 5000);  // the quoted line is cut for the message box
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
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = 4096;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        bool raised = false;
        try {
            UvoFile::Write(target, content);
        } catch (const TUvoError&) {
            raised = true;
        }
        setrlimit(RLIMIT_FSIZE, &old);

        EXPECT_TRUE(raised) << records;
        EXPECT_EQ(ReadBack(target), previous) << records;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"submission.uvo"}));  // no leftovers
    }
}
