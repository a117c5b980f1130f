#pragma once

// What the fuzz targets share: a failed property stops the run with its name,
// so that libFuzzer keeps the input that broke it.

#include "FormatLoader.h"
#include "TFormat.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>

#define FUZZ_EXPECT(condition)                                                                      \
    do {                                                                                            \
        if (!(condition)) {                                                                         \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                           \
        }                                                                                           \
    } while (false)

// The shipped format description, loaded once per run.
inline const TFormat& ShippedFormat()
{
    static const TFormat* format = [] {
        auto* loaded = new TFormat;
        QFile file(QStringLiteral(UVO_FORMAT_TEXT));
        FUZZ_EXPECT(file.open(QIODevice::ReadOnly) && FormatLoader::Load(file.readAll(), *loaded).Ok);
        return loaded;
    }();
    return *format;
}

inline QByteArrayView Bytes(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}
