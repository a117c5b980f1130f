// The binary settings file "uvoedit.ini".

#include "SettingsFile.h"
#include "TUvoError.h"
#include "BadInputs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir;
    QString path = dir.filePath("uvoedit.ini");
};

TSettings Full()
{
    TSettings s;
    s.ConnectionString = "Data Source=srv;Initial Catalog=fa;User ID=u;Password=пароль";
    s.VersionNumber = "02";
    s.SubscriberCode = "12345";
    s.FormatID = "FMT-1";
    s.GroupID = "GROUP";
    s.UserID = "USER";
    s.SubscriberName = QString(40, QChar(0x0416));  // 40 × "Ж"
    s.FinanceType = "01";
    s.FOID = -1234567890123LL;
    return s;
}

}  // namespace

TEST_F(SettingsFileTest, RoundTripAndLayout)
{
    SettingsFile::Save(path, Full());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 360);
    EXPECT_EQ(quint8(bytes[0]), Full().ConnectionString.size());
    EXPECT_EQ(bytes.mid(256, 3), QByteArray("\x02" "02"));
    EXPECT_EQ(bytes.mid(259, 6), QByteArray("\x05" "12345"));
    EXPECT_EQ(quint8(bytes[302]), 40);
    EXPECT_EQ(quint8(bytes[303]), 0xC6);  // "Ж" in Windows-1251
    EXPECT_EQ(bytes.mid(343, 3), QByteArray("\x02" "01"));
    EXPECT_EQ(qFromLittleEndian<qint64>(bytes.constData() + 352), -1234567890123LL);
    TSettings read;
    ASSERT_TRUE(SettingsFile::Load(path, read));
    EXPECT_EQ(read, Full());
}

TEST_F(SettingsFileTest, EmptySettingsAreAllZeroLengths)
{
    SettingsFile::Save(path, TSettings());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (int offset : {0, 256, 259, 265, 276, 289, 302, 343})
        EXPECT_EQ(bytes[offset], 0) << offset;
    EXPECT_EQ(qFromLittleEndian<qint64>(bytes.constData() + 352), 0);
}

TEST_F(SettingsFileTest, FileIsReadableByItsOwnerOnly)
{
    auto mode = [&] {
        struct stat st {};
        stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 0777;
    };
    Write("an older file, readable by all");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther | QFile::ReadGroup);
    SettingsFile::Save(path, Full());
    EXPECT_EQ(mode(), 0600u);
    SettingsFile::Save(path, Full());
    EXPECT_EQ(mode(), 0600u);
}

TEST_F(SettingsFileTest, ShortMissingAndOversizedFiles)
{
    TSettings settings = Full();
    EXPECT_FALSE(SettingsFile::Load(dir.filePath("missing.ini"), settings));
    EXPECT_FALSE(SettingsFile::Load(Write(QByteArray()), settings));
    EXPECT_FALSE(SettingsFile::Load(Write(SettingsFile::Encode(Full()).left(359)), settings));
    EXPECT_EQ(settings, Full());  // left as they were
    TSettings read;
    EXPECT_TRUE(SettingsFile::Load(Write(SettingsFile::Encode(Full())), read));
    EXPECT_EQ(read, Full());
    TSettings longer;
    EXPECT_TRUE(SettingsFile::Load(Write(SettingsFile::Encode(Full()) + QByteArray(40, 'x')), longer));
    EXPECT_EQ(longer, Full());
}

TEST_F(SettingsFileTest, LengthBytesAboveCapacityReadTheCapacity)
{
    QByteArray bytes(360, 'A');
    for (int offset : {0, 256, 259, 265, 276, 289, 302, 343})
        bytes[offset] = char(0xFF);
    TSettings read;
    ASSERT_TRUE(SettingsFile::Load(Write(bytes), read));
    EXPECT_EQ(read.ConnectionString, QString(255, 'A'));
    EXPECT_EQ(read.VersionNumber, QString("AA"));
    EXPECT_EQ(read.SubscriberCode, QString(5, 'A'));
    EXPECT_EQ(read.SubscriberName, QString(40, 'A'));
    EXPECT_EQ(read.FinanceType, QString("AA"));
}

TEST_F(SettingsFileTest, SavingIntoAMissingFolderRaises)
{
    EXPECT_THROW(SettingsFile::Save(dir.filePath("no/such/uvoedit.ini"), Full()), TUvoError);
}

TEST_F(SettingsFileTest, AWriteFailureNamesTheFileAndItsFolder)
{
    const auto failure = [](const QString& fileName) {
        try {
            SettingsFile::Save(fileName, Full());
        } catch (const TUvoError& error) {
            return error.Message();
        }
        return QString("written");
    };
    const QString folder = QDir::toNativeSeparators(dir.path());
    const QString named = QString("Не удалось записать файл настроек \"uvoedit.ini\" в папке \"%1\".\n").arg(folder);
    ASSERT_TRUE(QDir().mkdir(path));  // a folder where the file should be
    EXPECT_TRUE(failure(path).startsWith(named)) << failure(path).toStdString();
    EXPECT_GT(failure(path).size(), named.size());  // and the system's reason
    ASSERT_TRUE(QDir().rmdir(path));

    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
    Write(SettingsFile::Encode(Full()));
    ::chmod(QFile::encodeName(path).constData(), 0444);
    const TUnprivileged unprivileged;
    ASSERT_TRUE(unprivileged.Ok());
    EXPECT_EQ(failure(path), named + "Невозможно открыть файл для записи.");
}

