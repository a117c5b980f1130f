#include "FileCheck.h"

#include "AnsiCodePage.h"
#include "ContentCheck.h"
#include "UvoLines.h"
#include "FindingWriters.h"
#include "TContent.h"

#include <QThread>

#include <algorithm>
#include <memory>
#include <thread>
#include <unordered_map>

namespace {

// A file is read in pieces of at least this size, each on a processor of its
// own, and the pieces' findings are then written in line order.
constexpr qsizetype MinPieceSize = 256 * 1024;

// What reading a piece noted for the findings, in line order. Line numbers
// count from the piece's first line.
struct TNote {
    enum class TWhat : quint8 { InvalidField, RefusedLine, OutOfOrder, Header, Trailer, PassedOver };
    TWhat What = TWhat::InvalidField;
    TValidity Validity = TValidity::Valid;
    TReadLoss::TKind Loss = TReadLoss::TKind::PastRecordEnd;  // PassedOver: what was passed over
    qsizetype Line = 0;
    TContentRec* Rec = nullptr;    // the record of the line (values released)
    const TRule* Rule = nullptr;   // InvalidField: the field's rule
    int FieldIndex = -1;           // InvalidField: its place in the record
    QString Value;                 // InvalidField: the value; RefusedLine: the line; PassedOver: the text
    TContentRec* Later = nullptr;  // OutOfOrder: the next record, which sorts first
    qsizetype LaterLine = 0;

    static TNote Of(TWhat what, qsizetype line, TContentRec* rec)
    {
        TNote note;
        note.What = what;
        note.Line = line;
        note.Rec = rec;
        return note;
    }
};

struct TTally {
    qsizetype Records = 0;
    qsizetype InvalidFields = 0;
    qsizetype RecordsWithInvalidFields = 0;
};

// One piece of a file, read on its own.
class TPiece {
public:
    TPiece(const TFormat& format, QByteArrayView data)
        : Content(format), FFormat(format), FData(data), FCheck(format)
    {
    }

    void Read()
    {
        TUvoLines lines(FData);
        QByteArrayView line;
        while (lines.Next(line)) {
            const qsizetype n = lines.LineNumber();
            std::unique_ptr<TContentRec> parsed = TContent::ParseFileLine(FFormat, line, Last);
            if (!parsed) {
                Notes.emplace_back(TNote::Of(TNote::TWhat::RefusedLine, n, nullptr)).Value = AnsiCodePage::Decode(line);
                continue;
            }
            TContentRec* rec = parsed.get();
            Content.Add(std::move(parsed));
            if (Last && FCheck.OutOfOrder(*Last, *rec)) {
                TNote& note = Notes.emplace_back(TNote::Of(TNote::TWhat::OutOfOrder, LastLine, Last));
                note.Later = rec;
                note.LaterLine = n;
            }
            NoteInvalidFields(*rec, n);
            if (auto loss = FLosses.Of(n, line, *rec, lines.LoneCrAt())) {
                TNote& note = Notes.emplace_back(TNote::Of(TNote::TWhat::PassedOver, n, rec));
                note.Loss = loss->Kind;
                note.Value = std::move(loss->Dropped);
            }
            if (rec->Rec == FFormat.HeaderRec)
                Notes.push_back(TNote::Of(TNote::TWhat::Header, n, rec));
            if (rec->Rec == FFormat.TrailerRec)
                Notes.push_back(TNote::Of(TNote::TWhat::Trailer, n, rec));
            else
                ReleaseValues(*rec);
            if (!First) {
                First = rec;
                FirstLine = n;
            }
            Last = rec;
            LastLine = n;
        }
        Lines = lines.LineNumber();
    }

    TContent Content;  // every record read, in file order; see ReleaseValues
    std::vector<TNote> Notes;
    std::unordered_map<const TRec*, TTally> Tallies;
    qsizetype Lines = 0;
    TContentRec* First = nullptr;
    qsizetype FirstLine = 0;
    TContentRec* Last = nullptr;
    qsizetype LastLine = 0;

private:
    // Every field whose value its rule does not accept, with the first test
    // it fails; the record's own validation has already run on reading.
    void NoteInvalidFields(TContentRec& rec, qsizetype line)
    {
        TTally& tally = Tallies[rec.Rec];
        ++tally.Records;
        qsizetype invalid = 0;
        TContentCheck::ForEachInvalidField(rec, FFormat, [&](int index, TValidity validity) {
            ++invalid;
            const TContentFld& fld = rec.FldList[size_t(index)];
            TNote& note = Notes.emplace_back(TNote::Of(TNote::TWhat::InvalidField, line, &rec));
            note.Validity = validity;
            note.Rule = fld.Rule;
            note.FieldIndex = index;
            note.Value = fld.Value();
        });
        tally.InvalidFields += invalid;
        if (invalid > 0)
            ++tally.RecordsWithInvalidFields;
    }

    // A record whose values are checked keeps its type (the totals count
    // types), its account and its key (the next record is compared with
    // it), so memory grows with the records but not with their values.
    // Trailers keep their values for the totals.
    static void ReleaseValues(TContentRec& rec) { rec.DropValues(); }

    const TFormat& FFormat;
    QByteArrayView FData;
    TContentCheck FCheck;
    TFileLineLosses FLosses;
};

class TFileCheck {
public:
    TFileCheck(const TFormat& format, const QString& fileName, TFindingWriter& writer)
        : FFormat(format), FWriter(writer), FCheck(format)
    {
        FSummary.File = fileName;
    }

