// The format description text that ships with the program.

#include "FormatLoader.h"
#include "TFormat.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray ShippedText()
{
    QFile file(QStringLiteral(UVO_FORMAT_TEXT));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

class ShippedFormat : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        text = new QByteArray(ShippedText());
        format = new TFormat;
        result = FormatLoader::Load(*text, *format);
    }
    static void TearDownTestSuite()
    {
        delete format;
        delete text;
    }
    static QStringList Codes(const char* valSetId)
    {
        QStringList codes;
        for (const TVal* val : format->GetValSet(valSetId)->ValList)
            codes << val->Value;
        return codes;
    }
    static inline QByteArray* text = nullptr;
    static inline TFormat* format = nullptr;
    static inline FormatLoader::Result result;
};

}  // namespace

TEST_F(ShippedFormat, TextShape)
{
    EXPECT_FALSE(text->startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(text->endsWith("\r\n"));
    for (char c : *text)
        ASSERT_TRUE(uchar(c) < 128 && c != '"');
    QList<QByteArray> lines = text->split('\n');
    ASSERT_TRUE(lines.takeLast().isEmpty());
    ASSERT_EQ(lines.size(), 1985);
    for (const QByteArray& line : lines) {
        ASSERT_TRUE(line.endsWith('\r'));
        ASSERT_GT(line.size(), 1);  // no blank lines
    }
    EXPECT_EQ(lines[0], "[RECORDS]\r");
    EXPECT_EQ(lines[18], "[FIELDS]\r");
    EXPECT_EQ(lines[376], "[DOMAINS]\r");
    EXPECT_EQ(lines[437], "[VALUES]\r");
    EXPECT_EQ(lines[1571], "[FORMAT]\r");
    int reserved = 0;
    for (int i = 438; i < 1571; ++i)
        reserved += lines[i].split(';').value(3).startsWith("Reserved");
    EXPECT_EQ(reserved, 115);
}

TEST_F(ShippedFormat, LoadsWithTheStatedCounts)
{
    ASSERT_TRUE(result.Ok) << result.Message.toStdString();
    EXPECT_EQ(format->RecCount(), 17);
    EXPECT_EQ(format->FldCount(), 357);
    EXPECT_EQ(format->ValSetCount(), 60);
    EXPECT_EQ(format->ValCount(), 1018);
    EXPECT_EQ(format->RuleCount(), 413);
    int inDomains = 0;
    for (int id = 340000; id <= 340099; ++id)
        if (const TValSet* valSet = format->GetValSet(QString::number(id)))
            inDomains += int(valSet->ValList.size());
    EXPECT_EQ(inDomains, 865);
}

TEST_F(ShippedFormat, LayoutWidthsAddUpPerRecordType)
{
    const std::vector<std::tuple<const char*, int, int>> layouts = {
        {"300000", 12, 119},  {"300100", 56, 1003}, {"300210", 18, 191},  {"300300", 43, 1198},
        {"300500", 24, 347},  {"300600", 26, 532},  {"300620", 14, 2347}, {"300630", 32, 727},
        {"300640", 19, 231},  {"300650", 17, 379},  {"300660", 23, 779},  {"300665", 12, 86},
        {"300670", 9, 2070},  {"300680", 44, 1238}, {"300690", 25, 387},  {"300710", 19, 382},
        {"300999", 20, 163},
    };
    for (const auto& [recId, fields, width] : layouts) {
        std::vector<const TRule*> rules;
        format->GetRuleListOnRecID(recId, rules);
        ASSERT_EQ(int(rules.size()), fields) << recId;
        int sum = 0;
        for (const TRule* rule : rules)
            sum += rule->Size;
        EXPECT_EQ(sum, width) << recId;
        EXPECT_EQ(rules.front()->FldID(), QString("310000"));
        EXPECT_EQ(rules.back()->FldID(), QString("310137"));
        const TRule* finance = format->GetRule(recId, "310003");
        ASSERT_NE(finance, nullptr);
        EXPECT_TRUE(finance->Required && finance->Kind == u'C' && finance->Size == 2);
        EXPECT_EQ(finance->ValSet, format->GetValSet("340014"));
        if (const TRule* account = format->GetRule(recId, "310011")) {
            EXPECT_TRUE(account->Kind == u'T' && account->Size == 40);
            const bool inactive = !format->GetRec(recId)->Active;
            EXPECT_EQ(account->Required, !inactive) << recId;  // optional in the three inactive types
        }
    }
}

TEST_F(ShippedFormat, SampleLayoutRows)
{
    const TRule* rule = format->GetRule("300100", "310549");
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->Name, QString("Actual Payment Amount excl. violation payments"));
    EXPECT_TRUE(rule->Required);
    EXPECT_EQ(rule->Size, 18);
    rule = format->GetRule("300300", "310083");
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->ValSet, format->GetValSet("340033"));
    rule = format->GetRule("300999", "310112");
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->Name, QString("Filler0"));
    EXPECT_EQ(rule->Kind, u'N');
}

TEST_F(ShippedFormat, DomainsAreOrderedByCode)
{
    EXPECT_EQ(Codes("340000"), QString("0 1 2 3 4 5 6 8 A L U W X").split(' '));
    EXPECT_EQ(Codes("340065"), QString("021 022 023 024 025 026 027 028 029 030 041 042 043 044 045 046 "
                                       "051 052 120 230 231 232 233 234 999")
                                   .split(' '));
    EXPECT_EQ(Codes("340058"), QString("1 2 3 9").split(' '));
    EXPECT_EQ(format->GetVal("390392")->Name, QString("Secured Loan"));
}

TEST_F(ShippedFormat, FinanceTypeList)
{
    QStringList lines;
    format->GetFinanceTypeList(lines);
    ASSERT_EQ(lines.size(), 26);
    EXPECT_EQ(lines.front(), QString("01 Secured Loan"));
    EXPECT_EQ(lines.back(), QString("60 Bank Guarantee"));
}

TEST_F(ShippedFormat, ActiveRecordTypes)
{
    std::vector<const TRec*> recs;
    format->GetActiveRecs(recs);
    QStringList ids;
    for (const TRec* rec : recs)
        ids << rec->RecID;
    EXPECT_EQ(ids, QString("300000 300100 300210 300300 300500 300600 300620 300630 300640 300650 300660 "
                           "300665 300670 300999")
                       .split(' '));
    EXPECT_NE(format->HeaderRec, nullptr);
    EXPECT_NE(format->TrailerRec, nullptr);
    EXPECT_EQ(format->ConsumerRec->Name, QString("Consumer Name Record"));
}

TEST_F(ShippedFormat, ValidationAgainstShippedDomains)
{
    const TRule& finance = *format->GetRule("300000", "310003");
    EXPECT_TRUE(format->StrIsValid(u"01", finance));
    EXPECT_TRUE(format->StrIsValid(u"60", finance));
    EXPECT_TRUE(format->StrIsValid(u"01 ", finance));
    EXPECT_FALSE(format->StrIsValid(u"1", finance));
    EXPECT_FALSE(format->StrIsValid(u"06", finance));  // its line is skipped as reserved
    EXPECT_FALSE(format->StrIsValid(u"61", finance));
    const TRule& status = *format->GetRule("300100", "310037");
    EXPECT_TRUE(format->StrIsValid(u"A", status));
    EXPECT_FALSE(format->StrIsValid(u"a", status));
}
