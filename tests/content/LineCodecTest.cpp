// Cutting lines into fields by the layout widths and rendering them back.

#include "ShippedFormatFixture.h"

using LineCodec = ShippedFormatFixture;

TEST_F(LineCodec, UnrecognisedLinesAddNothing)
{
    for (const QString& line : {QString(), QString("3"), QString("30000"), QString(" 300000"),
                                QString("123456 and more"), QString("300001")})
        EXPECT_EQ(content.AddFromString(line), nullptr) << line.toStdString();
    EXPECT_EQ(content.Count(), 0);
}

TEST_F(LineCodec, InactiveTypesAreRecognised)
{
    TContentRec* rec = content.AddFromString(u"300680");
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->Rec->RecID, QString("300680"));
    EXPECT_EQ(rec->RecToString().size(), 1236);
}

TEST_F(LineCodec, HeaderOfTheIdAloneRendersToFullWidth)
{
    TContentRec* header = content.AddFromString(u"300000");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetVal("310000"), QString("300000"));
    for (size_t i = 1; i < header->FldList.size(); ++i)
        EXPECT_TRUE(header->FldList[i].Value().isEmpty());
    EXPECT_EQ(header->RecToString(), QString("300000") + QString(111, ' '));
}

TEST_F(LineCodec, EveryTypeRendersToItsLineLength)
{
    const std::vector<std::pair<const char*, int>> lengths = {
        {"300000", 117}, {"300100", 1001}, {"300210", 189}, {"300300", 1196}, {"300500", 345},
        {"300600", 530}, {"300620", 2345}, {"300630", 725}, {"300640", 229}, {"300650", 377},
        {"300660", 777}, {"300665", 84},   {"300670", 2068}, {"300680", 1236}, {"300690", 385},
        {"300710", 380}, {"300999", 161}};
    for (const auto& [recId, length] : lengths)
        EXPECT_EQ(Line(recId).size(), length) << recId;
}

TEST_F(LineCodec, LeadingBlanksStayTrailingControlsGo)
{
    // Amount of Finance (N 15) written right-aligned by another producer.
    QString line = Line("300100", {{"310011", "4711"}});
    line.replace(112, 15, "           1500");
    TContentRec* rec = content.AddFromString(line);
    ASSERT_NE(rec, nullptr);
    const auto amount = rec->FindFld("310022");
    EXPECT_EQ(amount->Value(), QString("           1500"));
    EXPECT_FALSE(amount->IsValid());
    line.replace(112, 15, "000000000001500");
    EXPECT_TRUE(content.AddFromString(line)->FindFld("310022")->IsValid());

    // A text field ending in blanks and a tab loses them and is rendered with blanks.
    line = Line("300100", {{"310011", "4711 \t"}});
    rec = content.AddFromString(line);
    EXPECT_EQ(rec->Account, QString("4711"));
    EXPECT_EQ(rec->RecToString().mid(15, 40), PadRight(u"4711", 40));
}

TEST_F(LineCodec, ShortAndLongLines)
{
    const QString full = Line("300210", {{"310011", "4711"}, {"310059", "0001"}});
    TContentRec* shortRec = content.AddFromString(full.left(57));
    EXPECT_EQ(shortRec->GetVal("310059"), QString("00"));
    EXPECT_EQ(shortRec->RecToString().size(), 189);
    TContentRec* longRec = content.AddFromString(full + "EEsurplus beyond the end");
    EXPECT_EQ(longRec->FldList.back().Value(), QString("EE"));  // EndOfRecord takes two characters
    EXPECT_EQ(longRec->RecToString(), full);
}

TEST_F(LineCodec, LongAccountIsCutOnRenderingButKeptInMemory)
{
    const QString account(45, 'A');
    TContentRec* rec = Make("300100", {{"310011", account}});
    EXPECT_EQ(rec->Account, account);
    EXPECT_FALSE(rec->FindFld("310011")->IsValid());
    EXPECT_EQ(rec->RecToString().mid(15, 40), QString(40, 'A'));
}

TEST_F(LineCodec, ExactLinesRoundTrip)
{
    const QString line = Line("300300", {{"310011", "40817810000000004711"},
                                          {"310065", "01"},
                                          {"310233", "Иванов"},
                                          {"310230", "Иван"},
                                          {"310083", "RU"}});
    TContentRec* rec = content.AddFromString(line);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->RecToString(), line);
    EXPECT_EQ(rec->GetVal("310233"), QString("Иванов"));
}
