// uvotool check: findings with their exact lines, the JSON form, exit statuses.

#include "UvoToolFixture.h"

#include "ContentCheck.h"
#include "UvoFile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString Header = UvoIds::HeaderRecID;
const QString Account = UvoIds::AccountRecID;
const QString Consumer = UvoIds::ConsumerRecID;
const QString Address = QStringLiteral("300500");
const QString Trailer = UvoIds::TrailerRecID;

void AddAccount(TUvoFileBuilder& b, const QString& account, TUvoFileBuilder::TValues values = {})
{
    b.Add(Account, account, values);
    b.Add(Consumer, account, {{"310065", "01"}});
    b.Add(Address, account, {{"310065", "01"}});
}

QString Acc(int i) { return QStringLiteral("ACC%1").arg(i, 4, 10, QLatin1Char('0')); }

// The lines of a text report before the summary of `file`.
QStringList FindingLines(const TToolRun& run, const QString& file)
{
    QStringList lines = run.OutLines();
    const auto summary = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
        return line.startsWith(file + QLatin1String(": ")) && line.contains(QLatin1String(" lines, "));
    });
    return lines.mid(0, summary - lines.begin());
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
    return doc.array();
}

QString InvalidCurrency(const QString& file, int line, const QString& account, const QString& value)
{
    return QStringLiteral(R"(%1:%2: record 300100, account "%3", field 310016 (Currency Code), value "%4": )"
                          "not a code of its domain")
        .arg(file)
        .arg(line)
        .arg(account, value);
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
    EXPECT_EQ(text.Out, "sound.uvo: 8 lines, 8 records, sound\n"
                        "  300000 Header Record: 1 record\n"
                        "  300100 Account Record: 2 records\n"
                        "  300300 Consumer Name Record: 2 records\n"
                        "  300500 Consumer Address Record: 2 records\n"
                        "  300999 Trailer Record: 1 record\n");
    EXPECT_EQ(text.Err, "");
    EXPECT_EQ(CheckIn({"--format", "json", "sound.uvo"}).Out, "[]\n");
}

