#include "RandomValues.h"

#include "StrUtils.h"

quint32 RandomValues::Below(quint32 n)
{
    // Multiply-shift: maps the 32-bit draw onto 0 .. n-1 without a division.
    return quint32((quint64(FEngine()) * n) >> 32);
}

int RandomValues::Between(int low, int high) { return low + int(Below(quint32(high - low + 1))); }

bool RandomValues::Chance(double share) { return Below(1000000) < quint32(share * 1000000.0); }

qint64 RandomValues::Amount(qint64 low, qint64 high)
{
    const quint64 span = quint64(high - low) + 1;
    const quint64 draw = (quint64(FEngine()) << 32) | FEngine();
    return low + qint64(draw % span);
}

QString RandomValues::Digits(int count)
{
    QString digits(count, u'0');
    for (QChar& c : digits)
        c = QChar(u'0' + Below(10));
    return digits;
}

QString RandomValues::ZeroFilled(qint64 value, int width) { return PadZeroLeft(QString::number(value), width); }

QDate RandomValues::DateBetween(const QDate& first, const QDate& last)
{
    return first.addDays(Below(quint32(first.daysTo(last) + 1)));
}

QString RandomValues::DateText(const QDate& date)
{
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day());
}
