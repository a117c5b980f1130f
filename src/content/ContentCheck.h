#pragma once

#include "ReadLoss.h"
#include "TContent.h"

#include <QString>

#include <functional>
#include <vector>

// One problem of a data file or of the open content, with its place.
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
    qsizetype Line = 0;  // 0 for a finding about the whole file, and once the content has changed
    // The record the finding is about (none for a refused line and a missing
    // record). Only its identity is used once it may have gone: the texts
    // below are copies.
    const TContentRec* Record = nullptr;
    int FieldIndex = -1;  // the field's place in the record's FldList; -1 when no field
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

    // Whether the finding is about the file as a whole or the place of records
    // in it, so that any change of the list may change it.
    bool IsStructural() const;
};

// The short name of a finding's reason, for programs: "not-digits", "refused-line", …
QString ReasonCode(const TFinding& finding);

// The checks of a data file's records, shared by uvotool check (which streams
// a file through them in pieces) and the editor's problems list (which runs
// them on the open content list, wholly after reading and for the changed
// records after an edit). Findings come in file order; line numbers are given
// by the caller, 0 where they no longer mean anything.
class TContentCheck {
public:
    using TSink = std::function<void(TFinding&&)>;

    explicit TContentCheck(const TFormat& format) : FFormat(format), FOrder(format, false) {}

    // Calls back with the place and the failed test of every field of rec whose
    // value its rule does not accept (the record's own validation has run).
    template <typename Found>
    static void ForEachInvalidField(const TContentRec& rec, const TFormat& format, Found found)
    {
        if (rec.AllValid())
            return;
        for (int i = 0; i < rec.FldCount(); ++i)
            if (!rec.IsValid(i))
                found(i, format.Validity(rec.Value(i), *rec.FldRule(i)));
    }

    // A finding of the given kind at a record, or at a line for none.
    TFinding AtRecord(TFinding::TKind kind, const TContentRec* rec, qsizetype line) const;
    TFinding InvalidField(const TContentRec& rec, const TRule& rule, int fieldIndex, TValidity validity,
                          const QString& value, qsizetype line) const;
    // Whether rec, standing before later, is out of the account hierarchy order.
    bool OutOfOrder(const TContentRec& rec, const TContentRec& later) const;
    TFinding OutOfOrderFinding(const TContentRec& rec, qsizetype line, const TContentRec& later,
                               qsizetype laterLine) const;
    TFinding Repeated(TFinding::TKind kind, const TContentRec& rec, qsizetype line, qsizetype firstLine) const;
    TFinding PassedOver(const TReadLoss& loss, const TContentRec* rec) const;
    // The totals of trailer that differ from what the records give; the
    // records are not changed.
    void CheckTotals(const std::vector<TContentRec*>& recs, const TContentRec& trailer, qsizetype line,
                     const TSink& found) const;
    // The same from the number of records of each type, for a check that
    // counts the records rather than keeping them.
    void CheckTotals(const std::function<qsizetype(const TRec* type)>& countOf, const TContentRec& trailer,
                     qsizetype line, const TSink& found) const;

    // Every invalid field of rec.
    void CheckFields(const TContentRec& rec, qsizetype line, const TSink& found) const;
    // The whole content list: its records' fields, what reading passed over
    // (losses, by line), and then the structure (see CheckStructure). With
    // fileLines the list is a file just read: record i stands on line i + 1.
    void Check(const TContent& content, const std::vector<TReadLoss>& losses, bool fileLines,
               const TSink& found) const;
    // What concerns the list as a whole, without a look at field values:
    // records out of order, a repeated or missing Header or Trailer, and the
    // Trailer totals that differ from the records.
    void CheckStructure(const TContent& content, bool fileLines, const TSink& found) const;

private:
    // The records in list order, then the list as a whole; the file check's
    // order of findings per line.
    void Walk(const TContent& content, const std::vector<TReadLoss>& losses, bool fileLines, bool withFields,
              const TSink& found) const;
    bool CarriesAccount(const TContentRec& rec) const;
    static qsizetype LineOf(bool fileLines, size_t index) { return fileLines ? qsizetype(index) + 1 : 0; }

    const TFormat& FFormat;
    TContent FOrder;  // answers the editor's order comparison
};
