#include "UvoGenerator.h"

#include "KnownValues.h"
#include "RussianNames.h"
#include "StrUtils.h"
#include "TContent.h"
#include "TFormat.h"

#include <QSet>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

const QString AccountRecID = u"300100"_s;
const QString HistoryRecID = u"300210"_s;
const QString NameRecID = u"300300"_s;
const QString AddressRecID = u"300500"_s;
const QString EmployerRecID = u"300600"_s;
const QString LegalRecID = u"300620"_s;
const QString WarrantyRecID = u"300630"_s;
const QString WarrantyHistoryRecID = u"300640"_s;
const QString GuaranteeRecID = u"300650"_s;
const QString LienRecID = u"300660"_s;

const QString HolderFld = u"310065"_s;
const QString EndOfRecordFld = u"310137"_s;

// Optional fields that a live account in good standing leaves empty: closing
// and default dates, fillers, previous names, indicators that change the
// meaning of a whole record.
bool LeftEmpty(const QString& fldId)
{
    static const QSet<QString> fields = {
        u"310012"_s, u"310013"_s, u"310044"_s, u"310045"_s, u"310046"_s, u"310047"_s, u"310048"_s,
        u"310049"_s, u"310051"_s, u"310054"_s, u"310055"_s, u"310077"_s, u"310089"_s, u"310091"_s,
        u"310099"_s, u"310132"_s, u"310135"_s, u"310136"_s, u"310179"_s, u"310247"_s, u"310251"_s,
        u"310252"_s, u"310253"_s, u"310258"_s, u"310487"_s, u"310493"_s, u"310494"_s, u"310509"_s,
        u"310510"_s, u"310522"_s, u"310525"_s, u"310539"_s, u"310541"_s,
    };
    return fldId == EndOfRecordFld || fields.contains(fldId);
}

// Fields that place a record in the account hierarchy; they stay valid so
// that the file keeps its order.
bool IsKeyField(const QString& fldId)
{
    static const QSet<QString> fields = {u"310000"_s, u"310011"_s, u"310059"_s, u"310065"_s,
                                         u"310087"_s, u"310475"_s, u"310496"_s};
    return fields.contains(fldId);
}

QString Holder(int number) { return PadZeroLeft(QString::number(number), 2); }

// An amount in whole roubles, zero-filled to the 15 digits of the amount fields.
QString Money(qint64 value) { return PadZeroLeft(QString::number(value), 15); }

}  // namespace

UvoGenerator::UvoGenerator(const TFormat& format, const GeneratorOptions& options)
    : FFormat(format),
      FOptions(options),
      FSettings(Submitter()),
      FRandom(options.Seed),
      FValues(format, FRandom, options.Today)
{
}

TSettings UvoGenerator::Submitter()
{
    TSettings settings;
    settings.VersionNumber = u"01"_s;
    settings.SubscriberCode = u"00471"_s;
    settings.FormatID = u"UVO1"_s;
    settings.GroupID = u"BANK0471"_s;
    settings.UserID = u"CREDITROBOT"_s;
    settings.SubscriberName = u"ПАО «Банк Пример»"_s;
    settings.FinanceType = u"02"_s;
    return settings;
}

void UvoGenerator::Generate(TContent& content)
{
    FContent = &content;
    FInvalidRecords = 0;
    NewRec(UvoIds::HeaderRecID, nullptr);
    for (int index = 0; index < FOptions.Accounts; ++index)
        AddAccount(index);
    NewRec(UvoIds::TrailerRecID, nullptr);
    SpoilSome();
    for (TContentRec* rec : content.Records())
        rec->CalcSortStr();
    content.SortRec();
    content.CalcRecsCount();
    FContent = nullptr;
}

// ---- records ----

TContentRec& UvoGenerator::NewRec(const QString& recId, const TContentRec* account)
{
    auto rec = FContent->CreateNewOnRec(FFormat.GetRec(recId));
    if (!rec)
        throw std::runtime_error("the format description has no layout for record type " + recId.toStdString());
    KnownValues::Apply(*rec, account, FSettings, FOptions.Today);
    TContentRec& added = *rec;
    FContent->Add(std::move(rec));
    return added;
}

TContentRec& UvoGenerator::NewFilledRec(const QString& recId, const TContentRec& account, const QString& holder)
{
    TContentRec& rec = NewRec(recId, &account);
    if (!holder.isEmpty())
        rec.SetVal(HolderFld, holder);
    FillByRules(rec);
    return rec;
}

void UvoGenerator::FillByRules(TContentRec& rec)
{
    for (TContentFld& fld : rec.FldList) {
        const TRule& rule = *fld.Rule;
        if (!fld.Value().isEmpty() || LeftEmpty(rule.FldID()))
            continue;
        if (rule.Required || FRandom.Chance(FOptions.Mix.OptionalShare))
            fld.SetValue(FValues.Valid(rule));
    }
}

void UvoGenerator::SetValues(TContentRec& rec, FieldValuesList values)
{
    for (const auto& [fldId, value] : values)
        rec.SetVal(fldId, value);
}

