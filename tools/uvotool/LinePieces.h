#pragma once

#include "ReadLoss.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <optional>
#include <vector>

// A data file is read in pieces of this size, each into the same buffer.
inline constexpr qsizetype LinePieceBytes = 4 << 20;

// The bytes of a data file handed over piece by piece as they are read, passed
// on as runs of whole lines: a line that the end of a piece cuts is finished
// with the next piece. A byte 26 ends the lines; of what follows it only as
// much as a loss shows is kept (TEndMarkTail). Only the open line is held
// between pieces.
class TLinePieces {
public:
    // Whole lines, each ending in LF but perhaps the file's last.
    using TLinesTaker = std::function<void(QByteArrayView lines)>;

    explicit TLinePieces(TLinesTaker take) : FTake(std::move(take)) {}

    // The next bytes; false when the open line has grown longer than
    // FileIo::MaxLineBytes, which no record is: the lines end there.
    bool Add(QByteArrayView bytes);
    // After the last bytes: the last line, if it had no line end.
    void Finish();
    // How many bytes came after the byte 26 that ended the lines; -1 before one.
    qint64 BytesAfterEndMark() const { return FTail ? FAfterMark : -1; }
    // What came after that byte 26; none before one.
    const std::optional<TEndMarkTail>& Tail() const { return FTail; }

private:
    TLinesTaker FTake;
    QByteArray FCarry;  // the beginning of a line that the next bytes finish
    std::optional<char> FLastByte;
    std::optional<TEndMarkTail> FTail;  // once a byte 26 has ended the lines
    qint64 FAfterMark = 0;
};

// Whole lines cut at line ends into runs of at least minShare bytes, a few
// per processor, so that they can be read side by side.
std::vector<QByteArrayView> RunsForProcessors(QByteArrayView lines, qsizetype minShare);

// work(0) … work(count - 1) on as many threads as processors, the caller's
// among them, each taking the next index when done with one; the first
// failure of any is thrown again once all end.
void SideBySide(size_t count, const std::function<void(size_t index)>& work);