TEST_F(Check, OneFaultOfEachReasonGivesItsExactLine)
{
    // A value that is too long for its field cannot come from a file: the
    // reader cuts every value to its field's width.
    TUvoFileBuilder b;
    b.Add(Header, {}, {{"310008", ""}});
    AddAccount(b, "ACC1", {{"310014", ""}, {"310016", "XYZ"}, {"310022", "12\t34"}});
    b.Add(Consumer, "ACC2", {{"310065", "01"}, {"310080", QStringLiteral("Ж")}});
    b.Add(Trailer);
    b.CalcTotals();
    Dir.Write("faults.uvo", b.Bytes());

    const TToolRun run = CheckIn({"faults.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "faults.uvo"),
              QStringList({
                  R"(faults.uvo:1: record 300000, field 310008 (Subscriber Name), value "": empty mandatory field)",
                  R"(faults.uvo:2: record 300100, account "ACC1", field 310014 (Account Open Date), value "": )"
                  "empty mandatory field",
                  InvalidCurrency("faults.uvo", 2, "ACC1", "XYZ"),
                  R"(faults.uvo:2: record 300100, account "ACC1", field 310022 (Amount of Finance), )"
                  R"(value "12\t34": not digits)",
                  QStringLiteral(R"(faults.uvo:5: record 300300, account "ACC2", field 310080 (Sex Code), )"
                                 R"(value "Ж": not a code of its domain)"),
              }));
    EXPECT_TRUE(run.Out.contains("faults.uvo: 6 lines, 6 records, 5 findings\n"
                                 "  300000 Header Record: 1 record, 1 invalid field in 1 record\n"
                                 "  300100 Account Record: 1 record, 3 invalid fields in 1 record\n"
                                 "  300300 Consumer Name Record: 2 records, 1 invalid field in 1 record\n"));
}

TEST_F(Check, RefusedLinesAreReportedAndReadingGoesOn)
{
    TUvoFileBuilder b;
    b.Add(Header);
    AddAccount(b, "ACC1", {{"310016", "XYZ"}});
    b.Add(Account, "ACC2", {{"310016", "QQQ"}});
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
                  InvalidCurrency("refused.uvo", 2, "ACC1", "XYZ"),
                  QStringLiteral(R"(refused.uvo:5: line refused: Неверный формат. Строка 5:\r\n999999 not a record)"),
                  InvalidCurrency("refused.uvo", 6, "ACC2", "QQQ"),
              }));
    EXPECT_TRUE(run.Out.contains("refused.uvo: 7 lines, 6 records, 1 refused line, 3 findings\n"));
    EXPECT_EQ(JsonFindings(CheckIn({"--format", "json", "refused.uvo"})).at(1)["message"], EditorReadMessage(bytes));

    // Lines are cut as the editor cuts them: LF ends a line, CR is dropped, a
    // byte 26 ends the file, the last line needs no line end, and a blank
    // line is refused under its own number. A lone CR with text after it and
    // data after the byte 26 are reported, as reading passes over them.
    lines = b.Lines();
    Dir.Write("ends.uvo", lines[0] + "\n" + lines[1] + "\r\r\n" + lines[2].left(30) + "\r" + lines[2].mid(30) +
                              "\r\n" + JoinLines(lines.mid(3, 2)) + lines[5] + "\x1A" + "not a record\r\n");
    const TToolRun ends = CheckIn({"ends.uvo"});
    EXPECT_EQ(FindingLines(ends, "ends.uvo"),
              QStringList({
                  InvalidCurrency("ends.uvo", 2, "ACC1", "XYZ"),
                  QStringLiteral(R"(ends.uvo:3: record 300300, account "ACC1", text "%1…": a lone CR joins lines )"
                                 "into one record; the text after it is read into that record or dropped")
                      .arg(QString::fromLatin1(lines[2].mid(30, 40))),
                  InvalidCurrency("ends.uvo", 5, "ACC2", "QQQ"),
                  R"(ends.uvo:6: text "not a record": data after the end-of-file mark (byte 26), ignored by )"
                  "reading and dropped by saving",
              }));
    EXPECT_TRUE(ends.Out.contains("ends.uvo: 6 lines, 6 records, 4 findings\n"));
    lines[3] += "  surplus";
    Dir.Write("surplus.uvo", JoinLines(lines));
    const QJsonArray passedOver = JsonFindings(CheckIn({"--format", "json", "ends.uvo", "surplus.uvo"}));
    ASSERT_EQ(passedOver.size(), 7);
    EXPECT_EQ(passedOver[1]["reason"], "lone-cr");
    EXPECT_EQ(passedOver[3]["reason"], "data-after-end-mark");
    EXPECT_EQ(passedOver[3]["value"], "not a record");
    EXPECT_EQ(passedOver[5]["reason"], "text-past-record-end");
    EXPECT_EQ(passedOver[5]["line"], 4);
    EXPECT_EQ(passedOver[5]["value"], "  surplus");
    const QByteArray blank = JoinLines({lines[0], lines[1], "", lines[2]});
    Dir.Write("blank.uvo", blank);
    const QJsonArray json = JsonFindings(CheckIn({"--format", "json", "blank.uvo"}));
    EXPECT_EQ(json[1]["line"], 3);
    EXPECT_EQ(json[1]["message"], EditorReadMessage(blank));
}

