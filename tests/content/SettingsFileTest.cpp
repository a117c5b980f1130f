// The binary settings file "uvoedit.ini".

#include "SettingsFile.h"
#include "TUvoError.h"

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

TEST(SettingsCut, TextIsCutToItsCapacityInSingleBytes)
{
    EXPECT_EQ(SettingsFile::CutToCapacity("123", 2), QString("12"));
    EXPECT_EQ(SettingsFile::CutToCapacity(" 1 ", 2), QString(" 1"));
    EXPECT_EQ(SettingsFile::CutToCapacity("Код", 40), QString("Код"));
}
