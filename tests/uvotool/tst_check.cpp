// uvotool check: findings, their exact lines, the JSON form and exit statuses.

#include "UvoToolFixture.h"

#include "UvoFile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

const QString Header = UvoIds::HeaderRecID;
const QString Account = UvoIds::AccountRecID;
const QString Consumer = UvoIds::ConsumerRecID;
const QString Address = QStringLiteral("300500");
const QString Trailer = UvoIds::TrailerRecID;

// The records of one account: Account, Consumer Name and Consumer Address.
void AddAccount(TUvoFileBuilder& b, const QString& account)
{
    b.Add(Account, account);
    b.Add(Consumer, account, {{"310065", QStringLiteral("01")}});
    b.Add(Address, account, {{"310065", QStringLiteral("01")}});
}

// The finding lines of a text report: those before the first summary line.
QStringList FindingLines(const TToolRun& run, const QString& file)
{
    QStringList lines;
    for (const QString& line : run.OutLines()) {
        if (line.startsWith(file + QLatin1String(": ")) && line.contains(QLatin1String(" lines, ")))
            break;
        lines << line;
    }
    return lines;
}

// The message with which the editor's reader stops on the file.
QString EditorReadMessage(const QByteArray& bytes)
{
    TContent content(ShippedFormat());
    return UvoFile::ReadBytes(bytes, content).Message;
}

QJsonArray JsonFindings(const TToolRun& run)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.Out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(doc.isArray());
    return doc.array();
}

class Check : public ::testing::Test {
protected:
    TToolRun CheckIn(const QStringList& arguments) { return RunTool(QStringList{"check"} + arguments, Dir.Root()); }

    TWorkDir Dir;
};

}  // namespace

TEST_F(Check, SoundFileHasOnlyItsSummary)
{
    TUvoFileBuilder b;
    TUvoFileBuilder::AddSound(b, {"ACC1", "ACC2"});
    Dir.Write("sound.uvo", b.Bytes());

    const TToolRun text = CheckIn({"sound.uvo"});
    EXPECT_EQ(text.ExitCode, 0);
    EXPECT_EQ(text.Out, QStringLiteral("sound.uvo: 8 lines, 8 records, sound\n"
                                       "  300000 Header Record: 1 record\n"
                                       "  300100 Account Record: 2 records\n"
                                       "  300300 Consumer Name Record: 2 records\n"
                                       "  300500 Consumer Address Record: 2 records\n"
                                       "  300999 Trailer Record: 1 record\n"));
    EXPECT_EQ(text.Err, QString());

    const TToolRun json = CheckIn({"--format", "json", "sound.uvo"});
    EXPECT_EQ(json.ExitCode, 0);
    EXPECT_EQ(json.Out, QStringLiteral("[]\n"));
}

