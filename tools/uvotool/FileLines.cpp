#include "FileLines.h"

#include "AnsiCodePage.h"

namespace {

// The editor quotes a refused line whole unless it is far longer than any
// record.
constexpr qsizetype MaxQuotedLine = 4096;

}  // namespace

TFileLines::TFileLines(const QByteArray& bytes) : FData(bytes)
{
    if (const qsizetype eof = FData.indexOf('\x1A'); eof >= 0)
        FData = FData.first(eof);
}

bool TFileLines::Next(QString& line)
{
    if (FStart >= FData.size())
        return false;
    qsizetype end = FData.indexOf('\n', FStart);
    if (end < 0)
        end = FData.size();
    QByteArrayView bytes = FData.sliced(FStart, end - FStart);
    if (bytes.contains('\r')) {
        FScratch.clear();
        for (char c : bytes)
            if (c != '\r')
                FScratch.append(c);
        bytes = FScratch;
    }
    AnsiCodePage::DecodeInto(bytes, line);
    ++FLineNumber;
    FStart = end + 1;
    return true;
}

QString TFileLines::RefusedLineMessage(qsizetype lineNumber, const QString& line)
{
    const QString quoted = line.size() > MaxQuotedLine ? line.left(MaxQuotedLine) + QChar(0x2026) : line;
    return QStringLiteral("Неверный формат. Строка %1:\r\n").arg(lineNumber) + quoted;
}
