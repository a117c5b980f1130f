#include "TDatabase.h"

int TDbReply::ColumnIndex(const QString& name) const
{
    for (int i = 0; i < ColumnCount(); ++i)
        if (ColumnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TDbReply::RequiredColumn(const QString& name) const
{
    const int column = ColumnIndex(name);
    if (column < 0)
        throw TDbError(QStringLiteral("В ответе базы данных нет столбца %1.").arg(name));
    return column;
}

namespace {

// A number of the text form drivers give ("-1234.5000", "4711", "1.5E+3")
// scaled by 10^scale exactly, with the digits past the scale cut off; none
// when the text is no number, and the out-of-range flag when it is one that
// a 64-bit integer cannot hold.
struct TScaled {
    std::optional<qint64> Value;
    bool OutOfRange = false;
    bool HadFraction = false;  // digits past the scale that were not all zero
};

TScaled ParseScaled(QStringView text, int scale)
{
    qsizetype at = 0;
    const auto digit = [&] { return at < text.size() && text[at] >= u'0' && text[at] <= u'9'; };
    const bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
        ++at;
    QString digits;  // every digit of the mantissa, the point left out
    qint64 exponent = scale;
    for (; digit(); ++at)
        digits += text[at];
    if (at < text.size() && text[at] == u'.')
        for (++at; digit(); ++at, --exponent)
            digits += text[at];
    if (digits.isEmpty())
        return {};
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        const bool down = at < text.size() && text[at] == u'-';
        if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
            ++at;
        if (!digit())
            return {};
        qint64 shift = 0;
        for (; digit(); ++at)
            shift = std::min<qint64>(shift * 10 + (text[at].unicode() - u'0'), 100000);
        exponent += down ? -shift : shift;
    }
    if (at != text.size())
        return {};
    TScaled result;
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    if (exponent < 0) {
        const qsizetype cut = std::min<qint64>(-exponent, digits.size());
        result.HadFraction = digits.right(cut).count(u'0') != cut;
        digits.chop(cut);
        exponent = 0;
    }
    if (digits.isEmpty() || digits == u"0") {
        result.Value = 0;
        return result;
    }
    if (digits.size() + exponent > 19) {
        result.OutOfRange = true;
        return result;
    }
    digits += QString(exponent, u'0');
    const quint64 limit = negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
    bool ok = false;
    const quint64 magnitude = digits.toULongLong(&ok);
    if (!ok || magnitude > limit) {
        result.OutOfRange = true;
        return result;
    }
    result.Value = negative ? qint64(0 - magnitude) : qint64(magnitude);
    return result;
}

}  // namespace

qint64 TDbReply::Number(int column, int scale, bool whole) const
{
    const QString text = Text(column).trimmed();
    if (text.isEmpty())
        return 0;  // NULL
    const TScaled number = ParseScaled(text, scale);
    if (number.Value && !(whole && number.HadFraction))
        return *number.Value;
    throw TDbError(QStringLiteral("Столбец %1: «%2» — %3.")
                       .arg(ColumnName(column), text,
                            number.OutOfRange ? QStringLiteral("число вне допустимых пределов")
                            : whole           ? QStringLiteral("не целое число")
                                              : QStringLiteral("не число")));
}

qint64 TDbReply::Int64(int column) const { return Number(column, 0, true); }

QDate TDbReply::Date(int column) const
{
    // Drivers give a date as "yyyy-mm-dd", a date and time with the time after it.
    return QDate::fromString(Text(column).trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
}

qint64 TDbReply::Currency(int column) const { return Number(column, 4, false); }
