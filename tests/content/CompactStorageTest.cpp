// Records keep their values compactly: what a file reads into them, and what
// every edit makes of them, must be what a plain value per field would hold.

#include "AnsiCodePage.h"
#include "ShippedFormatFixture.h"
#include "UvoFile.h"
#include "UvoGenerator.h"

#include <QTemporaryDir>

#include <type_traits>

namespace {

// A view taken from a temporary would point into values nobody holds.
static_assert(!std::is_convertible_v<TValueView&&, QStringView>);
static_assert(std::is_convertible_v<const TValueView&, QStringView>);

class CompactStorage : public ShippedFormatFixture {
protected:
    // The fields of one line as a reader that keeps a string per field would
    // see them: cut by width, trailing blanks and controls dropped.
    void ExpectReadAsReference(const QString& line, const TContentRec& rec, int lineNumber)
    {
        const auto& layout = Format().Layout(Format().GetRec(line.left(6)));
        ASSERT_EQ(rec.FldList.size(), layout.size()) << lineNumber;
        QString account;
        qsizetype position = 0;
        for (size_t i = 0; i < layout.size(); ++i) {
            const TRule& rule = *layout[i];
            const QString value = TrimRightControls(QStringView(line).mid(position).left(rule.Size)).toString();
            position += rule.Size;
            const TContentFld fld = rec.FldList[i];
            ASSERT_EQ(fld.Rule, &rule);
            ASSERT_EQ(fld.Value(), value) << lineNumber << " " << rule.FldID().toStdString();
            ASSERT_EQ(fld.IsValid(), Format().StrIsValid(value, rule)) << lineNumber;
            if (rule.IsAccountField)
                account = value;
        }
        ASSERT_EQ(rec.Account, account) << lineNumber;
    }

