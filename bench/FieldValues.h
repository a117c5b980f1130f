#pragma once

#include <QDate>
#include <QString>

class RandomValues;
class TFormat;
struct TRule;

// Values that a field's layout rule accepts, made from the rule alone: digits
// zero-filled to the width for numbers, a code of the rule's domain, a date
// yyyymmdd, and for text a form that suits the field (amount, phone, postal
// code, agreement number, comment). The generator overrides the fields whose
// values must agree with each other (names, keys, balances).
class FieldValues {
public:
    FieldValues(const TFormat& format, RandomValues& random, const QDate& today);

    QString Valid(const TRule& rule);
    // A value the rule refuses, as a careless producer writes it: a letter
    // among the digits of a number, a code the domain does not know.
    QString Invalid(const TRule& rule);
    // Whether the rule refuses anything Invalid could make.
    static bool CanRefuse(const TRule& rule);

    QString Date(const QDate& first, const QDate& last);
    QString Amount(qint64 low, qint64 high, int width);
    QString Phone();
    QString AgreementNumber();
    QString Code(const TRule& rule);

private:
    QString Number(const TRule& rule);
    QString Text(const TRule& rule);
    QString Uuid();

    const TFormat& FFormat;
    RandomValues& FRandom;
    QDate FToday;
};
