#include "FieldValues.h"

#include "RandomValues.h"
#include "RussianNames.h"
#include "TFormat.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

enum class TextForm { Reference, Digits, Amount, Percent, Phone, Postal, ShortNumber, Uuid, Comment };

TextForm FormOf(const TRule& rule)
{
    static const QHash<QString, TextForm> forms = {
        {u"310548"_s, TextForm::Amount},      {u"310549"_s, TextForm::Amount},
        {u"310239"_s, TextForm::Percent},     {u"310530"_s, TextForm::Percent},
        {u"310094"_s, TextForm::Phone},       {u"310096"_s, TextForm::Phone},
        {u"310101"_s, TextForm::Phone},       {u"310257"_s, TextForm::Phone},
        {u"310207"_s, TextForm::Postal},      {u"310243"_s, TextForm::ShortNumber},
        {u"310255"_s, TextForm::ShortNumber}, {u"310244"_s, TextForm::ShortNumber},
        {u"310544"_s, TextForm::Uuid},        {u"310547"_s, TextForm::Uuid},
        {u"310176"_s, TextForm::Comment},     {u"310177"_s, TextForm::Comment},
        {u"310531"_s, TextForm::Comment},     {u"310528"_s, TextForm::Comment},
        {u"310478"_s, TextForm::Comment},
    };
    if (const auto it = forms.constFind(rule.FldID()); it != forms.constEnd())
        return *it;
    return rule.Size <= 20 ? TextForm::Digits : TextForm::Reference;
}

// The code most records carry, where one dominates real files.
QString UsualCode(const TRule& rule)
{
    static const QHash<QString, QString> usual = {{u"340011"_s, u"RUB"_s}, {u"340033"_s, u"RU"_s}};
    return rule.ValSet ? usual.value(rule.ValSet->ValSetID) : QString();
}

}  // namespace

FieldValues::FieldValues(const TFormat& format, RandomValues& random, const QDate& today)
    : FFormat(format), FRandom(random), FToday(today)
{
}

QString FieldValues::Valid(const TRule& rule)
{
    if (rule.ValSet)
        return Code(rule);
    switch (rule.Kind.unicode()) {
    case u'N':
        return Number(rule);
    case u'D':
        return Date(FToday.addYears(-8), FToday);
    default:
        return Text(rule);
    }
}

QString FieldValues::Invalid(const TRule& rule)
{
    if (rule.Kind == u'N') {
        QString value = Number(rule);
        value[FRandom.Below(quint32(value.size()))] = u'О';  // the Cyrillic letter, typed for a zero
        return value;
    }
    for (const QString& code : {QString(rule.Size, u'Z'), QString(rule.Size, u'~')})
        if (!FFormat.StrIsValid(code, rule))
            return code;
    return {};
}

bool FieldValues::CanRefuse(const TRule& rule)
{
    return rule.Size > 0 && (rule.Kind == u'N' || (rule.ValSet && !rule.ValSet->ValList.empty()));
}

QString FieldValues::Date(const QDate& first, const QDate& last)
{
    return RandomValues::DateText(FRandom.DateBetween(first, last));
}

QString FieldValues::Amount(qint64 low, qint64 high, int width)
{
    return FRandom.ZeroFilled(FRandom.Amount(low, high), width);
}

QString FieldValues::Phone() { return u"+79"_s + FRandom.Digits(9); }

QString FieldValues::AgreementNumber()
{
    return u"КД-"_s + QString::number(FRandom.Between(2015, FToday.year())) + u'/' + FRandom.Digits(6);
}

QString FieldValues::Code(const TRule& rule)
{
    const auto& codes = rule.ValSet->ValList;
    if (codes.empty())
        return {};
    const QString usual = UsualCode(rule);
    if (!usual.isEmpty() && FRandom.Chance(0.95))
        return usual;
    return FRandom.Pick(codes)->Value;
}

QString FieldValues::Number(const TRule& rule)
{
    if (rule.Size <= 4)
        return FRandom.ZeroFilled(FRandom.Between(1, rule.Size == 1 ? 9 : 99), rule.Size);
    return Amount(1000, 5000000, rule.Size);
}

QString FieldValues::Text(const TRule& rule)
{
    QString text;
    switch (FormOf(rule)) {
    case TextForm::Amount:
        text = QString::number(FRandom.Between(100, 99999)) + u'.' + FRandom.Digits(2);
        break;
    case TextForm::Percent:
        text = QString::number(FRandom.Between(5, 39)) + u'.' + FRandom.Digits(3);
        break;
    case TextForm::Phone:
        text = Phone();
        break;
    case TextForm::Postal:
        text = FRandom.Digits(6);
        break;
    case TextForm::ShortNumber:
        text = QString::number(FRandom.Between(1, 250));
        break;
    case TextForm::Uuid:
        text = Uuid();
        break;
    case TextForm::Comment:
        text = RussianNames::Comment(FRandom);
        break;
    case TextForm::Digits:
        text = FRandom.Digits(qMin(rule.Size, 12));
        break;
    case TextForm::Reference:
        text = AgreementNumber();
        break;
    }
    return text.left(rule.Size);
}

QString FieldValues::Uuid()
{
    static const QString hex = u"0123456789abcdef"_s;
    QString text;
    for (int group : {8, 4, 4, 4, 12}) {
        if (!text.isEmpty())
            text += u'-';
        for (int i = 0; i < group; ++i)
            text += hex[FRandom.Below(16)];
    }
    return text + u'-' + QChar(hex[FRandom.Below(16)]);
}
