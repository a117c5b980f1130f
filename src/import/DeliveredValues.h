#pragma once

#include <QString>

#include <vector>

class TContentRec;

// What the import found in a value the database delivered for a field, with
// where it stands: the record of the run (counted from 1), its contract and
// record type, the field.
struct TValueProblem {
    enum class TKind {
        ControlReplaced,  // line ends, byte 26 or other control characters, each made a space
        TooLong,          // more characters than the field's width: the file gets them cut
        NotInCodePage,    // characters Windows-1251 lacks: the file gets '?' for them
    };

    TKind Kind = TKind::TooLong;
    int Record = 0;
    qint64 DealID = 0;
    QString RecID;
    QString FldID;
    QString FldName;
    qsizetype Width = 0;
    QString Value;  // as delivered
};

// Delivered values on their way into records: no control character reaches
// a data file, where a line end would forge a record and a byte 26 end the
// file, and what the file cannot hold as delivered is told before anything
// is stored or written.
class TDeliveredValues {
public:
    // Sets the value of a field of the record, as SetVal does (a name the
    // record type lacks changes nothing), and notes its problems.
    void Set(TContentRec& rec, const QString& fldId, QString value, qint64 dealId, int record);

    const std::vector<TValueProblem>& Problems() const { return FProblems; }
    // Whether a value would reach the file other than delivered (cut, or with '?').
    bool AnyAltered() const;
    void Clear() { FProblems.clear(); }

    // The editor's warning before the records are stored: how many values,
    // the first of them, and what saving makes of them.
    static QString Warning(const std::vector<TValueProblem>& problems);

private:
    std::vector<TValueProblem> FProblems;
};
