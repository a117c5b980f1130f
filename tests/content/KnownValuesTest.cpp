// Known values of new records.

#include "KnownValues.h"
#include "ShippedFormatFixture.h"
#include "TSettings.h"

namespace {

TSettings SampleSettings()
{
    TSettings settings;
    settings.VersionNumber = "02";
    settings.SubscriberCode = "12345";
    settings.FinanceType = "01";
    settings.FormatID = "FMT";
    settings.GroupID = "GRP";
    settings.UserID = "USR";
    settings.SubscriberName = "Банк";
    return settings;
}

const QDate Today(2024, 3, 1);

}  // namespace

using KnownValuesTest = ShippedFormatFixture;

TEST_F(KnownValuesTest, NewHeaderGetsTenValues)
{
    auto header = content.CreateNewOnRec(Format().HeaderRec);
    KnownValues::Apply(*header, nullptr, SampleSettings(), Today);
    EXPECT_EQ(header->RecToString(), QString("300000" "02" "12345" "01") + PadRight(u"FMT", 10) +
                                         PadRight(u"GRP", 12) + PadRight(u"USR", 12) + QString(12, ' ') +
                                         PadRight(u"Банк", 40) + "20240301" "20240301");
    for (const TContentFld& fld : header->FldList)
        EXPECT_TRUE(fld.IsValid()) << fld.Rule->FldID().toStdString();
}

TEST_F(KnownValuesTest, NewTrailerGetsIdsAndFillerOnly)
{
    auto trailer = content.CreateNewOnRec(Format().TrailerRec);
    KnownValues::Apply(*trailer, nullptr, SampleSettings(), Today);
    EXPECT_EQ(trailer->GetVal("310000"), QString("300999"));
    EXPECT_EQ(trailer->GetVal("310003"), QString("01"));
    EXPECT_EQ(trailer->GetVal("310112"), QString("000000000"));
    EXPECT_EQ(trailer->GetVal("310107"), QString());
}

TEST_F(KnownValuesTest, AccountComesFromTheFocusedRecord)
{
    TContentRec* name = Make("300300", {{"310011", "4711"}, {"310065", "02"}});
    auto address = content.CreateNewOnRec(Type("300500"));
    KnownValues::Apply(*address, name, SampleSettings(), Today);
    EXPECT_EQ(address->GetVal("310011"), QString("4711"));
    EXPECT_EQ(address->Account, QString("4711"));
    EXPECT_EQ(address->GetVal("310065"), QString("01"));
    EXPECT_EQ(address->GetVal("310000"), QString("300500"));

    // From the Header the account is assigned the empty text.
    auto history = content.CreateNewOnRec(Type("300640"));
    history->SetVal("310011", "stale");
    KnownValues::Apply(*history, Make("300000"), SampleSettings(), Today);
    EXPECT_EQ(history->GetVal("310011"), QString());
    EXPECT_FALSE(history->FindFld("310011")->IsValid());
    EXPECT_EQ(history->GetVal("310496"), QString("01"));
}

TEST_F(KnownValuesTest, EmptySettingsLeaveRequiredFieldsInvalid)
{
    auto account = content.CreateNewOnRec(Type("300100"));
    KnownValues::Apply(*account, nullptr, TSettings(), Today);
    EXPECT_FALSE(account->FindFld("310002")->IsValid());
    EXPECT_TRUE(account->FindFld("310000")->IsValid());
    EXPECT_EQ(account->GetVal("310011"), QString());  // no focused record: untouched
}
