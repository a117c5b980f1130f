#include "TFileCodes.h"

#include <algorithm>

void TFileCodes::Clear()
{
    FShort.clear();
    FLong.clear();
}

quint64 TFileCodes::Packed(QByteArrayView value)
{
    quint64 packed = 0;
    for (char c : value)
        packed = packed << 8 | quint8(c);
    return packed << 8 | quint64(value.size());
}

void TFileCodes::Add(QByteArrayView code)
{
    if (code.size() <= MaxPacked)
        FShort.push_back(Packed(code));
    else
        FLong.push_back(code.toByteArray());
}

void TFileCodes::Close()
{
    std::sort(FShort.begin(), FShort.end());
    std::sort(FLong.begin(), FLong.end());
}

bool TFileCodes::Contains(QByteArrayView value) const
{
    if (value.size() <= MaxPacked)
        return std::binary_search(FShort.begin(), FShort.end(), Packed(value));
    return std::binary_search(FLong.begin(), FLong.end(), value,
                              [](QByteArrayView a, QByteArrayView b) { return a < b; });
}
