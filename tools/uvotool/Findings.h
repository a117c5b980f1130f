#pragma once

#include "ContentCheck.h"
#include "ReadLoss.h"
#include "TFormat.h"

#include <QString>
#include <QStringView>

#include <map>

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
