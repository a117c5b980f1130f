// The format model's Add… refusals, role references, lookups and orders.

#include "TFormat.h"

#include <gtest/gtest.h>

namespace {

class FormatModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(format.AddRec("300000", "Header Record", "1"));
        ASSERT_TRUE(format.AddRec("300100", "Account Record", "1"));
        ASSERT_TRUE(format.AddFld("310000", "Record Type"));
        ASSERT_TRUE(format.AddFld("310003", "Finance Type"));
        ASSERT_TRUE(format.AddValSet("340014", "financeType"));
    }
    TFormat format;
};

}  // namespace

TEST_F(FormatModel, DuplicateRecordTypeIsRefusedAndRolesKeepTheFirst)
{
    const TRec* header = format.HeaderRec;
    ASSERT_NE(header, nullptr);
    EXPECT_FALSE(format.AddRec("300000", "Other Header", "1"));
    EXPECT_EQ(format.HeaderRec, header);
    EXPECT_EQ(format.HeaderRec->Name, QString("Header Record"));
    EXPECT_EQ(format.AccountRec, format.GetRec("300100"));
    EXPECT_EQ(format.TrailerRec, nullptr);
    EXPECT_FALSE(format.AddFld("310000", "Again"));
    EXPECT_FALSE(format.AddValSet("340014", ""));
}

TEST_F(FormatModel, IdsMustBeIntegersInRange)
{
    EXPECT_FALSE(format.AddRec("299999", "Low", "1"));
    EXPECT_FALSE(format.AddRec("400000", "High", "1"));
    EXPECT_FALSE(format.AddRec("", "Empty", "1"));
    EXPECT_FALSE(format.AddRec("30A000", "Letters", "1"));
    EXPECT_FALSE(format.AddFld(" 310001", "Blank"));
    EXPECT_TRUE(format.AddFld("340001", "A field id from the domain block"));
}

TEST_F(FormatModel, FlagsOtherThanOneAreFalseButNonIntegersFail)
{
    EXPECT_TRUE(format.AddRec("300210", "History", "2"));
    EXPECT_FALSE(format.GetRec("300210")->Active);
    EXPECT_FALSE(format.AddRec("300300", "Name", "x"));
    EXPECT_TRUE(format.AddRule("300000", "310000", "Record Type", "2", "N", "6", ""));
    EXPECT_FALSE(format.GetRule("300000", "310000")->Required);
    EXPECT_FALSE(format.AddRule("300100", "310000", "Record Type", "x", "N", "6", ""));
    EXPECT_FALSE(format.AddRule("300100", "310000", "Record Type", "1", "N", "six", ""));
    EXPECT_FALSE(format.AddRule("300100", "310000", "Record Type", "1", "NN", "6", ""));
    EXPECT_FALSE(format.AddRule("300100", "310000", "Record Type", "1", "", "6", ""));
}

TEST_F(FormatModel, RuleBeforeItsRecordTypeIsRefused)
{
    EXPECT_FALSE(format.AddRule("300999", "310000", "Record Type", "1", "N", "6", ""));
    ASSERT_TRUE(format.AddRec("300999", "Trailer Record", "1"));
    EXPECT_TRUE(format.AddRule("300999", "310000", "Record Type", "1", "N", "6", ""));
    EXPECT_FALSE(format.AddRule("300999", "310000", "Record Type", "1", "N", "6", ""));  // same key
}

TEST_F(FormatModel, EmptyDomainMeansNoneUnknownDomainIsRefused)
{
    EXPECT_TRUE(format.AddRule("300000", "310000", "Record Type", "1", "N", "6", ""));
    EXPECT_EQ(format.GetRule("300000", "310000")->ValSet, nullptr);
    EXPECT_FALSE(format.AddRule("300000", "310003", "Finance Type", "1", "C", "2", "340099"));
    EXPECT_TRUE(format.AddRule("300000", "310003", "Finance Type", "1", "C", "2", "340014"));
    EXPECT_EQ(format.GetRule("300000", "310003")->ValSet, format.GetValSet("340014"));
}

TEST_F(FormatModel, WidthZeroIsAccepted)
{
    EXPECT_TRUE(format.AddRule("300000", "310000", "Record Type", "1", "N", "0", ""));
    EXPECT_EQ(format.GetRule("300000", "310000")->Size, 0);
}

