#pragma once

#include <QDate>
#include <QString>

// The plain records the import reads from the core banking system.

// A financial operation of the pick-list; FOID 0 stands for all of them.
struct TFO {
    qint64 FOID = 0;
    QString Name;
};

// One credit contract of the contract list.
struct TLoan {
    qint64 DealID = 0;
    QDate DealDate;
    QString DealNumber;
    QString FOBrief;
    qint64 DealQty = 0;  // currency, in ten-thousandths
    QString Fund;
    QString ClName;
    QString FT;
    bool Selected = false;
};

// The first and the last day of the period asked for.
struct TPeriod {
    QDate From;
    QDate To;
};

// Update reports the period's changes, Take-On an account's whole history.
enum class TImportMode { Update = 1, TakeOn = 2 };

// Where the generated records go: a new file with its own Header and Trailer,
// or the file that is open.
enum class TImportTarget { NewFile, CurrentFile };
