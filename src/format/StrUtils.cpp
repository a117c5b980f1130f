#include "StrUtils.h"

bool StrIsDigits(QStringView S)
{
    for (QChar c : S)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString PadRight(QStringView S, qsizetype Width)
{
    if (Width <= 0)
        return {};
    QString result(Width, u' ');
    const qsizetype n = std::min(S.size(), Width);
    std::copy_n(S.data(), n, result.data());
    return result;
}

QString PadZeroLeft(QStringView S, qsizetype Width)
{
    if (Width <= 0)
        return {};
    if (S.size() >= Width)
        return S.right(Width).toString();
    QString result(Width - S.size(), u'0');
    result.append(S);
    return result;
}

QStringView TrimRightControls(QStringView S)
{
    qsizetype end = S.size();
    while (end > 0 && S[end - 1].unicode() <= 32)
        --end;
    return S.left(end);
}

QStringView TrimControls(QStringView S)
{
    S = TrimRightControls(S);
    qsizetype begin = 0;
    while (begin < S.size() && S[begin].unicode() <= 32)
        ++begin;
    return S.mid(begin);
}
