#include "TValueChars.h"

#include "AnsiCodePage.h"

#include <QHashFunctions>

#include <cstring>

TValueChars TValueChars::First(qsizetype n) const
{
    return FWide ? TValueChars(Wide().first(n)) : TValueChars(Bytes().first(n));
}

QString TValueChars::toString() const
{
    return FWide ? Wide().toString() : AnsiCodePage::Decode(Bytes());
}

void TValueChars::DecodeTo(char16_t* out) const
{
    if (FSize == 0)
        return;  // an empty value may point nowhere
    if (FWide)
        std::memcpy(out, FData, sizeof(char16_t) * size_t(FSize));
    else
        AnsiCodePage::DecodeTo(Bytes(), out);
}

void TValueChars::AppendTo(QString& out) const
{
    if (FWide) {
        out.append(Wide());
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + FSize);
    DecodeTo(reinterpret_cast<char16_t*>(out.data()) + start);
}

void TValueChars::EncodeAppend(QByteArray& out) const
{
    if (FWide)
        AnsiCodePage::EncodeAppend(Wide(), out);
    else
        out.append(Bytes());
}

size_t TValueChars::Hash() const
{
    if (FWide)
        return qHash(Wide());
    // Decoded in short runs, so that the hash is the one of the same text in UTF-16.
    char16_t run[256];
    if (FSize <= qsizetype(std::size(run))) {
        DecodeTo(run);
        return qHash(QStringView(run, FSize));
    }
    return qHash(toString());
}

bool operator==(const TValueChars& a, const TValueChars& b)
{
    if (a.FSize != b.FSize)
        return false;
    if (a.FWide == b.FWide)
        return a.FSize == 0 ||
               std::memcmp(a.FData, b.FData, size_t(a.FSize) * (a.FWide ? sizeof(char16_t) : 1)) == 0;
    const TValueChars& narrow = a.FWide ? b : a;
    const QStringView wide = a.FWide ? a.Wide() : b.Wide();
    char16_t run[256];
    if (a.FSize <= qsizetype(std::size(run))) {
        narrow.DecodeTo(run);
        return QStringView(run, a.FSize) == wide;
    }
    return narrow.toString() == wide;
}
