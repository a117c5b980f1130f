// uvotool set: one field set to one value in the records of one type, the
// file it writes read back; a field the type lacks and a file whose reading
// passed over data are refused.

#include "UvoFile.h"
#include "UvoToolFixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString History = QStringLiteral("300210");

// Header; ACC2 before ACC1, each an Account record and two histories with the
// sources of payment given; the Trailer.
QByteArray TwoAccounts()
{
    TUvoFileBuilder b;
    b.Add(UvoIds::HeaderRecID);
    b.Add(UvoIds::AccountRecID, "ACC2");
    b.Add(History, "ACC2", {{"310059", "0001"}, {"310460", "02"}});
    b.Add(History, "ACC2", {{"310059", "0002"}, {"310460", ""}});
    b.Add(UvoIds::AccountRecID, "ACC1");
    b.Add(History, "ACC1", {{"310059", "0001"}, {"310460", "98"}});
    b.Add(History, "ACC1", {{"310059", "0002"}, {"310460", "02"}});
    b.Add(UvoIds::TrailerRecID);
    b.CalcTotals();
    return b.Bytes();
}

// The histories of the file as account, history number and source of payment, in file order.
QStringList Histories(const QByteArray& bytes)
{
    TContent content(ShippedFormat());
    EXPECT_TRUE(UvoFile::ReadBytes(bytes, content).Ok);
    QStringList histories;
    for (const TContentRec* rec : content.Records())
        if (rec->Rec->RecID == History)
            histories << QStringLiteral("%1 %2 %3").arg(rec->Account, rec->GetVal("310059"), rec->GetVal("310460"));
    return histories;
}

class Set : public ::testing::Test {
protected:
    TToolRun Tool(const QStringList& arguments) { return RunTool(arguments, Dir.Root()); }

    TWorkDir Dir;
};

}  // namespace

TEST_F(Set, SetsTheFieldInTheRecordsOfTheTypeAndSaysHowMany)
{
    const QByteArray in = TwoAccounts();
    Dir.Write("in.uvo", in);

    TToolRun run = Tool({"set", "in.uvo", "--type", "300210", "--field", "310460", "--value", "01", "--where-value",
                         "02", "-o", "out.uvo"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "2 records changed; with an invalid value: 0 before, 0 after.\n");
    EXPECT_EQ(Histories(Dir.Read("out.uvo")),
              QStringList({"ACC2 0001 01", "ACC2 0002 ", "ACC1 0001 98", "ACC1 0002 01"}));
    EXPECT_EQ(Dir.Read("in.uvo"), in);

    // The empty value is a value to look for; the file is replaced in place.
    run = Tool({"set", "out.uvo", "--type", "300210", "--field", "310460", "--value", "01", "--where-value", ""});
    EXPECT_EQ(run.Out, "1 record changed; with an invalid value: 1 before, 0 after.\n");
    EXPECT_EQ(Histories(Dir.Read("out.uvo")),
              QStringList({"ACC2 0001 01", "ACC2 0002 01", "ACC1 0001 98", "ACC1 0002 01"}));

    // A new account number sorts the records into the account hierarchy.
    run = Tool({"set", "in.uvo", "--type", "300210", "--field", "310011", "--value", "ACC0", "--where-value", "ACC2"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(Histories(Dir.Read("in.uvo")),
              QStringList({"ACC0 0001 02", "ACC0 0002 ", "ACC1 0001 98", "ACC1 0002 02"}));

    // A total set in the Trailer keeps the value given: no record came or went.
    EXPECT_EQ(Tool({"set", "in.uvo", "--type", "300999", "--field", "310107", "--value", "000000009"}).ExitCode, 0);
    TContent content(ShippedFormat());
    ASSERT_TRUE(UvoFile::ReadBytes(Dir.Read("in.uvo"), content).Ok);
    EXPECT_EQ(content.GetTrailerRec()->GetVal("310107"), "000000009");
    EXPECT_EQ(QDir(Dir.Root()).entryList(QDir::Files), QStringList({"in.uvo", "out.uvo"}));
}

TEST_F(Set, RefusesAFieldTheTypeLacksAndAFileReadInPart)
{
    const QByteArray in = TwoAccounts();
    Dir.Write("in.uvo", in);
    TToolRun run = Tool({"set", "in.uvo", "--type", "300210", "--field", "310008", "--value", "X", "-o", "out.uvo"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err, "uvotool set: record type 300210 (Account History Record) has no field 310008 (Subscriber "
                       "Name).\nTry 'uvotool set --help'.\n");
    run = Tool({"set", "in.uvo", "--type", "300210", "--field", "310000", "--value", "300100"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.startsWith("uvotool set: field 310000 (Record Type) of record type 300210 (Account History "
                                   "Record) is not a value to set."))
        << run.Err.toStdString();
    EXPECT_EQ(Dir.Read("in.uvo"), in);

    QByteArray surplus = in;
    surplus.insert(surplus.indexOf("\r\n"), " surplus");
    Dir.Write("long.uvo", surplus);
    run = Tool({"set", "long.uvo", "--type", "300210", "--field", "310460", "--value", "01"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.endsWith("nothing written (--force writes the file without it).\n")) << run.Err.toStdString();
    EXPECT_EQ(Dir.Read("long.uvo"), surplus);
    EXPECT_EQ(Tool({"set", "long.uvo", "--type", "300210", "--field", "310460", "--value", "01", "--force"}).ExitCode, 0);
    EXPECT_EQ(QDir(Dir.Root()).entryList(QDir::Files), QStringList({"in.uvo", "long.uvo"}));
}
