#pragma once

#include "ContentCheck.h"
#include "ReadLoss.h"
#include "TFormat.h"

#include <QString>
#include <QStringView>

#include <map>
#include <vector>

// The reason in words: "not digits", "empty mandatory field", …
QString ReasonText(const TFinding& finding);

// The kind of a finding in words, without what is particular to it: the
// reason, with "out of account hierarchy order" for one that names the
// record that sorts first.
QString KindText(const TFinding& finding);

// What the report says of findings not shown: "1234 more from line 1001 on
// are not shown; the first 10000 of each kind and field are".
QString NotShownText(qsizetype count, qsizetype fromLine, qsizetype shownPerKind);

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

    // Findings of one kind and field beyond those written: how many, and the
    // first of them for what they are.
    struct TNotShown {
        TFinding First;
        qsizetype Count = 0;
    };

    QString File;
    qsizetype Lines = 0;
    qsizetype RefusedLines = 0;
    qsizetype Findings = 0;  // those not shown included
    std::vector<TNotShown> NotShown;  // in the order of their first lines
    qsizetype ShownPerKind = 0;       // how many of each kind and field are written
    std::map<QString, TTypeTally> Types;  // by record type id
};