TEST_F(Check, WrongTotalsAndMissingOrRepeatedHeaderAndTrailer)
{
    // No Header; a Trailer in the middle and one at the end, which is the
    // one whose totals count.
    TUvoFileBuilder b;
    AddAccount(b, "ACC1");
    b.Add(Trailer);
    AddAccount(b, "ACC2");
    b.Add(Trailer);
    b.CalcTotals();
    b.Trailer().SetVal("310107", "000000003");
    b.Trailer().SetVal("310111", "000000001");
    Dir.Write("bounds.uvo", b.Bytes());
    TToolRun run = CheckIn({"bounds.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FindingLines(run, "bounds.uvo"),
              QStringList({
                  R"(bounds.uvo:4: record 300999: out of account hierarchy order: )"
                  R"(line 5 (record 300100, account "ACC2") sorts before it)",
                  "bounds.uvo:8: record 300999: repeated Trailer, the first is on line 4",
                  R"(bounds.uvo:8: record 300999, field 310107 (Total Account Records), value "000000003": )"
                  R"(total differs from the records present, which give "000000002")",
                  R"(bounds.uvo:8: record 300999, field 310111 (Total Address Records), value "000000001": )"
                  R"(total differs from the records present, which give "000000002")",
                  "bounds.uvo: no Header record",
              }));

    TUvoFileBuilder twoHeaders;
    twoHeaders.Add(Header);
    twoHeaders.Add(Header);
    Dir.Write("headers.uvo", twoHeaders.Bytes());
    EXPECT_EQ(FindingLines(CheckIn({"headers.uvo"}), "headers.uvo"),
              QStringList({"headers.uvo:2: record 300000: repeated Header, the first is on line 1",
                           "headers.uvo: no Trailer record"}));
}

TEST_F(Check, RecordsOutOfTheAccountHierarchy)
{
    TUvoFileBuilder b;
    TUvoFileBuilder::AddSound(b, {"ACC1", "ACC2"});
    QList<QByteArray> lines = b.Lines();
    lines.move(3, 6);  // the address of ACC1 after the records of ACC2
    lines.move(0, 1);  // the Header after the first Account record
    Dir.Write("order.uvo", JoinLines(lines) + JoinLines(b.Lines().mid(3, 1)));  // and once more at the end

    EXPECT_EQ(FindingLines(CheckIn({"order.uvo"}), "order.uvo"),
              QStringList({R"(order.uvo:1: record 300100, account "ACC1": out of account hierarchy order: )"
                           R"(line 2 (record 300000) sorts before it)",
                           R"(order.uvo:6: record 300500, account "ACC2": out of account hierarchy order: )"
                           R"(line 7 (record 300500, account "ACC1") sorts before it)",
                           R"(order.uvo:8: record 300999: out of account hierarchy order: )"
                           R"(line 9 (record 300500, account "ACC1") sorts before it)",
                           R"(order.uvo:8: record 300999, field 310111 (Total Address Records), )"
                           R"(value "000000002": total differs from the records present, which give "000000003")"}));
}

TEST_F(Check, JsonFormCarriesTheSameFindings)
{
    TUvoFileBuilder b;
    AddAccount(b, "ACC1");
    b.Add(Account, "ACC2", {{"310016", "XYZ"}});
    b.Add(Trailer);
    b.CalcTotals();
    b.Trailer().SetVal("310107", "000000005");
    QList<QByteArray> lines = b.Lines();
    lines.insert(1, Ansi(QStringLiteral("Строка\tне запись")));
    Dir.Write("a.uvo", JoinLines(lines));
    TUvoFileBuilder sound;
    TUvoFileBuilder::AddSound(sound, {"ACC9"});
    Dir.Write("b.uvo", sound.Bytes());

    const TToolRun run = CheckIn({"a.uvo", "--format=json", "b.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    const QJsonArray json = JsonFindings(run);
    ASSERT_EQ(json.size(), 4);
    EXPECT_EQ(FindingLines(CheckIn({"a.uvo"}), "a.uvo").size(), json.size());
    EXPECT_EQ(json[0]["reason"], "refused-line");
    EXPECT_EQ(json[0]["line"], 2);
    EXPECT_EQ(json[0]["value"], QStringLiteral("Строка\tне запись"));
    EXPECT_EQ(json[1].toObject(), QJsonObject({{"file", "a.uvo"},
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
    EXPECT_EQ(json[2]["reason"], "total-differs");
    EXPECT_EQ(json[2]["value"], "000000005");
    EXPECT_EQ(json[2]["expected"], "000000002");
    EXPECT_TRUE(json[2]["account"].isNull());
    EXPECT_EQ(json[3]["reason"], "missing-header");
    EXPECT_TRUE(json[3]["line"].isNull());
}

TEST_F(Check, ExitStatusTellsSoundFindingsOrUnreadable)
{
    TUvoFileBuilder b;
    TUvoFileBuilder::AddSound(b, {"ACC1"});
    Dir.Write("sound.uvo", b.Bytes());
    Dir.Write("empty.uvo", "");
    QDir(Dir.Root()).mkdir("folder.uvo");

    EXPECT_EQ(CheckIn({"sound.uvo"}).ExitCode, 0);
    const TToolRun empty = CheckIn({"empty.uvo"});
    EXPECT_EQ(empty.ExitCode, 1);
    EXPECT_EQ(FindingLines(empty, "empty.uvo"),
              QStringList({"empty.uvo: no Header record", "empty.uvo: no Trailer record"}));

    // An unreadable file is reported on stderr; the others are still checked.
    for (const QString unreadable : {"missing.uvo", "folder.uvo"}) {
        const TToolRun run = CheckIn({unreadable, "sound.uvo", "--format", "json"});
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Err.startsWith("uvotool: " + unreadable + ": ")) << run.Err.toStdString();
        EXPECT_EQ(run.Out, "[]\n");
    }
}

TEST_F(Check, LargeFilesGiveEveryFindingAtItsLineInOrder)
{
    // Large files are read in pieces side by side: the findings keep their
    // lines and order, and records are compared across the pieces' borders.
    // Here every Account record sorts before the one above it.
    TUvoFileBuilder descending;
    QStringList expected;
    for (int i = 700; i >= 1; --i) {
        descending.Add(Account, Acc(i));
        if (i > 1)
            expected << QStringLiteral(R"(desc.uvo:%1: record 300100, account "%2": out of account hierarchy )"
                                       R"(order: line %3 (record 300100, account "%4") sorts before it)")
                            .arg(701 - i)
                            .arg(Acc(i))
                            .arg(702 - i)
                            .arg(Acc(i - 1));
    }
    expected << "desc.uvo: no Header record" << "desc.uvo: no Trailer record";
    ASSERT_GT(descending.Bytes().size(), 600000);
    Dir.Write("desc.uvo", descending.Bytes());
    EXPECT_EQ(FindingLines(CheckIn({"desc.uvo"}), "desc.uvo"), expected);

    // Faults and refused lines all through a file in hierarchy order.
    TUvoFileBuilder b;
    b.Add(Header);
    for (int i = 1; i <= 300; ++i)
        AddAccount(b, Acc(i), {{"310016", i % 10 ? "EUR" : "XYZ"}});
    b.Add(Trailer);
    b.CalcTotals();
    QList<QByteArray> lines = b.Lines();
    expected.clear();
    for (int i = 0; i < lines.size(); ++i) {
        if (i % 41 == 40) {
            lines.insert(i, "000000 refused");
            expected << QStringLiteral(R"(big.uvo:%1: line refused: Неверный формат. Строка %1:\r\n000000 refused)")
                            .arg(i + 1);
        } else if (lines[i].startsWith("300100") && lines[i].mid(18, 4).toInt() % 10 == 0) {
            expected << InvalidCurrency("big.uvo", i + 1, QString::fromLatin1(lines[i].mid(15, 7)), "XYZ");
        }
    }
    Dir.Write("big.uvo", JoinLines(lines));
    const TToolRun run = CheckIn({"big.uvo"});
    EXPECT_EQ(FindingLines(run, "big.uvo"), expected);
    EXPECT_TRUE(run.Out.contains(QStringLiteral("big.uvo: %1 lines, 902 records, %2 refused lines, %3 findings\n"
                                                "  300000 Header Record: 1 record\n"
                                                "  300100 Account Record: 300 records, 30 invalid fields in 30 "
                                                "records\n")
                                     .arg(lines.size())
                                     .arg(lines.size() - 902)
                                     .arg(expected.size())));
}

// The editor's problems list runs the same check on the records it read: a
// file with a fault of every kind the editor can read gives the same findings,
// in the same order and at the same lines, as uvotool check.
TEST_F(Check, EditorCheckOfTheReadRecordsAgreesWithTheTool)
{
    TUvoFileBuilder b;
    b.Add(Header);
    AddAccount(b, "ACC2", {{"310016", "XYZ"}, {"310040", "12a"}});
    AddAccount(b, "ACC1");
    b.Add(Header);
    b.Add(Trailer);
    b.CalcTotals();
    b.Trailer().SetVal("310107", "000000009");
    QList<QByteArray> lines = b.Lines();
    lines[2] += "  surplus";
    Dir.Write("faults.uvo", JoinLines(lines) + "\x1A" + "after the end\r\n");

    const QJsonArray tool = JsonFindings(CheckIn({"--format", "json", "faults.uvo"}));
    TContent content(ShippedFormat());
    const UvoFile::ReadResult read = UvoFile::ReadBytes(Dir.Read("faults.uvo"), content);
    ASSERT_TRUE(read.Ok);
    QStringList editor;
    TContentCheck(ShippedFormat()).Check(content, read.Losses, true, [&](TFinding&& f) {
        editor << QStringLiteral("%1 %2 %3 %4").arg(f.Line).arg(ReasonCode(f), f.FldID, f.Value);
        if (f.FieldIndex >= 0) {
            EXPECT_EQ(f.Record->FldList[size_t(f.FieldIndex)].Rule->FldID(), f.FldID);
        }
    });
    QStringList printed;
    for (const QJsonValue& f : tool)
        printed << QStringLiteral("%1 %2 %3 %4")
                       .arg(f["line"].toInt())
                       .arg(f["reason"].toString(), f["field"].toString(), f["value"].toString());
    EXPECT_EQ(editor, printed);
    // Two invalid values, text past the end, two records out of order, the
    // repeated Header, data after the end mark and a wrong total.
    EXPECT_EQ(printed.size(), 8);
}

// A file far larger than the pieces it is read in (4 MB) gives, piece by
// piece, what the check of the whole list gives: every record sorts before
// the one above it, so whatever the pieces' borders, a finding crosses each.
TEST_F(Check, FileLargerThanItsPiecesGivesTheFindingsOfTheWholeList)
{
    TUvoFileBuilder b;
    b.Add(Header);
    for (int i = 990; i >= 1; --i)
        b.Add(Account, Acc(i), {{"310016", i % 7 ? "EUR" : "XYZ"}});
    b.Add(Trailer);
    b.CalcTotals();
    b.Trailer().SetVal("310107", "000000001");
    QList<QByteArray> lines = b.Lines();
    for (int i = 1; i < lines.size() - 1; ++i)
        lines[i] += "  " + QByteArray(6000, char('a' + i % 26));  // text past the record's length
    const QByteArray bytes = JoinLines(lines) + "\x1A" + QByteArray(100, ' ') + "after the end";
    ASSERT_GT(bytes.size(), 5 << 20);
    Dir.Write("big.uvo", bytes);

    auto described = [](const TFinding& f) {
        return QStringLiteral("%1 %2 %3 %4 %5").arg(f.Line).arg(ReasonCode(f), f.FldID, f.Value).arg(f.OtherLine);
    };
    TContent content(ShippedFormat());
    const UvoFile::ReadResult read = UvoFile::ReadBytes(bytes, content);
    ASSERT_TRUE(read.Ok);
    QStringList whole;
    TContentCheck(ShippedFormat()).Check(content, read.Losses, true, [&](TFinding&& f) { whole << described(f); });
    QStringList streamed;
    for (const QJsonValue& f : JsonFindings(CheckIn({"--format", "json", "big.uvo"}))) {
        streamed << QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(f["line"].toInt())
                        .arg(f["reason"].toString(), f["field"].toString(), f["value"].toString())
                        .arg(f["otherLine"].toInt());
    }
    EXPECT_EQ(streamed, whole);
    // Out of order, past the end, invalid currencies, after the end mark, the total.
    EXPECT_EQ(whole.size(), 989 + 990 + 990 / 7 + 1 + 1);
}

// Of each kind of finding and field the first 10,000 are written, and the
// rest are counted in the summary.
TEST_F(Check, ReportShowsTheFirstTenThousandOfEachKindAndCountsTheRest)
{
    // A Consumer Name record of its type alone: each of its mandatory fields is empty.
    Dir.Write("short.uvo", QByteArray("300300\r\n").repeated(10003));
    const TToolRun run = CheckIn({"short.uvo"});
    EXPECT_EQ(run.ExitCode, 1);
    const QStringList findings = FindingLines(run, "short.uvo");
    const qsizetype fields = findings.size() / 10000;
    ASSERT_GT(fields, 1);
    EXPECT_EQ(findings.size(), fields * 10000 + 2);  // and no Header, no Trailer
    EXPECT_TRUE(findings[findings.size() - 3].startsWith("short.uvo:10000: ")) << findings.last().toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("short.uvo: 10003 lines, 10003 records, %1 findings\n")
                                     .arg(fields * 10003 + 2)));
    EXPECT_TRUE(run.Out.contains(
        "\n  record 300300, field 310001 (Version Number), empty mandatory field: 3 more from line 10001 on are "
        "not shown; the first 10000 of each kind and field are\n"))
        << run.Out.right(800).toStdString();
    const QJsonArray json = JsonFindings(CheckIn({"--format", "json", "short.uvo"}));
    ASSERT_EQ(json.size(), fields * 10001 + 2);
    EXPECT_EQ(json.last()["notShown"].toInt(), 3);
    EXPECT_EQ(json.last()["line"].toInt(), 10001);
}
