// Records and fields: value assignment, lookups by rule, copies and comparison.

#include "ShippedFormatFixture.h"

using ContentModel = ShippedFormatFixture;

TEST_F(ContentModel, NewHeaderHasEmptyFieldsValidOnlyWhereOptional)
{
    auto header = content.CreateNewOnRec(Format().HeaderRec);
    ASSERT_TRUE(header);
    ASSERT_EQ(header->FldList.size(), 12u);
    for (const TContentFld& fld : header->FldList) {
        EXPECT_TRUE(fld.Value().isEmpty());
        const bool optional = fld.Rule->FldID() == u"310132" || fld.Rule->FldID() == u"310137";
        EXPECT_EQ(fld.IsValid(), optional) << fld.Rule->FldID().toStdString();
        EXPECT_EQ(fld.ParentRec, header.get());
    }
    EXPECT_EQ(content.Count(), 0);  // not added
    EXPECT_EQ(content.CreateNewOnRec(nullptr), nullptr);
}

TEST_F(ContentModel, AccountFollowsTheUntrimmedAccountField)
{
    TContentRec* account = Make("300100", {{"310011", "4711"}});
    const QString before = account->SortStr;
    account->SetVal("310011", "  4711  ");
    EXPECT_EQ(account->Account, QString("  4711  "));
    EXPECT_EQ(account->SortStr, before);  // recomputed only on request
    account->CalcSortStr();
    EXPECT_EQ(account->SortStr, PadRight(u"  4711  ", 20));
}

TEST_F(ContentModel, FieldsTheTypeLacksReadEmptyAndIgnoreWrites)
{
    TContentRec* header = Make("300000");
    EXPECT_EQ(header->GetVal("310011"), QString());
    header->SetVal("310011", "4711");
    EXPECT_TRUE(header->Account.isEmpty());
    TContentRec* account = Make("300100", {{"310011", "1"}});
    const QString line = account->RecToString();
    account->SetVal("310107", "000000001");  // a Trailer field
    EXPECT_EQ(account->RecToString(), line);
}

TEST_F(ContentModel, CopyAndDifference)
{
    TContentRec* original = Make("300300", {{"310011", "4711"}, {"310065", "01"}, {"310233", "Иванов"}});
    TContentRec copy(Format());
    TContent::CopyRec(*original, copy);
    EXPECT_EQ(copy.Rec, original->Rec);
    EXPECT_EQ(copy.Account, QString("4711"));
    EXPECT_EQ(copy.SortStr, original->SortStr);
    EXPECT_FALSE(TContent::RecDiffer(*original, copy));
    for (size_t i = 0; i < copy.FldList.size(); ++i) {
        TContentRec changed(Format());
        TContent::CopyRec(*original, changed);
        changed.FldList[i].SetValue(changed.FldList[i].Value() + ' ');
        ASSERT_TRUE(TContent::RecDiffer(*original, changed)) << i;
    }
    // A copy of a type without an account field keeps the earlier account.
    TContent::CopyRec(*Make("300000"), copy);
    EXPECT_EQ(copy.Account, QString("4711"));
    EXPECT_EQ(copy.FldList.size(), 12u);
    EXPECT_EQ(copy.FldList.front().ParentRec, &copy);
}

TEST_F(ContentModel, OwningAndViewListsShareRecords)
{
    TContentRec* first = Make("300000");
    TContentRec* second = Make("300999");
    {
        TContent view(Format(), false);
        view.Add(second);
        view.Add(first);
        EXPECT_EQ(view.IndexOf(first), 1);
        view.Delete(0);
        view.Clear();
    }  // the view frees nothing
    EXPECT_EQ(content.IndexOf(second), 1);
    EXPECT_EQ(second->Rec, Format().TrailerRec);
    content.Delete(0);
    EXPECT_EQ(content.Count(), 1);
    EXPECT_EQ(content.IndexOf(first), -1);
}
