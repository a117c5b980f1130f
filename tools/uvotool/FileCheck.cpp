#include "FileCheck.h"

#include "FileLines.h"
#include "FindingWriters.h"
#include "TContent.h"

#include <memory>

namespace {

class TFileCheck {
public:
    TFileCheck(const TFormat& format, const QString& fileName, TFindingWriter& writer)
        : FFormat(format), FWriter(writer), FContent(format), FPair(format, false)
    {
        FSummary.File = fileName;
    }

    TFileSummary Run(const QByteArray& bytes)
    {
        TFileLines lines(bytes);
        QString line;
        while (lines.Next(line)) {
            const qsizetype n = lines.LineNumber();
            TContentRec* rec = FContent.AddFromString(line);
            if (!rec) {
                ++FSummary.RefusedLines;
                TFinding f = Place(TFinding::TKind::RefusedLine, n);
                f.HasValue = true;
                f.Value = line;
                f.EditorMessage = TFileLines::RefusedLineMessage(n, line);
                Emit(f);
                continue;
            }
            CheckOrder(rec, n);
            CheckFields(*rec, n);
            CheckBounds(*rec, n);
        }
        FSummary.Lines = lines.LineNumber();
        if (FTrailerLine > 0)
            CheckTotals();
        if (FHeaderLine == 0)
            Emit(Place(TFinding::TKind::MissingHeader, 0));
        if (FTrailerLine == 0)
            Emit(Place(TFinding::TKind::MissingTrailer, 0));
        return FSummary;
    }

private:
    TFinding Place(TFinding::TKind kind, qsizetype line) const
    {
        TFinding f;
        f.Kind = kind;
        f.File = FSummary.File;
        f.Line = line;
        return f;
    }

    bool CarriesAccount(const TContentRec& rec) const
    {
        return FFormat.GetRule(rec.Rec->RecID, UvoIds::AccountFld) != nullptr;
    }

    TFinding AtRecord(TFinding::TKind kind, const TContentRec& rec, qsizetype line) const
    {
        TFinding f = Place(kind, line);
        f.RecID = rec.Rec->RecID;
        f.HasAccount = CarriesAccount(rec);
        if (f.HasAccount)
            f.Account = rec.Account;
        return f;
    }

    void Emit(const TFinding& finding)
    {
        ++FSummary.Findings;
        FWriter.Finding(finding);
    }

    // Every field whose value its rule does not accept, with the first test it
    // fails; the record's own validation has already run on reading.
    void CheckFields(const TContentRec& rec, qsizetype line)
    {
        TFileSummary::TTypeTally& tally = FSummary.Types[rec.Rec->RecID];
        tally.Rec = rec.Rec;
        ++tally.Records;
        qsizetype invalid = 0;
        for (const TContentFld& fld : rec.FldList) {
            if (fld.IsValid())
                continue;
            ++invalid;
            TFinding f = AtRecord(TFinding::TKind::InvalidField, rec, line);
            f.Validity = FFormat.Validity(fld.Value(), *fld.Rule);
            f.FldID = fld.Rule->FldID();
            f.Caption = fld.Rule->Name;
            f.HasValue = true;
            f.Value = fld.Value();
            Emit(f);
        }
        tally.InvalidFields += invalid;
        if (invalid > 0)
            ++tally.RecordsWithInvalidFields;
    }

    // Compares the record with the one read before it, as the editor's
    // account hierarchy sort compares them: the sort itself runs on a view of
    // the two records and tells whether it would swap them.
    void CheckOrder(TContentRec* rec, qsizetype line)
    {
        if (FPrevious) {
            FPair.Clear();
            FPair.Add(FPrevious);
            FPair.Add(rec);
            FPair.SortRec();
            if (FPair[0] == rec) {
                TFinding f = AtRecord(TFinding::TKind::OutOfOrder, *FPrevious, FPreviousLine);
                f.OtherLine = line;
                f.OtherRecID = rec->Rec->RecID;
                f.OtherHasAccount = CarriesAccount(*rec);
                if (f.OtherHasAccount)
                    f.OtherAccount = rec->Account;
                Emit(f);
            }
        }
        FPrevious = rec;
        FPreviousLine = line;
    }

    void CheckBounds(const TContentRec& rec, qsizetype line)
    {
        const bool isHeader = rec.Rec == FFormat.HeaderRec;
        const bool isTrailer = rec.Rec == FFormat.TrailerRec;
        if (!isHeader && !isTrailer)
            return;
        qsizetype& first = isHeader ? FHeaderLine : FTrailerLine;
        if (first > 0) {
            TFinding f = AtRecord(isHeader ? TFinding::TKind::RepeatedHeader : TFinding::TKind::RepeatedTrailer,
                                  rec, line);
            f.OtherLine = first;
            Emit(f);
        } else {
            first = line;
        }
        if (isTrailer)
            FLastTrailerLine = line;
    }

    // The editor's own recomputation runs on the records read; the Trailer it
    // writes into (the last one) is compared with a copy taken before.
    void CheckTotals()
    {
        TContentRec* trailer = FContent.GetTrailerRec();
        std::unique_ptr<TContentRec> asRead = FContent.CreateNewOnRec(trailer->Rec);
        TContent::CopyRec(*trailer, *asRead);
        FContent.CalcRecsCount();
        for (size_t i = 0; i < trailer->FldList.size(); ++i) {
            const TContentFld& computed = trailer->FldList[i];
            const TContentFld& read = asRead->FldList[i];
            if (computed.Value() == read.Value())
                continue;
            TFinding f = AtRecord(TFinding::TKind::TotalDiffers, *trailer, FLastTrailerLine);
            f.FldID = computed.Rule->FldID();
            f.Caption = computed.Rule->Name;
            f.HasValue = true;
            f.Value = read.Value();
            f.Expected = computed.Value();
            Emit(f);
        }
    }

    const TFormat& FFormat;
    TFindingWriter& FWriter;
    TFileSummary FSummary;
    TContent FContent;  // every record read, in file order
    TContent FPair;     // a view of two records for the order comparison
    TContentRec* FPrevious = nullptr;
    qsizetype FPreviousLine = 0;
    qsizetype FHeaderLine = 0;
    qsizetype FTrailerLine = 0;
    qsizetype FLastTrailerLine = 0;
};

}  // namespace

TFileSummary CheckFile(const TFormat& format, const QString& fileName, const QByteArray& bytes,
                       TFindingWriter& writer)
{
    TFileCheck check(format, fileName, writer);
    return check.Run(bytes);
}