TEST_F(Check, OneFaultOfEachReasonGivesItsExactLine)
{
    TUvoFileBuilder b;
    b.Add(Header, {}, {{"310008", QString()}});
    b.Add(Account, "ACC1",
          {{"310014", QString()}, {"310016", QStringLiteral("XYZ")}, {"310022", QStringLiteral("12\t34")}});
    b.Add(Consumer, "ACC1", {{"310065", QStringLiteral("01")}, {"310080", QStringLiteral("Ж")}});
    b.Add(Address, "ACC1", {{"310065", QStringLiteral("01")}});
    AddAccount(b, "ACC2");
    b.Add(Trailer);
    b.CalcTotals();
    Dir.Write("faults.uvo", b.Bytes());

    const TToolRun run = CheckIn({"faults.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "faults.uvo"),
              QStringList({
                  R"(faults.uvo:1: record 300000, field 310008 (Subscriber Name), value "": empty mandatory field)",
                  R"(faults.uvo:2: record 300100, account "ACC1", field 310014 (Account Open Date), value "": )"
                  R"(empty mandatory field)",
                  R"(faults.uvo:2: record 300100, account "ACC1", field 310016 (Currency Code), value "XYZ": )"
                  R"(not a code of its domain)",
                  R"(faults.uvo:2: record 300100, account "ACC1", field 310022 (Amount of Finance), )"
                  R"(value "12\t34": not digits)",
                  QStringLiteral(R"(faults.uvo:3: record 300300, account "ACC1", field 310080 (Sex Code), )"
                                 R"(value "Ж": not a code of its domain)"),
              }));
    EXPECT_TRUE(run.Out.contains("faults.uvo: 8 lines, 8 records, 5 findings\n"));
    EXPECT_TRUE(run.Out.contains("  300000 Header Record: 1 record, 1 invalid field in 1 record\n"));
    EXPECT_TRUE(run.Out.contains("  300100 Account Record: 2 records, 3 invalid fields in 1 record\n"));
    EXPECT_TRUE(run.Out.contains("  300500 Consumer Address Record: 2 records\n"));
}

TEST_F(Check, RefusedLineInTheMiddleLeavesBothHalvesChecked)
{
    TUvoFileBuilder b;
    b.Add(Header);
    b.Add(Account, "ACC1", {{"310016", QStringLiteral("XYZ")}});
    b.Add(Consumer, "ACC1", {{"310065", QStringLiteral("01")}});
    b.Add(Address, "ACC1", {{"310065", QStringLiteral("01")}});
    b.Add(Account, "ACC2", {{"310016", QStringLiteral("QQQ")}});
    b.Add(Trailer);
    b.CalcTotals();
    QList<QByteArray> lines = b.Lines();
    lines.insert(4, "999999 not a record");
    const QByteArray bytes = JoinLines(lines);
    Dir.Write("refused.uvo", bytes);

    const TToolRun run = CheckIn({"refused.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "refused.uvo"),
              QStringList({
                  R"(refused.uvo:2: record 300100, account "ACC1", field 310016 (Currency Code), value "XYZ": )"
                  R"(not a code of its domain)",
                  QStringLiteral(R"(refused.uvo:5: line refused: Неверный формат. Строка 5:\r\n999999 not a record)"),
                  R"(refused.uvo:6: record 300100, account "ACC2", field 310016 (Currency Code), value "QQQ": )"
                  R"(not a code of its domain)",
              }));
    EXPECT_TRUE(run.Out.contains("refused.uvo: 7 lines, 6 records, 1 refused line, 3 findings\n"));

    // The message is the one with which the editor stops reading this file.
    const QJsonArray json = JsonFindings(CheckIn({"--format", "json", "refused.uvo"}));
    ASSERT_EQ(json.size(), 3);
    const QJsonObject refused = json[1].toObject();
    EXPECT_EQ(refused["message"].toString(), EditorReadMessage(bytes));
    EXPECT_EQ(refused["line"].toInt(), 5);
    EXPECT_EQ(refused["value"].toString(), "999999 not a record");
}

TEST_F(Check, LinesAreCutAndNumberedAsTheEditorReadsThem)
{
    TUvoFileBuilder b;
    TUvoFileBuilder::AddSound(b, {"ACC1"});
    const QList<QByteArray> lines = b.Lines();

    // LF alone ends a line, a CR inside a line is dropped, a byte 26 ends the
    // file, and the last line needs no line end.
    QByteArray bytes = lines[0] + "\n" + lines[1] + "\r\r\n" + lines[2].left(30) + "\r" + lines[2].mid(30) + "\r\n" +
                       lines[3] + "\n" + lines[4];
    Dir.Write("ends.uvo", bytes);
    TToolRun run = CheckIn({"ends.uvo"});
    EXPECT_EQ(run.ExitCode, 0) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.startsWith("ends.uvo: 5 lines, 5 records, sound\n"));

    Dir.Write("eof.uvo", b.Bytes() + "\x1A" + "garbage after the end\r\n");
    run = CheckIn({"eof.uvo"});
    EXPECT_EQ(run.ExitCode, 0) << run.Out.toStdString();

    // A blank line is refused at its own number, as by the editor.
    bytes = JoinLines({lines[0], lines[1], QByteArray(), lines[2], lines[3], lines[4]});
    Dir.Write("blank.uvo", bytes);
    const QJsonArray json = JsonFindings(CheckIn({"--format", "json", "blank.uvo"}));
    ASSERT_EQ(json.size(), 1);
    EXPECT_EQ(json[0]["reason"].toString(), "refused-line");
    EXPECT_EQ(json[0]["line"].toInt(), 3);
    EXPECT_EQ(json[0]["message"].toString(), EditorReadMessage(bytes));
}

TEST_F(Check, TrailerTotalsThatDifferGiveBothValues)
{
    TUvoFileBuilder b;
    TUvoFileBuilder::AddSound(b, {"ACC1", "ACC2"});
    b.Trailer().SetVal("310107", "000000003");
    b.Trailer().SetVal("310111", "000000001");
    Dir.Write("totals.uvo", b.Bytes());

    const TToolRun run = CheckIn({"totals.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "totals.uvo"),
              QStringList({
                  R"(totals.uvo:8: record 300999, field 310107 (Total Account Records), value "000000003": )"
                  R"(total differs from the records present, which give "000000002")",
                  R"(totals.uvo:8: record 300999, field 310111 (Total Address Records), value "000000001": )"
                  R"(total differs from the records present, which give "000000002")",
              }));
}

TEST_F(Check, MissingAndRepeatedHeaderAndTrailer)
{
    // No Header; a Trailer in the middle and one at the end, which is the one
    // the totals belong to.
    TUvoFileBuilder b;
    AddAccount(b, "ACC1");
    b.Add(Trailer);
    AddAccount(b, "ACC2");
    b.Add(Trailer);
    b.CalcTotals();
    Dir.Write("bounds.uvo", b.Bytes());

    TToolRun run = CheckIn({"bounds.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "bounds.uvo"),
              QStringList({
                  R"(bounds.uvo:4: record 300999: out of account hierarchy order: )"
                  R"(line 5 (record 300100, account "ACC2") sorts before it)",
                  R"(bounds.uvo:8: record 300999: repeated Trailer, the first is on line 4)",
                  R"(bounds.uvo: no Header record)",
              }));

    TUvoFileBuilder twoHeaders;
    twoHeaders.Add(Header);
    twoHeaders.Add(Header);
    AddAccount(twoHeaders, "ACC1");
    Dir.Write("headers.uvo", twoHeaders.Bytes());
    run = CheckIn({"headers.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "headers.uvo"), QStringList({
                                                    R"(headers.uvo:2: record 300000: repeated Header, )"
                                                    R"(the first is on line 1)",
                                                    R"(headers.uvo: no Trailer record)",
                                                }));
}

TEST_F(Check, RecordsOutOfTheAccountHierarchy)
{
    TUvoFileBuilder b;
    TUvoFileBuilder::AddSound(b, {"ACC1", "ACC2"});
    QList<QByteArray> lines = b.Lines();
    lines.move(3, 6);  // the address of ACC1 after the records of ACC2
    Dir.Write("order.uvo", JoinLines(lines));

    TToolRun run = CheckIn({"order.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "order.uvo"),
              QStringList({R"(order.uvo:6: record 300500, account "ACC2": out of account hierarchy order: )"
                           R"(line 7 (record 300500, account "ACC1") sorts before it)"}));

    // The Header after a record; records with equal places (two Guarantee
    // records of one account) in either order.
    TUvoFileBuilder c;
    c.Add(Account, "ACC1");
    c.Add(Header);
    c.Add(QStringLiteral("300650"), "ACC1");
    c.Add(QStringLiteral("300650"), "ACC1");
    c.Add(Trailer);
    c.CalcTotals();
    Dir.Write("header.uvo", c.Bytes());
    run = CheckIn({"header.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "header.uvo"), QStringList({R"(header.uvo:1: record 300100, account "ACC1": )"
                                                            R"(out of account hierarchy order: )"
                                                            R"(line 2 (record 300000) sorts before it)"}));
}

TEST_F(Check, JsonFormCarriesTheSameFindings)
{
    TUvoFileBuilder b;
    AddAccount(b, "ACC1");
    b.Add(Account, "ACC2", {{"310016", QStringLiteral("XYZ")}});
    b.Add(Trailer);
    b.CalcTotals();
    b.Trailer().SetVal("310107", "000000005");
    QList<QByteArray> lines = b.Lines();
    lines.insert(1, Ansi(QStringLiteral("Строка\tне запись")));
    const QByteArray bytes = JoinLines(lines);
    Dir.Write("a.uvo", bytes);
    TUvoFileBuilder sound;
    TUvoFileBuilder::AddSound(sound, {"ACC9"});
    Dir.Write("b.uvo", sound.Bytes());

    const TToolRun text = CheckIn({"a.uvo", "b.uvo"});
    const TToolRun run = CheckIn({"a.uvo", "--format=json", "b.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(text.ExitCode, 1);
    const QJsonArray json = JsonFindings(run);
    ASSERT_EQ(json.size(), 4);
    EXPECT_EQ(FindingLines(text, "a.uvo").size(), json.size());

    const QJsonObject refused = json[0].toObject();
    EXPECT_EQ(refused["file"].toString(), "a.uvo");
    EXPECT_EQ(refused["line"].toInt(), 2);
    EXPECT_EQ(refused["reason"].toString(), "refused-line");
    EXPECT_TRUE(refused["recordType"].isNull());
    EXPECT_EQ(refused["value"].toString(), QStringLiteral("Строка\tне запись"));
    EXPECT_EQ(refused["message"].toString(), EditorReadMessage(bytes));

    const QJsonObject invalid = json[1].toObject();
    EXPECT_EQ(invalid, QJsonObject({{"file", "a.uvo"},
                                    {"line", 5},
                                    {"recordType", "300100"},
                                    {"account", "ACC2"},
                                    {"field", "310016"},
                                    {"caption", "Currency Code"},
                                    {"value", "XYZ"},
                                    {"reason", "not-in-domain"},
                                    {"message", "not a code of its domain"},
                                    {"expected", QJsonValue()},
                                    {"otherLine", QJsonValue()}}));

    const QJsonObject total = json[2].toObject();
    EXPECT_EQ(total["reason"].toString(), "total-differs");
    EXPECT_EQ(total["line"].toInt(), 6);
    EXPECT_EQ(total["field"].toString(), "310107");
    EXPECT_EQ(total["value"].toString(), "000000005");
    EXPECT_EQ(total["expected"].toString(), "000000002");
    EXPECT_TRUE(total["account"].isNull());

    const QJsonObject header = json[3].toObject();
    EXPECT_EQ(header["reason"].toString(), "missing-header");
    EXPECT_TRUE(header["line"].isNull());
    EXPECT_TRUE(header["field"].isNull());
}

TEST_F(Check, ExitStatusTellsSoundFindingsOrUnreadable)
{
    TUvoFileBuilder b;
    TUvoFileBuilder::AddSound(b, {"ACC1"});
    Dir.Write("sound.uvo", b.Bytes());
    Dir.Write("empty.uvo", QByteArray());
    QDir(Dir.Root()).mkdir("folder.uvo");

    EXPECT_EQ(CheckIn({"sound.uvo"}).ExitCode, 0);

    const TToolRun empty = CheckIn({"empty.uvo"});
    EXPECT_EQ(empty.ExitCode, 1);
    EXPECT_EQ(FindingLines(empty, "empty.uvo"),
              QStringList({"empty.uvo: no Header record", "empty.uvo: no Trailer record"}));

    // An unreadable file is reported on stderr and the others are still checked.
    for (const char* unreadable : {"missing.uvo", "folder.uvo"}) {
        const TToolRun run = CheckIn({unreadable, "sound.uvo"});
        EXPECT_EQ(run.ExitCode, 2) << unreadable;
        EXPECT_TRUE(run.Err.startsWith(QStringLiteral("uvotool: %1: ").arg(unreadable))) << run.Err.toStdString();
        EXPECT_TRUE(run.Out.startsWith("sound.uvo: 5 lines, 5 records, sound\n")) << run.Out.toStdString();
    }
    const TToolRun json = CheckIn({"--format", "json", "missing.uvo", "empty.uvo"});
    EXPECT_EQ(json.ExitCode, 2);
    EXPECT_EQ(JsonFindings(json).size(), 2);
}

TEST_F(Check, LargeFilesGiveEveryFindingAtItsLineInOrder)
{
    // Large files are read in pieces side by side: findings keep their line
    // numbers and their order, and records are compared across the pieces'
    // borders. Here every Account record sorts before the one above it.
    TUvoFileBuilder descending;
    descending.Add(Header);
    const int accounts = 700;
    QStringList expected;
    for (int i = accounts; i >= 1; --i) {
        descending.Add(Account, QStringLiteral("ACC%1").arg(i, 4, 10, QLatin1Char('0')));
        if (i > 1)
            expected << QStringLiteral(R"(desc.uvo:%1: record 300100, account "ACC%2": out of account hierarchy )"
                                       R"(order: line %3 (record 300100, account "ACC%4") sorts before it)")
                            .arg(accounts - i + 2)
                            .arg(i, 4, 10, QLatin1Char('0'))
                            .arg(accounts - i + 3)
                            .arg(i - 1, 4, 10, QLatin1Char('0'));
    }
    descending.Add(Trailer);
    descending.CalcTotals();
    ASSERT_GT(descending.Bytes().size(), 600 * 1000);
    Dir.Write("desc.uvo", descending.Bytes());
    TToolRun run = CheckIn({"desc.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "desc.uvo"), expected);

    // Faults and refused lines all through a file in hierarchy order.
    TUvoFileBuilder b;
    b.Add(Header);
    for (int i = 1; i <= 300; ++i) {
        const QString account = QStringLiteral("ACC%1").arg(i, 4, 10, QLatin1Char('0'));
        b.Add(Account, account, {{"310016", i % 10 == 0 ? QStringLiteral("XYZ") : QStringLiteral("EUR")}});
        b.Add(Consumer, account, {{"310065", QStringLiteral("01")}});
        b.Add(Address, account, {{"310065", QStringLiteral("01")}});
    }
    b.Add(Trailer);
    b.CalcTotals();
    QList<QByteArray> lines = b.Lines();
    for (int at = 40; at < lines.size(); at += 41)
        lines.insert(at, "000000 refused");
    expected.clear();
    qsizetype refused = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i] == "000000 refused") {
            ++refused;
            expected << QStringLiteral(R"(big.uvo:%1: line refused: Неверный формат. Строка %1:\r\n000000 refused)")
                            .arg(i + 1);
        } else if (lines[i].startsWith("300100") && lines[i].mid(18, 4).toInt() % 10 == 0) {  // ACCnnnn
            expected << QStringLiteral(R"(big.uvo:%1: record 300100, account "%2", field 310016 (Currency Code), )"
                                       R"(value "XYZ": not a code of its domain)")
                            .arg(i + 1)
                            .arg(QString::fromLatin1(lines[i].mid(15, 7)));
        }
    }
    ASSERT_EQ(expected.size(), 30 + refused);
    Dir.Write("big.uvo", JoinLines(lines));
    run = CheckIn({"big.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "big.uvo"), expected);
    EXPECT_TRUE(run.Out.contains(QStringLiteral("big.uvo: %1 lines, 902 records, %2 refused lines, %3 findings\n")
                                     .arg(lines.size())
                                     .arg(refused)
                                     .arg(expected.size())));
    EXPECT_TRUE(run.Out.contains("  300100 Account Record: 300 records, 30 invalid fields in 30 records\n"));
}
