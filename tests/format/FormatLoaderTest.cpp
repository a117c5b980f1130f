// The grammar of the format description text and the loader's messages.

#include "FormatLoader.h"
#include "TFormat.h"
#include "BadInputs.h"

#include <gtest/gtest.h>

namespace {

// A small but complete description: two record types, three fields, a domain.
const char* const MinimalText =
    "[RECORDS]\r\n"
    "300000;Header Record;1\r\n"
    "300100;Account Record;1\r\n"
    "[FIELDS]\r\n"
    "310000;Record Type\r\n"
    "310003;Finance Type\r\n"
    "310137;EndOfRecord\r\n"
    "[DOMAINS]\r\n"
    "340014;financeType\r\n"
    "[VALUES]\r\n"
    "390001;340014;01;Secured Loan\r\n"
    "[FORMAT]\r\n"
    "300000;310000;Record Type;1;N;6;\r\n"
    "300000;310003;Finance Type;1;C;2;340014\r\n"
    "300000;310137;EndOfRecord;0;T;2;\r\n";

struct Loaded {
    TFormat format;
    FormatLoader::Result result;
};

std::unique_ptr<Loaded> Load(const QByteArray& text)
{
    auto loaded = std::make_unique<Loaded>();
    loaded->result = FormatLoader::Load(text, loaded->format);
    return loaded;
}

QString MessageOf(const QByteArray& text) { return Load(text)->result.Message; }

}  // namespace

TEST(FormatLoader, LoadsAMinimalText)
{
    const auto loaded = Load(MinimalText);
    EXPECT_TRUE(loaded->result.Ok);
    EXPECT_TRUE(loaded->result.Message.isEmpty());
    EXPECT_EQ(loaded->format.RecCount(), 2);
    EXPECT_EQ(loaded->format.RuleCount(), 3);
}

TEST(FormatLoader, LineNumbersCountBlankLinesAndHeaders)
{
    // Line 5 holds the bad [RECORDS] line, after a blank line and a line of tabs.
    EXPECT_EQ(MessageOf("[RECORDS]\r\n\r\n \t \r\n300000;Header Record;1\r\n300100;Account;1;\r\n"),
              QString("Неверное число полей в строке 5."));
    // A lone CR and a lone LF end lines too.
    EXPECT_EQ(MessageOf("[RECORDS]\r\r\n300000;Header Record;1\n300100;A\r\n"),
              QString("Неверное число полей в строке 4."));
}

TEST(FormatLoader, SectionHeadersAreCaseInsensitiveButNotTrimmedInside)
{
    EXPECT_EQ(MessageOf("[records]\r\n300000;Header;1;\r\n"), QString("Неверное число полей в строке 2."));
    EXPECT_EQ(MessageOf("  [Records]\t\r\n300000;Header;1;\r\n"), QString("Неверное число полей в строке 2."));
    // [ RECORDS ] names a section with blanks, whose lines are ignored.
    EXPECT_EQ(MessageOf("[ RECORDS ]\r\n300000;Header;1;\r\n"), QString("Неверный формат."));
}

TEST(FormatLoader, LoneBracketsAreDataLines)
{
    EXPECT_EQ(MessageOf("[RECORDS]\r\n[\r\n"), QString("Неверное число полей в строке 2."));
    EXPECT_EQ(MessageOf("[RECORDS]\r\n]\r\n"), QString("Неверное число полей в строке 2."));
}

TEST(FormatLoader, DataBeforeHeadersAndUnderUnknownHeadersIsIgnored)
{
    QByteArray text = "garbage;;;;\r\n[COMMENTS]\r\nmore garbage\r\n";
    text += MinimalText;
    EXPECT_TRUE(Load(text)->result.Ok);
}

TEST(FormatLoader, FieldsAreSplitStrictly)
{
    // A trailing ';' adds an empty field.
    EXPECT_EQ(MessageOf("[RECORDS]\r\n300000;Header Record;1;\r\n"), QString("Неверное число полей в строке 2."));
    // Blanks around ';' belong to the fields: "300000 " is no id.
    EXPECT_EQ(MessageOf("[RECORDS]\r\n300000 ;Header Record;1\r\n"), QString("Неверный формат строки 2."));
    EXPECT_EQ(FormatLoader::SplitFields("a;;b;"), QStringList({"a", "", "b", ""}));
}

