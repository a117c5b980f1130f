#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// The codes of a domain as a file holds them, in its code page, for telling
// whether a value read from a file is one of them without decoding it. Most
// codes are a few bytes: those are kept as numbers, so a look-up compares
// numbers rather than strings.
class TFileCodes {
public:
    void Clear();
    void Add(QByteArrayView code);
    // After the last Add, before the first Contains.
    void Close();
    bool Contains(QByteArrayView value) const;

private:
    static constexpr qsizetype MaxPacked = 7;
    // The bytes of a short value and its length in one number, distinct for distinct values.
    static quint64 Packed(QByteArrayView value);

    std::vector<quint64> FShort;
    std::vector<QByteArray> FLong;
};
