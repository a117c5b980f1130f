#pragma once

#include "ReadLoss.h"
#include "TFormat.h"

#include <QString>
#include <QStringView>

#include <map>

// One problem that uvotool check found in a data file, with its place.
struct TFinding {
    enum class TKind {
        InvalidField,     // a value fails its layout rule; Validity says which test
        RefusedLine,      // a line the editor would not read
        TotalDiffers,     // a Trailer total that the records present do not give
        MissingHeader,
        RepeatedHeader,
        MissingTrailer,
        RepeatedTrailer,
        OutOfOrder,       // the record stands before one that the hierarchy puts first
        PassedOver,       // reading passed over data of the line; Loss says which
    };

    TKind Kind = TKind::InvalidField;
    TValidity Validity = TValidity::Valid;  // for InvalidField
    TReadLoss::TKind Loss = TReadLoss::TKind::PastRecordEnd;  // for PassedOver
    QString File;
    qsizetype Line = 0;  // 0 for a finding about the whole file
    QString RecID;       // empty for a refused line and a missing record
    bool HasAccount = false;  // whether the record type carries an account number
    QString Account;
    QString FldID;
    QString Caption;
    bool HasValue = false;
    QString Value;          // the value as read; the line's text for a refused line; the text passed over
    QString Expected;       // for TotalDiffers: the total the records give
    QString EditorMessage;  // for RefusedLine: the editor's own message
    qsizetype OtherLine = 0;  // OutOfOrder: the line that sorts first; Repeated…: the first one
    QString OtherRecID;
    QString OtherAccount;
    bool OtherHasAccount = false;
};

// The short name of a finding's reason, for programs: "not-digits", "refused-line", …
QString ReasonCode(const TFinding& finding);

// The reason in words: "not digits", "empty mandatory field", …
QString ReasonText(const TFinding& finding);

// What reading passes over, in words: "text past the record's length, …".
QString LossText(TReadLoss::TKind loss);

// The text between double quotes with '"', '\' and control characters escaped
// (\t, \r, \n, \xHH, the C1 controls too), so that a value always stays on one
// line and sends a terminal no commands.
QString Quoted(QStringView text);
// The same escapes without the quotes.
QString Escaped(QStringView text);

// The counts of one file that the summary shows.
struct TFileSummary {
    struct TTypeTally {
        const TRec* Rec = nullptr;
        qsizetype Records = 0;
        qsizetype InvalidFields = 0;
        qsizetype RecordsWithInvalidFields = 0;
    };

    QString File;
    qsizetype Lines = 0;
    qsizetype RefusedLines = 0;
    qsizetype Findings = 0;
    std::map<QString, TTypeTally> Types;  // by record type id
};
