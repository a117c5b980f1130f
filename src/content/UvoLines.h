#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

// The lines of a data file image, cut and decoded one by one, so that a
// reader can stop at a refused line (the editor) or go on after it (a check
// that reports every problem in one pass).
//
// A line ends at LF; CR characters are not part of it (a lone CR inside a line
// is noted, see LoneCrAt); a byte 26 ends the data; a last line without a line end still counts; a line end at the very
// end of the data does not begin another line.
class TUvoLines {
public:
    // The part of a file image that holds lines: everything before the first
    // byte 26.
    static QByteArrayView LineData(QByteArrayView bytes);

    // Line data cut into at most `count` consecutive pieces of about equal
    // size, each but the last ending just after a LF, so that every line lies
    // whole in one piece and the pieces' lines in order are the data's lines.
    static std::vector<QByteArrayView> SplitAtLineEnds(QByteArrayView data, int count);

    // Reads line data (see LineData) or one of its pieces.
    explicit TUvoLines(QByteArrayView data) : FData(data) {}

    // The next line's text in `line`; false after the last line.
    bool Next(QString& line);
    // The same as the file's bytes, valid until the next call.
    bool Next(QByteArrayView& line);
    // The number of the line Next handed out last, counted from 1.
    qsizetype LineNumber() const { return FLineNumber; }
    // Where in the data the next line begins.
    qsizetype Position() const { return FStart; }
    // Where in that line the first lone CR stood that had more than blanks
    // after it, so that the CR may have ended a line of its own; -1 for none.
    qsizetype LoneCrAt() const { return FLoneCrAt; }

    // The message with which the editor refuses a line.
    static QString RefusedLineMessage(qsizetype lineNumber, const QString& line);

private:
    QByteArrayView FData;
    QByteArray FScratch;
    qsizetype FStart = 0;
    qsizetype FLineNumber = 0;
    qsizetype FLoneCrAt = -1;
};