TEST(FormatLoader, ReservedValuesAreSkippedAfterTheFieldCount)
{
    // Skipped although its ids are no numbers.
    EXPECT_TRUE(Load(QByteArray(MinimalText) + "[VALUES]\r\nxx;yy;06;Reserved for Future Use\r\n")->result.Ok);
    // The field count is still tested first.
    EXPECT_EQ(MessageOf("[VALUES]\r\nxx;yy;Reserved\r\n"), QString("Неверное число полей в строке 2."));
    // Lower-case "reserved" is an ordinary description.
    EXPECT_EQ(MessageOf("[VALUES]\r\nxx;yy;06;reserved\r\n"), QString("Неверный формат строки 2."));
}

TEST(FormatLoader, EmptyCodeAndDescriptionAreLoaded)
{
    const auto loaded = Load(QByteArray(MinimalText) + "[VALUES]\r\n390266;340009;;\r\n");
    ASSERT_TRUE(loaded->result.Ok);
    ASSERT_NE(loaded->format.GetVal("390266"), nullptr);
    EXPECT_TRUE(loaded->format.GetVal("390266")->Value.isEmpty());
}

TEST(FormatLoader, TextWithoutLayoutRulesFailsAtTheEnd)
{
    QByteArray text(MinimalText);
    text.truncate(text.indexOf("[FORMAT]"));
    const auto loaded = Load(text);
    EXPECT_FALSE(loaded->result.Ok);
    EXPECT_EQ(loaded->result.Message, QString("Неверный формат."));
    EXPECT_EQ(loaded->format.RecCount(), 2);  // everything before stays
}

TEST(FormatLoader, StopsAtTheFirstRefusedLine)
{
    const auto loaded = Load("[RECORDS]\r\n300000;Header;1\r\n300000;Again;1\r\n300100;Account;x\r\n");
    EXPECT_EQ(loaded->result.Message, QString("Неверный формат строки 3."));
    EXPECT_EQ(loaded->format.RecCount(), 1);
    EXPECT_EQ(loaded->format.HeaderRec->Name, QString("Header"));
}

TEST(FormatLoader, EmptyTextFails)
{
    EXPECT_EQ(MessageOf(""), QString("Неверный формат."));
}

TEST(FormatLoader, LastLineWithoutLineEndCounts)
{
    QByteArray text(MinimalText);
    text.chop(2);
    const auto loaded = Load(text);
    ASSERT_TRUE(loaded->result.Ok);
    EXPECT_EQ(loaded->format.RuleCount(), 3);
}

TEST(FormatLoader, BadTextsLoadOrNameTheLineThatStopsThem)
{
    QFile shipped(QStringLiteral(UVO_FORMAT_TEXT));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray sound = shipped.readAll();
    struct Case {
        TBadContent Kind;
        QString Message;  // empty: loads
    };
    const Case cases[] = {
        {TBadContent::Empty, "Неверный формат."},
        {TBadContent::NulBytes, "Неверный формат."},
        {TBadContent::Binary, "Неверный формат."},  // nothing in it reads as a section
        {TBadContent::Utf8Bom, ""},
        {TBadContent::Utf16, ""},
        {TBadContent::CrOnly, ""},
        {TBadContent::MixedLineEnds, ""},
        {TBadContent::HugeLine, "Неверное число полей в строке 2."},
        {TBadContent::MillionShortLines, "Неверный формат."},
        {TBadContent::EndMarkInside, ""},  // a control character inside a name is part of it
    };
    for (const Case& c : cases) {
        const auto loaded = Load(BadContent(c.Kind, sound));
        EXPECT_EQ(loaded->result.Ok, c.Message.isEmpty()) << int(c.Kind);
        EXPECT_EQ(loaded->result.Message, c.Message) << int(c.Kind);
    }
}
