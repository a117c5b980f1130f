#pragma once

#include "Findings.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

class TFindingWriter;

// uvotool check on one data file, fed its bytes piece by piece as they are
// read: reads the lines as the editor does, going on after a refused line,
// and hands every finding to the writer the moment it is found: invalid
// field values, refused lines, records out of the account hierarchy order, a
// repeated Header or Trailer while reading; then a missing Header or Trailer
// and the Trailer totals that differ from the records present. Only the open
// line, the record before it, the last Trailer and counts per record type are
// kept between pieces, so memory does not grow with the file, and time is
// linear in its size. Of each kind of finding and field the first
// ShownPerKind are written and the rest counted.
class TFileCheck {
public:
    static constexpr qsizetype ShownPerKind = 10000;

    TFileCheck(const TFormat& format, const QString& fileName, TFindingWriter& writer);
    ~TFileCheck();

    // The next bytes of the file; false when reading need go no further (a
    // line longer than any record, see TooLongLine).
    bool Add(QByteArrayView bytes);
    // How many bytes came after the byte 26 that ended the lines; -1 before one.
    qint64 BytesAfterEndMark() const;
    // The line, counted from 1, longer than FileIo::MaxLineBytes at which
    // the check stopped; 0 for none.
    qsizetype TooLongLine() const;
    // After the last bytes: the findings about the file as a whole.
    TFileSummary Finish();

private:
    std::unique_ptr<class TFileCheckRun> F;
};
