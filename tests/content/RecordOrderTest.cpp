// Sort keys and the two orderings of the list.

#include "ShippedFormatFixture.h"

using RecordOrder = ShippedFormatFixture;

TEST_F(RecordOrder, KeysFollowTheKeyTable)
{
    EXPECT_EQ(Make("300000")->SortStr, QString());
    EXPECT_EQ(Make("300999")->SortStr, QString(38, 'z'));
    const QString a = PadRight(u"4711", 20);
    EXPECT_EQ(Make("300100", {{"310011", "4711"}})->SortStr, a);
    EXPECT_EQ(Make("300210", {{"310011", "4711"}, {"310059", "2"}})->SortStr, a + "2   ");
    EXPECT_EQ(Make("300300", {{"310011", "4711"}, {"310065", "01"}})->SortStr, a + "zzzzz01");
    EXPECT_EQ(Make("300500", {{"310011", "4711"}, {"310065", "01"}, {"310087", "2"}})->SortStr,
              a + "zzzzz012");
    EXPECT_EQ(Make("300600", {{"310011", "4711"}, {"310065", "01"}})->SortStr, a + "zzzzz01zz");
    EXPECT_EQ(Make("300620", {{"310011", "4711"}, {"310065", "01"}, {"310475", "03"}})->SortStr,
              a + "zzzzz01zz03");
    EXPECT_EQ(Make("300630", {{"310011", "4711"}, {"310065", "01"}})->SortStr, a + "zzzzz01zzzzz");
    EXPECT_EQ(Make("300640", {{"310011", "4711"}, {"310065", "01"}, {"310496", "7"}})->SortStr,
              a + "zzzzz01zzzzz7   ");
    EXPECT_EQ(Make("300650", {{"310011", "4711"}})->SortStr, a + QString(17, 'z') + "300650");
    EXPECT_EQ(Make("300680", {{"310011", "4711"}})->SortStr.size(), 43);
}

TEST_F(RecordOrder, SortRecBuildsTheAccountHierarchy)
{
    Make("300999");
    Make("300650", {{"310011", "2"}});
    Make("300640", {{"310011", "2"}, {"310065", "01"}, {"310496", "0001"}});
    Make("300630", {{"310011", "2"}, {"310065", "01"}});
    Make("300640", {{"310011", "2"}, {"310065", "01"}, {"310496", "0002"}});
    Make("300630", {{"310011", "2"}, {"310065", "01"}});
    Make("300300", {{"310011", "2"}, {"310065", "02"}});
    Make("300500", {{"310011", "2"}, {"310065", "01"}, {"310087", "1"}});
    Make("300300", {{"310011", "2"}, {"310065", "01"}});
    Make("300210", {{"310011", "2"}, {"310059", "2"}});
    Make("300210", {{"310011", "2"}, {"310059", "10"}});
    Make("300100", {{"310011", "2"}});
    Make("300100", {{"310011", "1"}});
    Make("300000");
    content.SortRec();
    EXPECT_EQ(TypesInOrder(), QString("300000 300100 300100 300210 300210 300300 300500 300630 300630 300640 "
                                      "300640 300300 300650 300999")
                                  .split(' '));
    // History number 2 sorts after 10 as left-aligned text.
    EXPECT_EQ(content[3]->GetVal("310059"), QString("10"));
    EXPECT_EQ(content[4]->GetVal("310059"), QString("2"));
    EXPECT_EQ(content[1]->Account, QString("1"));
}

TEST_F(RecordOrder, GuaranteesOfOneAccountShareAKey)
{
    TContentRec* first = Make("300650", {{"310011", "7"}, {"310501", "G-1"}});
    TContentRec* second = Make("300650", {{"310011", "7"}, {"310501", "G-2"}});
    EXPECT_EQ(first->SortStr, second->SortStr);
}

TEST_F(RecordOrder, EmptyAccountSortsAfterHeaderBeforeDigits)
{
    Make("300100", {{"310011", "1"}});
    Make("300300", {{"310011", ""}, {"310065", "01"}});
    Make("300000");
    content.SortRec();
    EXPECT_EQ(TypesInOrder(), QStringList({"300000", "300300", "300100"}));
}

TEST_F(RecordOrder, HeaderFirstAndTrailerLastWhateverTheAccounts)
{
    // A Cyrillic account's key compares above the Trailer's "zzz…", and one
    // starting with a control character below the Header's empty key's successors.
    Make("300999");
    Make("300100", {{"310011", "Счёт-1"}});
    Make("300300", {{"310011", "Счёт-1"}, {"310065", "01"}});
    Make("300000");
    Make("300100", {{"310011", "1"}});
    content.SortRec();
    EXPECT_EQ(TypesInOrder(), QStringList({"300000", "300100", "300100", "300300", "300999"}));
    EXPECT_EQ(content[2]->Account, QString("Счёт-1"));
}

TEST_F(RecordOrder, SortRec2GroupsByType)
{
    Make("300300", {{"310011", "1"}, {"310065", "01"}});
    Make("300100", {{"310011", "2"}});
    Make("300999");
    Make("300100", {{"310011", "1"}});
    Make("300000");
    Make("300300", {{"310011", "0"}, {"310065", "01"}});
    content.SortRec2();
    EXPECT_EQ(TypesInOrder(), QStringList({"300000", "300100", "300100", "300300", "300300", "300999"}));
    EXPECT_EQ(content[1]->Account, QString("1"));
    EXPECT_EQ(content[3]->Account, QString("0"));
}