void UvoGenerator::AddAccount(int index)
{
    TContentRec& account = NewRec(AccountRecID, nullptr);
    account.SetVal(UvoIds::AccountFld, AccountNumber(index));
    FillByRules(account);
    const qint64 financed = FRandom.Amount(30, 3000) * 1000;
    const int months = FRandom.Between(12, 84);
    const qint64 balance = financed * FRandom.Between(5, 95) / 100;
    SetValues(account, {
        {u"310014"_s, DateBefore(7)},
        {u"310015"_s, Holder(2)},
        {u"310022"_s, Money(financed)},
        {u"310455"_s, Money(financed)},
        {u"310024"_s, FRandom.ZeroFilled(months, 3)},
        {u"310026"_s, Money(financed / months)},
        {u"310038"_s, Money(balance)},
        {u"310545"_s, Money(balance)},
        {u"310040"_s, Money(0)},
        {u"310037"_s, u"0"_s},
    });
    AddHistory(account, financed, months);
    for (int holder = 1; holder <= 2; ++holder)
        AddHolder(account, Holder(holder));
    const RecordMix& mix = FOptions.Mix;
    if (FRandom.Chance(mix.WarrantyShare))
        AddWarranty(account, Holder(1));
    if (FRandom.Chance(mix.LegalShare))
        AddLegal(account, Holder(1));
    if (FRandom.Chance(mix.GuaranteeShare))
        AddGuarantee(account);
    if (FRandom.Chance(mix.LienShare))
        AddLien(account);
}

void UvoGenerator::AddHistory(const TContentRec& account, qint64 financed, int months)
{
    const int count = FRandom.Between(FOptions.Mix.MinHistory, FOptions.Mix.MaxHistory);
    for (int number = 1; number <= count; ++number) {
        TContentRec& history = NewFilledRec(HistoryRecID, account);
        const QDate month = FOptions.Today.addMonths(number - count - 1);
        const qint64 balance = financed * (count - number + 1) / (count + 1);
        SetValues(history, {
            {u"310059"_s, FRandom.ZeroFilled(number, 4)},
            {u"310465"_s, RandomValues::DateText(month)},
            {u"310550"_s, RandomValues::DateText(month.addDays(-FRandom.Between(0, 5)))},
            {u"310026"_s, Money(financed / months)},
            {u"310038"_s, Money(balance)},
            {u"310545"_s, Money(balance)},
            {u"310040"_s, Money(0)},
            {u"310037"_s, u"0"_s},
        });
    }
}

void UvoGenerator::AddHolder(const TContentRec& account, const QString& holder)
{
    TContentRec& name = NewFilledRec(NameRecID, account, holder);
    const Person person = RussianNames::RandomPerson(FRandom);
    const QString city = RussianNames::City(FRandom);
    SetValues(name, {
        {u"310066"_s, holder},  // 01 main applicant, 02 joint applicant
        {u"310075"_s, u"0"_s},  // surname, first name, patronymic
        {u"310178"_s, person.Male ? u"01"_s : u"02"_s},
        {u"310230"_s, person.FirstName},
        {u"310242"_s, person.Patronymic},
        {u"310233"_s, person.Surname},
        {u"310080"_s, person.Male ? u"1"_s : u"2"_s},
        {u"310081"_s, FValues.Date(FOptions.Today.addYears(-70), FOptions.Today.addYears(-20))},
        {u"310082"_s, u"г. "_s + RussianNames::City(FRandom)},
        {u"310096"_s, FValues.Phone()},
    });
    FillIdentity(name, city);
    const bool secondAddress = FRandom.Chance(FOptions.Mix.SecondAddressShare);
    AddAddress(account, holder, u"1"_s, city);  // registration
    if (secondAddress)
        AddAddress(account, holder, u"2"_s, RussianNames::City(FRandom));  // actual residence
    if (holder == Holder(1) && FRandom.Chance(FOptions.Mix.EmployerShare))
        AddEmployer(account, holder);
}

void UvoGenerator::FillIdentity(TContentRec& rec, const QString& city)
{
    SetValues(rec, {
        {u"310067"_s, u"01"_s},  // passport of a citizen of the Russian Federation
        {u"310068"_s, FRandom.Digits(4) + u' ' + FRandom.Digits(6)},
        {u"310133"_s, DateBefore(15)},
        {u"310134"_s, city},
        {u"310240"_s, RussianNames::IdAuthority(FRandom)},
        {u"310543"_s, FRandom.Digits(3) + u'-' + FRandom.Digits(3)},
        {u"310189"_s, city},
        {u"310241"_s, RussianNames::IdAuthority(FRandom)},
        {u"310083"_s, u"RU"_s},
    });
}

void UvoGenerator::AddAddress(const TContentRec& account, const QString& holder, const QString& type,
                              const QString& city)
{
    TContentRec& address = NewFilledRec(AddressRecID, account, holder);
    SetValues(address, {{u"310086"_s, u"0"_s}, {u"310087"_s, type}, {u"310088"_s, DateBefore(20)}});
    FillPlace(address, city);
}

