// The format description loader on any text: it loads it or names the one
// line, within the text, that stopped it.

#include "FuzzSupport.h"

#include <QRegularExpression>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView text = Bytes(data, size);
    TFormat format;
    const FormatLoader::Result result = FormatLoader::Load(text, format);
    if (result.Ok) {
        FUZZ_EXPECT(result.Message.isEmpty());
        return 0;
    }
    if (result.Message == u"Неверный формат.")
        return 0;
    static const QRegularExpression lineMessage(
        QStringLiteral("^(Неверное число полей в строке|Неверный формат строки) ([1-9][0-9]*)\\.$"));
    const QRegularExpressionMatch match = lineMessage.match(result.Message);
    FUZZ_EXPECT(match.hasMatch());
    // Every line but the last ends in a CR or LF byte, whatever the encoding.
    const qsizetype lineEnds = std::count_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
    FUZZ_EXPECT(match.captured(2).toLongLong() <= lineEnds + 1);
    return 0;
}