TEST(SettingsCut, TextIsCutToItsCapacityInSingleBytes)
{
    EXPECT_EQ(SettingsFile::CutToCapacity("123", 2), QString("12"));
    EXPECT_EQ(SettingsFile::CutToCapacity(" 1 ", 2), QString(" 1"));
    EXPECT_EQ(SettingsFile::CutToCapacity("Код", 40), QString("Код"));
}

TEST_F(SettingsFileTest, BadFilesAndPlacesNeverLoseTheSettings)
{
    const QByteArray record = SettingsFile::Encode(Full());
    const QByteArray sound = record + "\r\n" + record + "\r\n";
    // Contents: a record's worth of bytes is read as a record, cut to the
    // capacities, and writes back unchanged; less is refused.
    for (const TBadContent kind :
         {TBadContent::Empty, TBadContent::NulBytes, TBadContent::Binary, TBadContent::Utf8Bom, TBadContent::Utf16,
          TBadContent::CrOnly, TBadContent::MixedLineEnds, TBadContent::HugeLine, TBadContent::MillionShortLines,
          TBadContent::EndMarkInside}) {
        const QByteArray bytes = BadContent(kind, sound);
        TSettings read = Full();
        EXPECT_EQ(SettingsFile::Load(Write(bytes), read), bytes.size() >= SettingsFile::RecordSize) << int(kind);
        TSettings again;
        ASSERT_TRUE(SettingsFile::Decode(SettingsFile::Encode(read), again));
        EXPECT_EQ(again, read) << int(kind);
        EXPECT_LE(read.ConnectionString.size(), 255);
        EXPECT_LE(read.SubscriberName.size(), 40);
    }

    // Places where reading fails: the settings stay as they were.
    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    TSettings settings = Full();
    EXPECT_FALSE(SettingsFile::Load(path, settings));  // a FIFO nobody writes: no waiting
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_FALSE(SettingsFile::Load(path, settings));  // a folder named like the file
    EXPECT_THROW(SettingsFile::Save(path, TSettings()), TUvoError);
    ASSERT_TRUE(QDir().rmdir(path));
    EXPECT_FALSE(SettingsFile::Load(path, settings));  // gone between start and read
    EXPECT_EQ(settings, Full());

    // Places where writing fails: the file keeps its old record.
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
    Write(record);
    for (const mode_t mode : {0444, 0}) {  // read-only, then not even readable
        ::chmod(QFile::encodeName(path).constData(), mode);
        const TUnprivileged unprivileged;
        ASSERT_TRUE(unprivileged.Ok());
        EXPECT_THROW(SettingsFile::Save(path, TSettings()), TUvoError);
        EXPECT_EQ(SettingsFile::Load(path, settings), mode != 0);
    }
    ::chmod(QFile::encodeName(path).constData(), 0600);
    EXPECT_EQ(SettingsFile::Encode(settings), record);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), record);

    const TFullDisk disk(dir.filePath("full"));
    const QString onDisk = disk.Path("uvoedit.ini");
    SettingsFile::Save(onDisk, Full());
    disk.Fill();
    {
        const TFileSizeLimit limit(disk.Injected());
        EXPECT_THROW(SettingsFile::Save(onDisk, TSettings()), TUvoError);
    }
    TSettings kept;
    EXPECT_TRUE(SettingsFile::Load(onDisk, kept));
    EXPECT_EQ(kept, Full());
}

TEST_F(SettingsFileTest, IsNotWrittenThroughALinkNorIntoAReadOnlyFileAsRoot)
{
    const auto failure = [](const QString& fileName) {
        try {
            SettingsFile::Save(fileName, TSettings());
        } catch (const TUvoError& error) {
            return error.Message();
        }
        return QString("written");
    };
    const QString target = dir.filePath("elsewhere.ini");
    const QByteArray record = SettingsFile::Encode(Full());
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(record) == record.size());
    file.close();
    ASSERT_TRUE(QFile::link(target, path));
    EXPECT_TRUE(failure(path).endsWith("Это символическая ссылка: настройки по ссылкам не записываются."))
        << failure(path).toStdString();
    QFile::remove(target);  // a dangling link is not followed either
    EXPECT_TRUE(failure(path).contains("символическая ссылка"));
    EXPECT_FALSE(QFile::exists(target));
    ASSERT_TRUE(QFile::remove(path));

    // The owner's read-only mark holds whoever runs the program, root included.
    Write(record);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    EXPECT_TRUE(failure(path).endsWith("Невозможно открыть файл для записи."));
    TSettings kept;
    EXPECT_TRUE(SettingsFile::Load(path, kept));
    EXPECT_EQ(kept, Full());
}