void UvoGenerator::AddEmployer(const TContentRec& account, const QString& holder)
{
    TContentRec& employer = NewFilledRec(EmployerRecID, account, holder);
    SetValues(employer, {
        {u"310097"_s, u"0"_s},
        {u"310098"_s, DateBefore(10)},
        {u"310100"_s, RussianNames::Company(FRandom)},
        {u"310235"_s, FRandom.Digits(10)},  // taxpayer number of an organisation
    });
    FillPlace(employer, RussianNames::City(FRandom));
}

void UvoGenerator::FillPlace(TContentRec& rec, const QString& city)
{
    SetValues(rec, {
        {u"310090"_s, u"1"_s},  // structured address
        {u"310225"_s, RussianNames::Street(FRandom)},
        {u"310226"_s, city},
        {u"310227"_s, RussianNames::District(FRandom)},
        {u"310206"_s, u"RU"_s},
    });
}

void UvoGenerator::AddWarranty(const TContentRec& account, const QString& holder)
{
    TContentRec& warranty = NewFilledRec(WarrantyRecID, account, holder);
    const QString agreement = FValues.AgreementNumber();
    const qint64 amount = FRandom.Amount(10, 500) * 1000;
    SetValues(warranty, {
        {u"310480"_s, agreement},
        {u"310484"_s, Money(amount)},
        {u"310498"_s, Money(amount / 2)},
        {u"310492"_s, Money(0)},
        {u"310491"_s, u"0"_s},
    });
    const int count = FRandom.Between(1, 3);
    for (int number = 1; number <= count; ++number) {
        TContentRec& history = NewFilledRec(WarrantyHistoryRecID, account, holder);
        SetValues(history, {
            {u"310496"_s, FRandom.ZeroFilled(number, 4)},
            {u"310480"_s, agreement},
            {u"310465"_s, RandomValues::DateText(FOptions.Today.addMonths(number - count - 1))},
            {u"310491"_s, u"0"_s},
            {u"310492"_s, Money(0)},
        });
    }
}

void UvoGenerator::AddLegal(const TContentRec& account, const QString& holder)
{
    TContentRec& legal = NewFilledRec(LegalRecID, account, holder);
    SetValues(legal, {
        {u"310472"_s, u"2-"_s + QString::number(FRandom.Between(100, 9999)) + u'/' +
                          QString::number(FOptions.Today.year() - FRandom.Between(0, 3))},
        {u"310473"_s, RussianNames::Court(FRandom)},
        {u"310474"_s, DateBefore(3)},
    });
}

void UvoGenerator::AddGuarantee(const TContentRec& account)
{
    TContentRec& guarantee = NewFilledRec(GuaranteeRecID, account);
    const qint64 amount = FRandom.Amount(50, 1000) * 1000;
    SetValues(guarantee, {
        {u"310501"_s, FValues.AgreementNumber()},
        {u"310502"_s, RussianNames::RandomPerson(FRandom).FullName()},
        {u"310503"_s, Money(amount)},
        {u"310505"_s, Money(amount)},
        {u"310507"_s, DateBefore(5)},
        {u"310508"_s, FValues.Date(FOptions.Today.addYears(1), FOptions.Today.addYears(7))},
    });
}

void UvoGenerator::AddLien(const TContentRec& account)
{
    TContentRec& lien = NewFilledRec(LienRecID, account);
    SetValues(lien, {
        {u"310511"_s, FValues.AgreementNumber()},
        {u"310512"_s, RussianNames::RandomPerson(FRandom).FullName()},
        {u"310516"_s, u"г. "_s + RussianNames::City(FRandom) + u", "_s + RussianNames::Street(FRandom) + u", д. "_s +
                          QString::number(FRandom.Between(1, 120))},
        {u"310517"_s, Money(FRandom.Amount(300, 20000) * 1000)},
        {u"310520"_s, DateBefore(5)},
        {u"310521"_s, FValues.Date(FOptions.Today.addYears(1), FOptions.Today.addYears(20))},
    });
}

// ---- values ----

QString UvoGenerator::AccountNumber(int index)
{
    // A 20-digit current account of a resident in roubles; the branch digits
    // scatter the accounts so that the list has to be sorted.
    return u"40817810"_s + FRandom.Digits(4) + FRandom.ZeroFilled(index, 8);
}

QString UvoGenerator::DateBefore(int maxYears)
{
    return FValues.Date(FOptions.Today.addYears(-maxYears), FOptions.Today.addDays(-1));
}

void UvoGenerator::SpoilSome()
{
    for (TContentRec* rec : FContent->Records()) {
        if (rec->Rec == FFormat.HeaderRec || rec->Rec == FFormat.TrailerRec ||
            !FRandom.Chance(FOptions.Mix.InvalidShare))
            continue;
        std::vector<TContentFld> candidates;
        for (const TContentFld& fld : rec->FldList)
            if (FieldValues::CanRefuse(*fld.Rule) && !IsKeyField(fld.Rule->FldID()))
                candidates.push_back(fld);
        if (candidates.empty())
            continue;
        TContentFld fld = FRandom.Pick(candidates);
        fld.SetValue(FValues.Invalid(*fld.Rule));
        if (!fld.IsValid())
            ++FInvalidRecords;
    }
}