    // Every value of a record read back from its own line.
    void ExpectConsistent(TContentRec& rec)
    {
        TContent again(Format());
        const TContentRec* parsed = again.AddFromString(rec.RecToString());
        ASSERT_TRUE(parsed);
        for (size_t i = 0; i + 1 < rec.FldList.size(); ++i) {
            const TContentFld fld = rec.FldList[i];
            EXPECT_EQ(PadRight(fld.Value(), fld.Rule->Size), PadRight(parsed->Value(int(i)), fld.Rule->Size));
            EXPECT_EQ(fld.IsValid(), Format().StrIsValid(fld.Value(), *fld.Rule));
        }
    }
};

TEST_F(CompactStorage, AFileLargerThanAReadPieceReadsAsAPlainReaderWould)
{
    GeneratorOptions options;
    options.Accounts = 3200;  // more than one piece of the reader
    UvoGenerator(Format(), options).Generate(content);
    const QTemporaryDir folder;
    const QString path = folder.filePath("large.uvo");
    UvoFile::Write(path, content);
    content.Clear();

    qint64 lastDone = 0, total = 0;
    const UvoFile::ReadResult read = UvoFile::Read(path, content, [&](qint64 done, qint64 size) {
        EXPECT_GE(done, lastDone);
        lastDone = done;
        total = size;
    });
    ASSERT_TRUE(read.Ok) << read.Message.toStdString();
    EXPECT_EQ(lastDone, total);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(content.Count(), lines.size() - 1);  // the last line end begins no line
    for (int i = 0; i < content.Count(); ++i)
        ExpectReadAsReference(AnsiCodePage::Decode(lines[i].chopped(1)), *content[i], i + 1);
}

TEST_F(CompactStorage, ALineReadsAlikeFromTheFilesBytesAndAsText)
{
    TContentRec* made = Make("300300", {{"310011", "Счёт 1"}, {"310233", "Ёлкин"}});
    QByteArray line = AnsiCodePage::Encode(made->RecToString());
    line.replace(30, 3, "\t\x98\x01");  // controls and the one byte without a letter, inside values
    for (const QByteArray& bytes : {line, line.left(40), line.left(3)}) {
        const auto fromBytes = TContent::ParseFileLine(Format(), bytes, nullptr);
        const auto fromText = TContent::ParseLine(Format(), AnsiCodePage::Decode(bytes), nullptr);
        ASSERT_EQ(bool(fromBytes), bool(fromText));
        if (!fromText)
            continue;
        ASSERT_EQ(fromBytes->FldCount(), fromText->FldCount());
        for (int i = 0; i < fromText->FldCount(); ++i) {
            EXPECT_EQ(fromBytes->Value(i), fromText->Value(i)) << i;
            EXPECT_EQ(fromBytes->IsValid(i), fromText->IsValid(i)) << i;
        }
        EXPECT_EQ(fromBytes->Account, fromText->Account);
        EXPECT_EQ(fromBytes->SortStr, fromText->SortStr);
    }
}

TEST_F(CompactStorage, ARefusedLineDeepInALargeFileKeepsTheRecordsBeforeIt)
{
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += "300000\r\n";
    bytes += "999999\r\n300000\r\n";
    const UvoFile::ReadResult read = UvoFile::ReadBytes(bytes, content);
    EXPECT_FALSE(read.Ok);
    EXPECT_EQ(read.Message, QStringLiteral("Неверный формат. Строка 300001:\r\n999999"));
    EXPECT_EQ(content.Count(), 300000);  // parsed on several threads
}

TEST_F(CompactStorage, EditsKeepTheValuesConsistent)
{
    TContentRec* rec = Make("300300", {{"310011", "4711"}, {"310233", "Иванов"}});
    for (size_t i = 1; i + 1 < rec->FldList.size(); ++i) {
        rec->FldList[i].SetValue(QString(int(i % 7), QChar(u'Я')));  // grows, shrinks, empties
        ExpectConsistent(*rec);
    }
    rec->SetVal("310011", "  12  ");
    EXPECT_EQ(rec->Account, QStringLiteral("  12  "));
    EXPECT_EQ(rec->GetVal("310011"), QStringLiteral("  12  "));
    rec->SetVal("310233", QString(5000, u'x'));  // far longer than any line
    EXPECT_EQ(rec->GetVal("310233").size(), 5000);
    EXPECT_FALSE(rec->FindFld("310233")->IsValid());
    ExpectConsistent(*rec);

    // A copy shares the values until either changes.
    TContentRec copy(Format());
    TContent::CopyRec(*rec, copy);
    copy.SetVal("310233", "Петров");
    EXPECT_EQ(rec->GetVal("310233").size(), 5000);
    EXPECT_EQ(copy.GetVal("310233"), QStringLiteral("Петров"));
    EXPECT_TRUE(TContent::RecDiffer(*rec, copy));
    TContent::CopyRec(copy, *rec);
    EXPECT_FALSE(TContent::RecDiffer(*rec, copy));
    EXPECT_EQ(rec->Account, QStringLiteral("  12  "));

    // A value set from the record's own value.
    const TValueView own = rec->GetView("310011");
    rec->SetVal("310233", own);
    EXPECT_EQ(rec->GetVal("310233"), QStringLiteral("  12  "));
    ExpectConsistent(*rec);
}

TEST_F(CompactStorage, AViewTakenBeforeAChangeStillReadsWhatItWasTakenFrom)
{
    TContentRec* rec = Make("300300", {{"310011", "4711"}, {"310233", "Иванов"}});
    const TValueView name = rec->FldList[size_t(rec->FindFld("310233")->Index())].View();
    const TValueView account = rec->GetView("310011");
    rec->SetVal("310233", QString(3000, u'z'));  // moves every value after it
    rec->SetVal("310011", QString());
    content.Clear();  // and the record is gone
    EXPECT_EQ(QStringView(name), QStringLiteral("Иванов"));
    EXPECT_EQ(QStringView(account), QStringLiteral("4711"));
}

// Values stay in the file's code page until one needs a character it lacks;
// from then on the record behaves exactly as before, in every other value too.
TEST_F(CompactStorage, AValueTheCodePageLacksIsKeptAsTyped)
{
    TContentRec* rec = Make("300300", {{"310011", "4711"}, {"310233", "Иванов"}});
    const auto plain = TContent::ParseLine(Format(), rec->RecToString(), nullptr);
    const TValueView before = rec->GetView("310233");
    rec->SetVal("310233", QStringLiteral("Ωмега 漢"));
    EXPECT_EQ(rec->GetVal("310233"), QStringLiteral("Ωмега 漢"));
    EXPECT_EQ(QStringView(before), QStringLiteral("Иванов"));
    EXPECT_EQ(rec->Account, QStringLiteral("4711"));
    ExpectConsistent(*rec);
    QByteArray line;
    rec->AppendLineBytes(line);
    EXPECT_TRUE(line.contains("?\xEC\xE5\xE3\xE0 ?")) << line.toStdString();

    // Equal values compare equal whichever way each record keeps them.
    const TValueView wide = rec->GetView("310233");
    rec->SetVal("310233", QStringLiteral("Иванов"));
    EXPECT_EQ(QStringView(wide), QStringLiteral("Ωмега 漢"));
    EXPECT_FALSE(TContent::RecDiffer(*rec, *plain));

    // More characters than two-byte ends can reach.
    const int last = rec->FldCount() - 1;
    rec->SetValue(last, QString(70000, u'ж'));
    rec->SetValue(1, QStringLiteral("漢"));
    EXPECT_EQ(rec->Value(last), QString(70000, u'ж'));
    EXPECT_EQ(rec->Value(1), QStringLiteral("漢"));
    EXPECT_EQ(rec->GetVal("310233"), QStringLiteral("Иванов"));
    EXPECT_EQ(rec->GetVal("310011"), QStringLiteral("4711"));
}

}  // namespace
