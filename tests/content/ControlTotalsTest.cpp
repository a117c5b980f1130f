// Header, Trailer and the Trailer's control totals.

#include "ShippedFormatFixture.h"

namespace {

const char* const TotalFields[] = {"310107", "310109", "310110", "310111", "310113", "310445",
                                   "310447", "310448", "310451", "310444", "310542", "310446"};

}  // namespace

using ControlTotals = ShippedFormatFixture;

TEST_F(ControlTotals, HeaderIsTheFirstAndTrailerTheLast)
{
    EXPECT_EQ(content.GetHeaderRec(), nullptr);
    EXPECT_EQ(content.GetTrailerRec(), nullptr);
    content.CalcRecsCount();  // no Trailer: nothing happens
    TContentRec* firstTrailer = Make("300999");
    TContentRec* header = Make("300000");
    Make("300000");
    TContentRec* lastTrailer = Make("300999");
    EXPECT_EQ(content.GetHeaderRec(), header);
    EXPECT_EQ(content.GetTrailerRec(), lastTrailer);
    content.CalcRecsCount();
    EXPECT_EQ(lastTrailer->GetVal("310107"), QString("000000000"));
    EXPECT_EQ(firstTrailer->GetVal("310107"), QString());
}

TEST_F(ControlTotals, BoundsRecordsAreEmptyHeaderThenTrailer)
{
    content.CreateBoundsRecs();
    EXPECT_EQ(TypesInOrder(), QStringList({"300000", "300999"}));
    EXPECT_EQ(content[0]->GetVal("310000"), QString());
    EXPECT_EQ(content[1]->SortStr, QString(38, 'z'));
}

TEST_F(ControlTotals, EveryDependentTypeIsCountedInItsField)
{
    const char* const types[] = {"300100", "300210", "300300", "300500", "300600", "300620",
                                 "300630", "300640", "300650", "300660", "300665", "300670"};
    TContentRec* trailer = Make("300999", {{"310135", "123"}, {"310136", "45"}, {"310112", "999"}});
    for (int i = 0; i < 12; ++i)
        for (int n = 0; n <= i; ++n)
            Make(types[i], {{"310011", "1"}});
    Make("300680", {{"310011", "1"}});
    Make("300000");
    content.CalcRecsCount();
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(trailer->GetVal(TotalFields[i]), PadZeroLeft(QString::number(i + 1), 9)) << TotalFields[i];
        EXPECT_TRUE(trailer->FindFld(TotalFields[i])->IsValid());
    }
    EXPECT_EQ(trailer->GetVal("310135"), QString("123"));
    EXPECT_EQ(trailer->GetVal("310136"), QString("45"));
    EXPECT_EQ(trailer->GetVal("310112"), QString("999"));
}

TEST_F(ControlTotals, TotalsFollowAddAndDelete)
{
    TContentRec* trailer = Make("300999", {{"310451", "000000077"}});
    for (int i = 0; i < 3; ++i)
        Make("300650", {{"310011", "1"}});
    TContentRec* address = Make("300500", {{"310011", "1"}});
    EXPECT_EQ(trailer->GetVal("310451"), QString("000000077"));  // kept until recomputed
    Make("300650", {{"310011", "1"}});
    content.CalcRecsCount();
    EXPECT_EQ(trailer->GetVal("310451"), QString("000000004"));
    EXPECT_EQ(trailer->GetVal("310111"), QString("000000001"));
    content.Delete(content.IndexOf(address));
    content.CalcRecsCount();
    EXPECT_EQ(trailer->GetVal("310111"), QString("000000000"));
    EXPECT_EQ(trailer->GetVal("310107"), QString("000000000"));
}
