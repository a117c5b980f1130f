#include "UvoLines.h"

#include "AnsiCodePage.h"

#include <algorithm>

namespace {

// A refused line is quoted whole unless it is far longer than any record,
// where a message box could not show it anyway.
constexpr qsizetype MaxQuotedLine = 4096;

}  // namespace

QByteArrayView TUvoLines::LineData(QByteArrayView bytes)
{
    const qsizetype eof = bytes.indexOf('\x1A');
    return eof >= 0 ? bytes.first(eof) : bytes;
}

std::vector<QByteArrayView> TUvoLines::SplitAtLineEnds(QByteArrayView data, int count)
{
    std::vector<QByteArrayView> pieces;
    qsizetype start = 0;
    for (int i = 1; i < count && start < data.size(); ++i) {
        const qsizetype target = std::max(start, data.size() / count * i);
        const qsizetype lf = data.indexOf('\n', target);
        if (lf < 0)
            break;
        pieces.push_back(data.sliced(start, lf + 1 - start));
        start = lf + 1;
    }
    if (start < data.size() || pieces.empty())
        pieces.push_back(data.sliced(start));
    return pieces;
}

bool TUvoLines::Next(QByteArrayView& line)
{
    if (FStart >= FData.size())
        return false;
    qsizetype end = FData.indexOf('\n', FStart);
    if (end < 0)
        end = FData.size();
    QByteArrayView bytes = FData.sliced(FStart, end - FStart);
    if (bytes.endsWith('\r'))  // the usual CR LF, without copying the line
        bytes.chop(1);
    FLoneCrAt = -1;
    if (const qsizetype cr = bytes.indexOf('\r'); cr >= 0) {
        const auto isText = [](char c) { return uchar(c) > 32; };
        if (std::any_of(bytes.begin() + cr, bytes.end(), isText))
            FLoneCrAt = cr;  // no CR stands before the first, so the position holds in the line
        FScratch.clear();
        for (char c : bytes)
            if (c != '\r')
                FScratch.append(c);
        bytes = FScratch;
    }
    line = bytes;
    ++FLineNumber;
    FStart = end + 1;
    return true;
}

bool TUvoLines::Next(QString& line)
{
    QByteArrayView bytes;
    if (!Next(bytes))
        return false;
    AnsiCodePage::DecodeInto(bytes, line);
    return true;
}

QString TUvoLines::RefusedLineMessage(qsizetype lineNumber, const QString& line)
{
    const QString quoted = line.size() > MaxQuotedLine ? line.left(MaxQuotedLine) + QChar(0x2026) : line;
    return QStringLiteral("Неверный формат. Строка %1:\r\n").arg(lineNumber) + quoted;
}