    TFileSummary Run(QByteArrayView bytes)
    {
        const QByteArrayView data = TUvoLines::LineData(bytes);
        const int processors = std::max(1, QThread::idealThreadCount());
        const int count = int(std::clamp<qsizetype>(data.size() / MinPieceSize, 1, processors));
        std::vector<std::unique_ptr<TPiece>> pieces;
        for (const QByteArrayView piece : TUvoLines::SplitAtLineEnds(data, count))
            pieces.push_back(std::make_unique<TPiece>(FFormat, piece));
        {
            std::vector<std::jthread> workers;
            for (size_t i = 1; i < pieces.size(); ++i)
                workers.emplace_back([piece = pieces[i].get()] { piece->Read(); });
            pieces.front()->Read();
        }

        for (const auto& piece : pieces)
            Merge(*piece);
        if (auto loss = TReadLoss::AfterEndMark(bytes, FSummary.Lines))
            Emit(FCheck.PassedOver(*loss, nullptr));
        if (FTrailerLine > 0)
            CheckTotals(pieces);
        if (FHeaderLine == 0)
            Emit(FCheck.AtRecord(TFinding::TKind::MissingHeader, nullptr, 0));
        if (FTrailerLine == 0)
            Emit(FCheck.AtRecord(TFinding::TKind::MissingTrailer, nullptr, 0));
        for (const auto& [rec, tally] : FTallies) {
            TFileSummary::TTypeTally& total = FSummary.Types[rec->RecID];
            total.Rec = rec;
            total.Records = tally.Records;
            total.InvalidFields = tally.InvalidFields;
            total.RecordsWithInvalidFields = tally.RecordsWithInvalidFields;
        }
        return FSummary;
    }

private:
    // The notes of the next piece as findings, with line numbers in the file.
    void Merge(const TPiece& piece)
    {
        const qsizetype offset = FSummary.Lines;
        if (FPrevious && piece.First && FCheck.OutOfOrder(*FPrevious, *piece.First))
            Emit(FCheck.OutOfOrderFinding(*FPrevious, FPreviousLine, *piece.First, offset + piece.FirstLine));
        for (const TNote& note : piece.Notes) {
            const qsizetype line = offset + note.Line;
            switch (note.What) {
            case TNote::TWhat::InvalidField:
                Emit(FCheck.InvalidField(*note.Rec, *note.Rule, note.FieldIndex, note.Validity, note.Value, line));
                break;
            case TNote::TWhat::RefusedLine: {
                ++FSummary.RefusedLines;
                TFinding f = FCheck.AtRecord(TFinding::TKind::RefusedLine, nullptr, line);
                f.HasValue = true;
                f.Value = note.Value;
                f.EditorMessage = TUvoLines::RefusedLineMessage(line, note.Value);
                Emit(std::move(f));
                break;
            }
            case TNote::TWhat::OutOfOrder:
                Emit(FCheck.OutOfOrderFinding(*note.Rec, line, *note.Later, offset + note.LaterLine));
                break;
            case TNote::TWhat::Header:
                NoteBound(FHeaderLine, TFinding::TKind::RepeatedHeader, *note.Rec, line);
                break;
            case TNote::TWhat::Trailer:
                NoteBound(FTrailerLine, TFinding::TKind::RepeatedTrailer, *note.Rec, line);
                FLastTrailerLine = line;
                break;
            case TNote::TWhat::PassedOver:
                Emit(FCheck.PassedOver(TReadLoss{note.Loss, line, note.Value}, note.Rec));
                break;
            }
        }
        for (const auto& [rec, tally] : piece.Tallies) {
            TTally& total = FTallies[rec];
            total.Records += tally.Records;
            total.InvalidFields += tally.InvalidFields;
            total.RecordsWithInvalidFields += tally.RecordsWithInvalidFields;
        }
        FSummary.Lines += piece.Lines;
        if (piece.Last) {
            FPrevious = piece.Last;
            FPreviousLine = offset + piece.LastLine;
        }
    }

    void Emit(TFinding finding)
    {
        ++FSummary.Findings;
        finding.File = FSummary.File;
        FWriter.Finding(finding);
    }

    void NoteBound(qsizetype& firstLine, TFinding::TKind repeated, const TContentRec& rec, qsizetype line)
    {
        if (firstLine == 0)
            firstLine = line;
        else
            Emit(FCheck.Repeated(repeated, rec, line, firstLine));
    }

    // The totals of the last Trailer against every record read.
    void CheckTotals(const std::vector<std::unique_ptr<TPiece>>& pieces)
    {
        std::vector<TContentRec*> all;
        qsizetype count = 0;
        for (const auto& piece : pieces)
            count += piece->Content.Count();
        all.reserve(size_t(count));
        for (const auto& piece : pieces)
            all.insert(all.end(), piece->Content.Records().begin(), piece->Content.Records().end());
        const auto trailer = std::find_if(all.rbegin(), all.rend(),
                                          [&](const TContentRec* rec) { return rec->Rec == FFormat.TrailerRec; });
        FCheck.CheckTotals(all, **trailer, FLastTrailerLine, [&](TFinding&& f) { Emit(std::move(f)); });
    }

    const TFormat& FFormat;
    TFindingWriter& FWriter;
    TFileSummary FSummary;
    TContentCheck FCheck;
    std::unordered_map<const TRec*, TTally> FTallies;
    TContentRec* FPrevious = nullptr;  // the last record of the pieces merged so far
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
