// The install rules: what `cmake --install` puts under a prefix, checked in a
// temporary one.

#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TRun {
    int ExitCode = -1;
    QString Output;  // standard output and error together
};

TRun RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return {-1, program + QStringLiteral(": ") + process.errorString()};
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class InstallTest : public ::testing::Test {
protected:
    // One installation serves every test.
    static void SetUpTestSuite()
    {
        Prefix = std::make_unique<QTemporaryDir>();
        const TRun install =
            RunProgram(QStringLiteral(UVO_CMAKE), {"--install", QStringLiteral(UVO_BUILD_DIR), "--prefix", Prefix->path()});
        ASSERT_EQ(install.ExitCode, 0) << install.Output.toStdString();
    }
    static void TearDownTestSuite() { Prefix.reset(); }

    static QString Installed(const QString& relative) { return Prefix->filePath(relative); }

    static inline std::unique_ptr<QTemporaryDir> Prefix;
};

TEST_F(InstallTest, PutsTheProgramsTheDesktopFilesAndTheSampleUnderThePrefix)
{
    EXPECT_EQ(QDir(Installed("bin")).entryList(QDir::Files), QStringList({"uvoedit", "uvotool"}));
    for (const char* file : {"share/applications/uvoedit.desktop", "share/icons/hicolor/scalable/apps/uvoedit.svg",
                             "share/mime/packages/uvoedit.xml", "share/doc/uvoedit/examples/sample.uvo",
                             "share/man/man1/uvoedit.1.gz", "share/man/man1/uvotool.1.gz"})
        EXPECT_TRUE(QFile::exists(Installed(file))) << file;
}

TEST_F(InstallTest, IconComesInEveryCommonSize)
{
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = Installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/uvoedit.png").arg(size));
        QFile png(path);
        ASSERT_TRUE(png.open(QIODevice::ReadOnly)) << path.toStdString();
        // The picture's width and height stand in its header, big-endian, from byte 16.
        const QByteArray header = png.read(24);
        ASSERT_EQ(header.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const auto number = [&](int at) { return qFromBigEndian<quint32>(header.constData() + at); };
        EXPECT_EQ(number(16), quint32(size));
        EXPECT_EQ(number(20), quint32(size));
    }
}

TEST_F(InstallTest, DocumentsNameTheLicenceAndTheRelease)
{
    const QString copyright = ReadText(Installed("share/doc/uvoedit/copyright"));
    EXPECT_TRUE(copyright.startsWith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"));
    EXPECT_TRUE(copyright.contains("\nLicense: " UVO_LICENSE "\n")) << copyright.toStdString();
    const TRun changelog = RunProgram("gzip", {"-dc", Installed("share/doc/uvoedit/changelog.gz")});
    EXPECT_TRUE(changelog.Output.startsWith("uvoedit (" UVO_VERSION ") ")) << changelog.Output.toStdString();
    EXPECT_TRUE(changelog.Output.contains("\n -- " UVO_MAINTAINER "  ")) << changelog.Output.toStdString();
}

TEST_F(InstallTest, DesktopEntryIsValidAndOpensUvoFiles)
{
    const QString entry = Installed("share/applications/uvoedit.desktop");
    const TRun validate = RunProgram(QStringLiteral(UVO_DESKTOP_FILE_VALIDATE), {entry});
    EXPECT_EQ(validate.ExitCode, 0);
    EXPECT_EQ(validate.Output.toStdString(), "");
    const QStringList lines = ReadText(entry).split(u'\n');
    for (const QString line : {"Name=UVO Edit", "Exec=uvoedit %f", "Icon=uvoedit", "Categories=Office;",
                               "MimeType=application/x-uvo;", "X-UvoEdit-Version=" UVO_VERSION})
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
}

TEST_F(InstallTest, FileTypeMatchesUvoFiles)
{
    QXmlStreamReader xml(ReadText(Installed("share/mime/packages/uvoedit.xml")));
    QString type, glob;
    QStringList matches;  // offset and value of each content rule, outermost first
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        EXPECT_EQ(xml.namespaceUri(), u"http://www.freedesktop.org/standards/shared-mime-info");
        if (xml.name() == u"mime-type")
            type = xml.attributes().value("type").toString();
        else if (xml.name() == u"glob")
            glob = xml.attributes().value("pattern").toString();
        else if (xml.name() == u"match")
            matches << xml.attributes().value("offset").toString() + u' ' + xml.attributes().value("value").toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(type, "application/x-uvo");
    EXPECT_EQ(glob, "*.uvo");
    // Without the extension: the Header record's type, and its line's end within its 119 characters.
    EXPECT_EQ(matches, QStringList({"0 300000", "6:119 \\r\\n"}));
}

TEST_F(InstallTest, InstalledEditorTellsTheVersionWithoutAWindow)
{
    const TRun version = RunProgram(Installed("bin/uvoedit"), {"--version"});
    EXPECT_EQ(version.Output, "uvoedit " UVO_VERSION "\n");
}

TEST_F(InstallTest, InstalledToolTellsTheVersion)
{
    const TRun version = RunProgram(Installed("bin/uvotool"), {"--version"});
    EXPECT_EQ(version.Output, "uvotool " UVO_VERSION "\n");
}
