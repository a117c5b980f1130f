// Field value validation and the fixed-width string helpers.

#include "StrUtils.h"
#include "TFormat.h"

#include <gtest/gtest.h>

namespace {

class Validation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(format.AddRec("300000", "Header Record", "1"));
        for (const char* id : {"310000", "310003", "310022", "310037", "310009"})
            ASSERT_TRUE(format.AddFld(id, "Field"));
        ASSERT_TRUE(format.AddValSet("340014", "financeType"));
        ASSERT_TRUE(format.AddValSet("340000", "paymentStatus"));
        ASSERT_TRUE(format.AddValSet("340099", "empty"));
        for (const char* code : {"01", "02", "60"})
            ASSERT_TRUE(format.AddVal(QString("39%1").arg(nextId++), "340014", code, "Finance type"));
        for (const char* code : {"0", "1", "A", "L"})
            ASSERT_TRUE(format.AddVal(QString("39%1").arg(nextId++), "340000", code, "Status"));
        ASSERT_TRUE(format.AddRule("300000", "310000", "Record Type", "1", "N", "6", ""));
        ASSERT_TRUE(format.AddRule("300000", "310003", "Finance Type", "1", "C", "2", "340014"));
        ASSERT_TRUE(format.AddRule("300000", "310022", "Amount", "0", "N", "15", ""));
        ASSERT_TRUE(format.AddRule("300000", "310037", "Status", "0", "C", "1", "340000"));
        ASSERT_TRUE(format.AddRule("300000", "310009", "Date", "1", "D", "8", "340099"));
        ASSERT_TRUE(format.OnEndLoading());
    }
    bool Valid(const char* fldId, const QString& value)
    {
        return format.StrIsValid(value, *format.GetRule("300000", fldId));
    }
    TFormat format;
    int nextId = 1000;
};

}  // namespace

TEST_F(Validation, MandatoryNumericField)
{
    EXPECT_TRUE(Valid("310000", "300100"));
    EXPECT_TRUE(Valid("310000", "30010"));
    EXPECT_TRUE(Valid("310000", "300100   "));
    EXPECT_TRUE(Valid("310000", "300100\t\r"));
    EXPECT_FALSE(Valid("310000", "3001000"));
    EXPECT_FALSE(Valid("310000", "  300100"));
    EXPECT_FALSE(Valid("310000", "-1"));
    EXPECT_FALSE(Valid("310000", "1.5"));
    EXPECT_FALSE(Valid("310000", ""));
    EXPECT_FALSE(Valid("310000", "   "));
}

TEST_F(Validation, OptionalNumericField)
{
    EXPECT_TRUE(Valid("310022", ""));
    EXPECT_TRUE(Valid("310022", "     "));
    EXPECT_TRUE(Valid("310022", "000000000000015"));
    EXPECT_FALSE(Valid("310022", "1 5"));
}

TEST_F(Validation, CodedFieldsCompareCodesExactly)
{
    EXPECT_TRUE(Valid("310003", "01"));
    EXPECT_TRUE(Valid("310003", "60"));
    EXPECT_TRUE(Valid("310003", "01 "));
    EXPECT_FALSE(Valid("310003", "1"));
    EXPECT_FALSE(Valid("310003", "06"));
    EXPECT_FALSE(Valid("310003", "61"));
    EXPECT_FALSE(Valid("310003", " 01"));
    EXPECT_TRUE(Valid("310037", ""));
    EXPECT_TRUE(Valid("310037", "A"));
    EXPECT_FALSE(Valid("310037", "a"));
}

TEST_F(Validation, DateFieldsHaveNoCalendarTestAndEmptyDomainsRefuseEverything)
{
    // 310009 here is a D rule whose domain has no codes.
    EXPECT_FALSE(Valid("310009", "20240231"));
    EXPECT_FALSE(Valid("310009", ""));
    ASSERT_TRUE(format.GetRule("300000", "310009"));
}

TEST(DateValidation, AnyTextUpToTheWidth)
{
    TFormat format;
    ASSERT_TRUE(format.AddRec("300000", "Header Record", "1"));
    ASSERT_TRUE(format.AddFld("310009", "Accounting Date"));
    ASSERT_TRUE(format.AddRule("300000", "310009", "Accounting Date", "1", "D", "8", ""));
    const TRule& rule = *format.GetRule("300000", "310009");
    EXPECT_TRUE(format.StrIsValid(u"20240231", rule));
    EXPECT_TRUE(format.StrIsValid(u"abcdefgh", rule));
    EXPECT_FALSE(format.StrIsValid(u"202402311", rule));
}

TEST(StrUtils, PaddingAndDigits)
{
    EXPECT_EQ(PadRight(u"AB", 4), QString("AB  "));
    EXPECT_EQ(PadRight(u"ABCDEF", 4), QString("ABCD"));
    EXPECT_EQ(PadRight(u"AB", 0), QString());
    EXPECT_EQ(PadRight(u"AB", -3), QString());
    EXPECT_EQ(PadZeroLeft(u"12", 5), QString("00012"));
    EXPECT_EQ(PadZeroLeft(u"123456", 4), QString("3456"));
    EXPECT_EQ(PadZeroLeft(u"", 3), QString("000"));
    EXPECT_EQ(PadZeroLeft(u"12", 0), QString());
    EXPECT_TRUE(StrIsDigits(u""));
    EXPECT_TRUE(StrIsDigits(u"0123"));
    EXPECT_FALSE(StrIsDigits(u"12a"));
    EXPECT_FALSE(StrIsDigits(u"\u0661"));  // an Arabic-Indic digit is no digit here
}

TEST(DomainValidation, CodesAreFoundBeforeAndAfterTheyAreSorted)
{
    TFormat format;
    ASSERT_TRUE(format.AddRec("300000", "Header Record", "1"));
    ASSERT_TRUE(format.AddFld("310003", "Finance Type"));
    ASSERT_TRUE(format.AddValSet("340014", "financeType"));
    ASSERT_TRUE(format.AddRule("300000", "310003", "Finance Type", "1", "C", "2", "340014"));
    int id = 390000;
    for (const char* code : {"60", "01", "A", "11", "1"})
        ASSERT_TRUE(format.AddVal(QString::number(id++), "340014", code, "Code"));
    const TRule& rule = *format.GetRule("300000", "310003");
    for (bool sorted : {false, true}) {
        if (sorted)
            ASSERT_TRUE(format.OnEndLoading());
        for (const char* code : {"60", "01", "A", "11", "1"})
            EXPECT_TRUE(format.StrIsValid(QString(code), rule)) << code << sorted;
        for (const char* code : {"6", "02", "a", "10", "0"})
            EXPECT_EQ(format.Validity(QString(code), rule), TValidity::NotInDomain) << code << sorted;
    }
}
