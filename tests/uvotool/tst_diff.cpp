// uvotool diff: what changed from one submission to the next, by account.

#include "UvoToolFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Per account an Account record, two history records, a holder and two
// addresses of the same holder and type, which pair by their sort key alone.
void AddAccount(TUvoFileBuilder& b, const QString& account, const QString& surname = QStringLiteral("Иванов"))
{
    b.Add(UvoIds::AccountRecID, account);
    b.Add(QStringLiteral("300210"), account, {{"310059", "0001"}});
    b.Add(QStringLiteral("300210"), account, {{"310059", "0002"}});
    b.Add(UvoIds::ConsumerRecID, account, {{"310065", "01"}, {"310233", surname}});
    b.Add(QStringLiteral("300500"), account, {{"310065", "01"}, {"310087", "1"}, {"310226", QStringLiteral("Тула")}});
    b.Add(QStringLiteral("300500"), account, {{"310065", "01"}, {"310087", "1"}, {"310226", QStringLiteral("Орёл")}});
}

QByteArray File(const QStringList& accounts, const QString& changedAccount = {})
{
    TUvoFileBuilder b;
    b.Add(UvoIds::HeaderRecID);
    for (const QString& account : accounts)
        AddAccount(b, account, account == changedAccount ? QStringLiteral("Семёнов") : QStringLiteral("Иванов"));
    b.Add(UvoIds::TrailerRecID);
    b.CalcTotals();
    return b.Bytes();
}

class Diff : public ::testing::Test {
protected:
    TToolRun Compare(const QByteArray& oldFile, const QByteArray& newFile, const QStringList& options = {})
    {
        Dir.Write(QStringLiteral("old.uvo"), oldFile);
        Dir.Write(QStringLiteral("new.uvo"), newFile);
        return RunTool(QStringList{QStringLiteral("diff")} + options + QStringList{"old.uvo", "new.uvo"}, Dir.Root());
    }

    TWorkDir Dir;
};

TEST_F(Diff, AFileAgainstItselfReorderedDiffersInNothing)
{
    const QByteArray file = File({"A1", "A2", "A3"});
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast();
    std::reverse(lines.begin(), lines.end());  // the two addresses of each account swap places too
    const TToolRun run = Compare(file, lines.join('\n') + '\n');
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.OutLines(), QStringList{"accounts: 0 added, 0 removed, 0 changed; records: 0 added, 0 removed, "
                                          "0 changed; 0 fields changed"});
}

TEST_F(Diff, EveryAdditionRemovalAndChangeIsFoundOnce)
{
    const TToolRun run = Compare(File({"A1", "A2", "A3"}), File({"A1", "A3", "A4"}, "A3"));
    EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString();
    EXPECT_EQ(run.OutLines(),
              QStringList({
                  "account \"A2\": only in the old file, 6 records",
                  "account \"A3\": record 300300 (Consumer Name Record), field 310233 (Surname / Company Name): \"Иванов\" -> "
                  "\"Семёнов\"",
                  "account \"A4\": only in the new file, 6 records",
                  "accounts: 1 added, 1 removed, 1 changed; records: 6 added, 6 removed, 1 changed; 1 field changed",
              }));

    const TToolRun accounts = Compare(File({"A1", "A2", "A3"}), File({"A1", "A3", "A4"}, "A3"), {"--accounts-only"});
    EXPECT_EQ(accounts.OutLines().mid(0, 3), QStringList({"account \"A2\": only in the old file, 6 records",
                                                          "account \"A3\": changed in 1 record",
                                                          "account \"A4\": only in the new file, 6 records"}));
}

TEST_F(Diff, JsonCarriesTheValuesAndTheAccountLists)
{
    const TToolRun run = Compare(File({"A1", "A2"}), File({"A1", "A2", "A3"}, "A1"), {"--format", "json"});
    EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(run.Out.toUtf8()).object();
    EXPECT_EQ(report["accounts"]["added"].toArray(), QJsonArray({"A3"}));
    EXPECT_EQ(report["accounts"]["changed"].toArray(), QJsonArray({"A1"}));
    const QJsonArray records = report["records"].toArray();
    const QJsonObject changed = records.first().toObject();
    EXPECT_EQ(changed["change"], "changed");
    EXPECT_EQ(changed["fields"][0]["old"], QStringLiteral("Иванов"));
    EXPECT_EQ(changed["fields"][0]["new"], QStringLiteral("Семёнов"));
    // The Trailer's totals count the added account's records.
    EXPECT_TRUE(std::any_of(records.begin(), records.end(),
                            [](const QJsonValue& r) { return r["group"] == "trailer" && r["change"] == "changed"; }));
}

TEST_F(Diff, AFileThatCannotBeReadEndsWithStatusTwo)
{
    Dir.Write(QStringLiteral("old.uvo"), File({"A1"}));
    const TToolRun run = RunTool({"diff", "old.uvo", "missing.uvo"}, Dir.Root());
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("missing.uvo"))) << run.Err.toStdString();
}

}  // namespace
