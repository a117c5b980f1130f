#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class TContentRec;

// Data that the reading rules of data files pass over without a word: text
// past a record's length, lines that lone CRs (old Mac line ends) join into
// one, and data after a byte 26 that ends the file. The rules stay, since
// files and other programs rely on them, but the reader notes each such line
// so that nobody saves the file without knowing that the save drops it.
struct TReadLoss {
    enum class TKind {
        PastRecordEnd,  // non-blank text after the record's length
        LoneCr,         // a CR not followed by LF, with text after it in the line
        AfterEndMark,   // non-blank data after the byte 26 that ends the file
    };

    TKind Kind = TKind::PastRecordEnd;
    qsizetype Line = 0;  // counted from 1 as the reader counts lines
    QString Dropped;     // the beginning of the text passed over

    // The loss of a line just read into `rec`, if any. loneCrAt is where the
    // first lone CR with text after it stood in the line, or -1.
    static std::optional<TReadLoss> OfLine(qsizetype line, QStringView text, const TContentRec& rec,
                                           qsizetype loneCrAt);
    // The data after the first byte 26 of a file image whose lines before it
    // were all read (linesRead of them), if it is more than blanks.
    static std::optional<TReadLoss> AfterEndMark(QByteArrayView bytes, qsizetype linesRead);
};

// What follows the byte 26 that ends a file's lines, taken piece by piece as
// it is read: only the beginning that a loss shows is kept, so that a reader
// of any length of data after the mark holds no more than that.
class TEndMarkTail {
public:
    // Whether the mark stood at the start of a line.
    explicit TEndMarkTail(bool startsLine) : FStartsLine(startsLine) {}
    void Add(QByteArrayView bytes);
    // The loss once all is added, as TReadLoss::AfterEndMark gives it.
    std::optional<TReadLoss> Loss(qsizetype linesRead) const;

private:
    QByteArray FKept;  // from the first byte that is not blank, as much as a loss shows and one more
    bool FMore = false;  // data that is not blank after what is kept
    bool FStartsLine = false;
};

class TRec;

// The losses of lines read as the file's bytes, line after line: the bytes
// are tested first, and a line is decoded only when it may have lost
// something. The line length of a record type is summed once per run of
// records of the type.
class TFileLineLosses {
public:
    std::optional<TReadLoss> Of(qsizetype line, QByteArrayView bytes, const TContentRec& rec, qsizetype loneCrAt);

private:
    const TRec* FLengthOf = nullptr;
    qsizetype FLength = 0;
};

namespace ReadLoss {

// The editor's warning after a read that passed over data: how many lines,
// the first of them with what was dropped, and that saving writes the file
// without it.
QString Warning(const std::vector<TReadLoss>& losses);

}  // namespace ReadLoss
