#include "ReadLoss.h"

#include "AnsiCodePage.h"
#include "StrUtils.h"
#include "TContent.h"

#include <algorithm>

namespace {

// Enough of the dropped text to recognise it; a whole record would not fit a
// message box.
constexpr qsizetype SampleLength = 40;
// The lines the warning names; the rest are counted.
constexpr size_t WarnedLines = 10;

// The beginning of a text that ends in no blanks.
QString Sample(QStringView text)
{
    return text.size() > SampleLength ? text.left(SampleLength).toString() + QChar(0x2026) : text.toString();
}

bool IsBlankByte(char c) { return uchar(c) <= 32 || c == '\x1A'; }

// A tab or NUL of the dropped text would spoil the message box's lines.
QString Printable(QString text)
{
    for (QChar& c : text)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = u' ';
    return text;
}

QString Describe(const TReadLoss& loss)
{
    QString what;
    switch (loss.Kind) {
    case TReadLoss::TKind::PastRecordEnd:
        what = QStringLiteral("текст за концом записи не прочитан");
        break;
    case TReadLoss::TKind::LoneCr:
        what = QStringLiteral("одиночный символ CR, строки прочитаны как одна запись, текст после него");
        break;
    case TReadLoss::TKind::AfterEndMark:
        what = QStringLiteral("данные после символа конца файла (Ctrl-Z) не прочитаны");
        break;
    }
    return QStringLiteral("строка %1: %2: «%3»").arg(loss.Line).arg(what, Printable(loss.Dropped));
}

}  // namespace

std::optional<TReadLoss> TReadLoss::OfLine(qsizetype line, QStringView text, const TContentRec& rec,
                                           qsizetype loneCrAt)
{
    if (loneCrAt >= 0)
        return TReadLoss{TKind::LoneCr, line, Sample(TrimRightControls(text.mid(loneCrAt)))};
    const qsizetype length = rec.LineLength();
    if (text.size() <= length)
        return std::nullopt;
    const QStringView surplus = TrimRightControls(text.mid(length));
    if (surplus.isEmpty())
        return std::nullopt;
    return TReadLoss{TKind::PastRecordEnd, line, Sample(surplus)};
}

std::optional<TReadLoss> TFileLineLosses::Of(qsizetype line, QByteArrayView bytes, const TContentRec& rec,
                                              qsizetype loneCrAt)
{
    if (rec.Rec != FLengthOf) {
        FLengthOf = rec.Rec;
        FLength = rec.LineLength();
    }
    // The code page gives a character per byte, so a line is as long in both.
    if (loneCrAt < 0 && bytes.size() <= FLength)
        return std::nullopt;
    return TReadLoss::OfLine(line, AnsiCodePage::Decode(bytes), rec, loneCrAt);
}

std::optional<TReadLoss> TReadLoss::AfterEndMark(QByteArrayView bytes, qsizetype linesRead)
{
    const qsizetype mark = bytes.indexOf('\x1A');
    if (mark < 0)
        return std::nullopt;
    // The mark either ends the last line read or stands at the start of the next.
    TEndMarkTail tail(mark == 0 || bytes[mark - 1] == '\n');
    tail.Add(bytes.sliced(mark + 1));
    return tail.Loss(linesRead);
}

void TEndMarkTail::Add(QByteArrayView bytes)
{
    if (FKept.isEmpty()) {
        const auto data = std::find_if_not(bytes.begin(), bytes.end(), IsBlankByte);
        bytes = bytes.sliced(data - bytes.begin());
    }
    const qsizetype room = std::max<qsizetype>(0, SampleLength + 1 - FKept.size());
    FKept.append(bytes.first(std::min(room, bytes.size())));
    if (!FMore && bytes.size() > room)
        FMore = std::any_of(bytes.begin() + room, bytes.end(), [](char c) { return !IsBlankByte(c); });
}

std::optional<TReadLoss> TEndMarkTail::Loss(qsizetype linesRead) const
{
    if (FKept.isEmpty())
        return std::nullopt;
    // Blanks at the end are no data, unless more data follows them.
    QByteArrayView dropped = FKept;
    if (!FMore)
        dropped = dropped.first(std::find_if_not(dropped.rbegin(), dropped.rend(), IsBlankByte).base() - dropped.begin());
    return TReadLoss{TReadLoss::TKind::AfterEndMark, linesRead + (FStartsLine ? 1 : 0),
                     Sample(AnsiCodePage::Decode(dropped))};
}

namespace ReadLoss {

QString Warning(const std::vector<TReadLoss>& losses)
{
    QString text = QStringLiteral("При чтении файла пропущены данные (строк: %1).\n\n").arg(losses.size());
    for (size_t i = 0; i < std::min(losses.size(), WarnedLines); ++i)
        text += Describe(losses[i]) + u'\n';
    if (losses.size() > WarnedLines)
        text += QStringLiteral("…и ещё строк: %1.\n").arg(losses.size() - WarnedLines);
    text += QStringLiteral("\nФайл открыт в том виде, в каком прочитан. При сохранении он будет записан "
                           "без пропущенных данных.");
    return text;
}

}  // namespace ReadLoss
