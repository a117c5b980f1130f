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

qint64 TDbReply::Int64(int column) const { return Text(column).trimmed().toLongLong(); }

QDate TDbReply::Date(int column) const
{
    // Drivers give a date as "yyyy-mm-dd", a date and time with the time after it.
    return QDate::fromString(Text(column).trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
}

qint64 TDbReply::Currency(int column) const
{
    const QString text = Text(column).trimmed();
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : (text.mid(point + 1) + QStringLiteral("0000")).left(4);
    const qint64 units = whole.toLongLong() * 10000;
    const qint64 parts = fraction.toLongLong();
    return whole.startsWith(u'-') ? units - parts : units + parts;
}
