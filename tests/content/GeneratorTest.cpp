// The synthetic data file generator of the benchmark programs: the files it
// makes must be valid submissions, or the figures measured on them mean little.

#include "AnsiCodePage.h"
#include "ShippedFormatFixture.h"
#include "UvoFile.h"
#include "UvoGenerator.h"

#include <algorithm>
#include <map>

namespace {

class Generator : public ShippedFormatFixture {
protected:
    int Generate(int accounts, quint32 seed = 1)
    {
        GeneratorOptions options;
        options.Accounts = accounts;
        options.Seed = seed;
        UvoGenerator generator(Format(), options);
        generator.Generate(content);
        return generator.InvalidRecords();
    }

    std::map<QString, int> CountByType() const
    {
        std::map<QString, int> counts;
        for (const TContentRec* rec : content.Records())
            ++counts[rec->Rec->RecID];
        return counts;
    }

    static bool AllValid(const TContentRec& rec)
    {
        return std::all_of(rec.FldList.begin(), rec.FldList.end(), [](const TContentFld& f) { return f.IsValid(); });
    }
};

QByteArray Generated(const TFormat& format, int accounts, quint32 seed)
{
    TContent content(format);
    GeneratorOptions options;
    options.Accounts = accounts;
    options.Seed = seed;
    UvoGenerator(format, options).Generate(content);
    return UvoFile::Render(content);
}

}  // namespace

TEST_F(Generator, TheSameSeedGivesTheSameFile)
{
    EXPECT_EQ(Generated(Format(), 30, 7), Generated(Format(), 30, 7));
    EXPECT_NE(Generated(Format(), 30, 7), Generated(Format(), 30, 8));
}

TEST_F(Generator, EveryAccountHasItsRecordsAndTwoHolders)
{
    Generate(200);
    const auto counts = CountByType();
    EXPECT_EQ(counts.at("300000"), 1);
    EXPECT_EQ(counts.at("300999"), 1);
    EXPECT_EQ(counts.at("300100"), 200);
    EXPECT_EQ(counts.at("300300"), 400);
    EXPECT_GE(counts.at("300500"), 400);
    EXPECT_LE(counts.at("300500"), 800);
    EXPECT_GE(counts.at("300210"), 4 * 200);
    EXPECT_LE(counts.at("300210"), 6 * 200);
    for (const char* type : {"300600", "300630", "300640", "300650", "300660"})
        EXPECT_GT(counts.count(type), 0u) << type;
}

TEST_F(Generator, TheTrailerHoldsTheTotals)
{
    Generate(150);
    const auto counts = CountByType();
    const TContentRec* trailer = content.GetTrailerRec();
    ASSERT_TRUE(trailer);
    const std::pair<const char*, const char*> totals[] = {
        {"300100", "310107"}, {"300210", "310109"}, {"300300", "310110"}, {"300500", "310111"},
        {"300600", "310113"}, {"300630", "310447"}, {"300640", "310448"}, {"300650", "310451"},
        {"300660", "310444"},
    };
    for (const auto& [type, field] : totals) {
        const auto it = counts.find(type);
        EXPECT_EQ(trailer->GetVal(field), PadZeroLeft(QString::number(it == counts.end() ? 0 : it->second), 9))
            << type;
    }
}

TEST_F(Generator, RecordsStandInFileOrder)
{
    Generate(100);
    ASSERT_GE(content.Count(), 3);
    EXPECT_EQ(content[0]->Rec, Format().HeaderRec);
    EXPECT_EQ(content[content.Count() - 1]->Rec, Format().TrailerRec);
    for (int i = 2; i < content.Count() - 1; ++i)
        EXPECT_LE(content[i - 1]->SortStr, content[i]->SortStr) << i;
}

TEST_F(Generator, AboutOnePercentOfTheRecordsHoldAnInvalidValue)
{
    const int invalid = Generate(500);
    const auto badRecords = std::count_if(content.Records().begin(), content.Records().end(),
                                          [](const TContentRec* rec) { return !AllValid(*rec); });
    EXPECT_EQ(badRecords, invalid);
    EXPECT_GT(invalid, content.Count() / 500);
    EXPECT_LT(invalid, content.Count() / 30);
    EXPECT_TRUE(AllValid(*content.GetHeaderRec()));
    EXPECT_TRUE(AllValid(*content.GetTrailerRec()));
}

TEST_F(Generator, EveryCharacterHasAByteInTheCodePage)
{
    Generate(50);
    for (const TContentRec* rec : content.Records())
        for (const TContentFld& fld : rec->FldList)
            EXPECT_TRUE(AnsiCodePage::CanEncode(fld.Value())) << qPrintable(fld.Value());
}

TEST_F(Generator, TheFileReadsBackToTheSameBytes)
{
    Generate(80);
    const QByteArray bytes = UvoFile::Render(content);
    TContent read(Format());
    ASSERT_TRUE(UvoFile::ReadBytes(bytes, read).Ok);
    EXPECT_EQ(read.Count(), content.Count());
    EXPECT_EQ(UvoFile::Render(read), bytes);
}