TEST_F(FormatModel, ValuesOfUndeclaredDomainsAreKeptInNoDomain)
{
    EXPECT_TRUE(format.AddVal("390001", "340099", "X", "Somewhere"));
    EXPECT_NE(format.GetVal("390001"), nullptr);
    EXPECT_FALSE(format.AddVal("390001", "340014", "01", "Duplicate id"));
    EXPECT_TRUE(format.AddVal("390002", "340014", "01", "Secured Loan"));
    EXPECT_EQ(format.GetValSet("340014")->ValList.size(), 1u);
}

TEST_F(FormatModel, LayoutFollowsOrderAcrossRecordTypes)
{
    ASSERT_TRUE(format.AddRule("300100", "310003", "Finance Type", "1", "C", "2", "340014"));
    ASSERT_TRUE(format.AddRule("300000", "310000", "Record Type", "1", "N", "6", ""));
    ASSERT_TRUE(format.AddRule("300100", "310000", "Record Type", "1", "N", "6", ""));
    std::vector<const TRule*> rules;
    format.GetRuleListOnRecID("300100", rules);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0]->FldID(), QString("310003"));
    EXPECT_EQ(rules[0]->Order, 1);
    EXPECT_EQ(rules[1]->Order, 3);
    format.GetRuleListOnRecID("123", rules);
    EXPECT_TRUE(rules.empty());
}

TEST_F(FormatModel, UnknownIdsYieldNone)
{
    ASSERT_TRUE(format.AddRule("300000", "310000", "Record Type", "1", "N", "6", ""));
    EXPECT_EQ(format.GetRule("300000", "399999"), nullptr);
    EXPECT_EQ(format.GetRule("300001", "310000"), nullptr);
    EXPECT_EQ(format.GetRule("300100", "310000"), nullptr);  // no such field in that layout
    EXPECT_EQ(format.GetRec("300000 "), nullptr);
    QStringList financeTypes{"stale"};
    format.GetFinanceTypeList(financeTypes);
    EXPECT_TRUE(financeTypes.isEmpty());
}

TEST_F(FormatModel, ActiveRecordTypesAreAppendedAndSortedTogether)
{
    ASSERT_TRUE(format.AddRec("300999", "Trailer Record", "1"));
    ASSERT_TRUE(format.AddRec("300680", "Consumer Based Name Record", "0"));
    const TRec* extra = format.GetRec("300100");
    std::vector<const TRec*> recs{format.GetRec("300999")};
    format.GetActiveRecs(recs);
    ASSERT_EQ(recs.size(), 4u);
    EXPECT_EQ(recs[0]->RecID, QString("300000"));
    EXPECT_EQ(recs[1], extra);
    EXPECT_EQ(recs[2]->RecID, QString("300999"));
    EXPECT_EQ(recs[3]->RecID, QString("300999"));
}

TEST_F(FormatModel, LevelsComeFromTheRecordTypeId)
{
    ASSERT_TRUE(format.AddRec("300640", "Warranty History Record", "1"));
    ASSERT_TRUE(format.AddRec("300680", "Consumer Based Name Record", "0"));
    EXPECT_EQ(format.GetRec("300000")->Level, 1);
    EXPECT_EQ(format.GetRec("300100")->Level, 2);
    EXPECT_EQ(format.GetRec("300640")->Level, 5);
    EXPECT_EQ(format.GetRec("300680")->Level, 0);
}

TEST_F(FormatModel, EndOfLoadingNeedsRecordsFieldsAndRulesAndSortsDomains)
{
    EXPECT_FALSE(format.OnEndLoading());
    for (auto [id, code] : {std::pair{"390003", "L"}, {"390004", "0"}, {"390005", "A"}, {"390006", "10"},
                            {"390007", "1"}})
        ASSERT_TRUE(format.AddVal(id, "340014", code, "Description"));
    ASSERT_TRUE(format.AddRule("300000", "310003", "Finance Type", "1", "C", "2", "340014"));
    ASSERT_TRUE(format.OnEndLoading());
    QStringList codes;
    for (const TVal* val : format.GetValSet("340014")->ValList)
        codes << val->Value;
    EXPECT_EQ(codes, QStringList({"0", "1", "10", "A", "L"}));
}
