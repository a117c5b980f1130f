#include "FileCheck.h"

#include "AnsiCodePage.h"
#include "ContentCheck.h"
#include "FileIo.h"
#include "FindingWriters.h"
#include "LinePieces.h"
#include "TContent.h"
#include "UvoLines.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>

namespace {

// The lines of a piece are read on several processors when each gets at
// least this much of them.
constexpr qsizetype MinThreadShare = 256 * 1024;
// A run holds at most about this many findings until they are written: a
// run thick with findings stops early, and the runs after it are read again
// once its findings are out.
constexpr size_t MaxHeldFindings = 4096;

// What makes findings one kind for the cap on those written: the reason,
// the record type and the field.
struct TKindKey {
    TFinding::TKind Kind = TFinding::TKind::InvalidField;
    int Reason = 0;  // the failed test or what was passed over
    QString RecID;
    int Field = -1;
    bool operator<(const TKindKey& o) const
    {
        return std::tie(Kind, Reason, Field, RecID) < std::tie(o.Kind, o.Reason, o.Field, o.RecID);
    }

    static TKindKey Of(const TFinding& f)
    {
        const int reason = f.Kind == TFinding::TKind::InvalidField ? int(f.Validity)
                           : f.Kind == TFinding::TKind::PassedOver ? int(f.Loss)
                                                                   : 0;
        return {f.Kind, reason, f.RecID, f.FieldIndex};
    }
};

struct TTally {
    qsizetype Records = 0;
    qsizetype InvalidFields = 0;
    qsizetype RecordsWithInvalidFields = 0;
};

using TShownCounts = std::map<TKindKey, qsizetype>;

// Findings beyond the cap of their kind: how many, with the first of them.
using TNotShownByKind = std::map<TKindKey, TFileSummary::TNotShown>;

void CountNotShown(TNotShownByKind& notShown, const TKindKey& key, const TFinding& first, qsizetype count)
{
    TFileSummary::TNotShown& entry = notShown[key];
    if (entry.Count == 0)
        entry.First = first;
    entry.Count += count;
}

// A run of whole lines, read on its own. Its findings keep line numbers
// counted from the run's first line; a Header or Trailer that may be the
// file's first is noted as a finding with OtherLine 0, a later one of the
// run with OtherLine -1, for the file's first one to be filled in.
class TRun {
public:
    TRun(const TFormat& format, QByteArrayView data, const TShownCounts& shown)
        : FFormat(format), FData(data), FShown(shown), FCheck(format), FFactory(format)
    {
    }

    std::vector<TFinding> Findings;  // in line order
    TNotShownByKind NotShown;        // beyond what the file may still show
    std::unordered_map<const TRec*, TTally> Tallies;
    qsizetype Lines = 0;
    std::unique_ptr<TContentRec> First, Last;  // the run's first and last record
    qsizetype FirstLine = 0, LastLine = 0;
    std::unique_ptr<TContentRec> LastTrailer;  // a copy, with its values
    QByteArrayView Rest;  // the lines not read when the run stopped early

    const TContentRec* LastRecord() const { return Last ? Last.get() : First.get(); }

    void Read()
    {
        TUvoLines lines(FData);
        QByteArrayView line;
        const TContentRec* previous = nullptr;
        qsizetype previousLine = 0;
        bool header = false, trailer = false;
        for (;;) {
            if (Findings.size() >= MaxHeldFindings && lines.Position() < FData.size()) {
                Rest = FData.sliced(lines.Position());
                break;
            }
            if (!lines.Next(line))
                break;
            const qsizetype n = lines.LineNumber();
            std::unique_ptr<TContentRec> parsed = TContent::ParseFileLine(FFormat, line, previous);
            if (!parsed) {
                Found(TKindKey{TFinding::TKind::RefusedLine, 0, {}, -1}, [&] {
                    TFinding f = FCheck.AtRecord(TFinding::TKind::RefusedLine, nullptr, n);
                    f.HasValue = true;
                    f.Value = AnsiCodePage::Decode(line);
                    return f;
                });
                continue;
            }
            const TContentRec& rec = *parsed;
            if (previous && FCheck.OutOfOrder(*previous, rec))
                Found(FCheck.OutOfOrderFinding(*previous, previousLine, rec, n));
            CheckFields(rec, n);
            if (auto loss = FLosses.Of(n, line, rec, lines.LoneCrAt()))
                Found(FCheck.PassedOver(*loss, &rec));
            if (rec.Rec == FFormat.HeaderRec)
                Bound(header, TFinding::TKind::RepeatedHeader, rec, n);
            if (rec.Rec == FFormat.TrailerRec) {
                Bound(trailer, TFinding::TKind::RepeatedTrailer, rec, n);
                LastTrailer = FFactory.CreateNewOnRec(rec.Rec);
                TContent::CopyRec(rec, *LastTrailer);
            }
            previous = Keep(std::move(parsed), n);
            previousLine = n;
        }
        Lines = lines.LineNumber();
    }

private:
    // The run's first record and the one before the next line; the others go.
    const TContentRec* Keep(std::unique_ptr<TContentRec> rec, qsizetype line)
    {
        if (!First) {
            First = std::move(rec);
            FirstLine = line;
            return First.get();
        }
        Last = std::move(rec);
        LastLine = line;
        return Last.get();
    }

    void CheckFields(const TContentRec& rec, qsizetype line)
    {
        TTally& tally = Tallies[rec.Rec];
        ++tally.Records;
        qsizetype invalid = 0;
        TContentCheck::ForEachInvalidField(rec, FFormat, [&](int index, TValidity validity) {
            ++invalid;
            const TContentFld& fld = rec.FldList[size_t(index)];
            Found(TKindKey{TFinding::TKind::InvalidField, int(validity), rec.Rec->RecID, index},
                  [&] { return FCheck.InvalidField(rec, *fld.Rule, index, validity, fld.Value(), line); });
        });
        tally.InvalidFields += invalid;
        if (invalid > 0)
            ++tally.RecordsWithInvalidFields;
    }

    void Bound(bool& seen, TFinding::TKind repeated, const TContentRec& rec, qsizetype line)
    {
        TFinding f = FCheck.Repeated(repeated, rec, line, seen ? -1 : 0);
        if (!seen)
            Findings.push_back(std::move(f));  // perhaps the file's first: always kept
        else
            Found(std::move(f));
        seen = true;
    }

    void Found(TFinding&& f)
    {
        const TKindKey key = TKindKey::Of(f);
        Found(key, [&] { return std::move(f); });
    }

    // A finding is made only while the file may still show it; beyond that
    // it is counted, with the first one kept for its description.
    template <typename Make>
    void Found(const TKindKey& key, Make make)
    {
        const auto shown = FShown.find(key);
        qsizetype& here = FHere[key];
        if ((shown == FShown.end() ? 0 : shown->second) + here < TFileCheck::ShownPerKind) {
            ++here;
            Findings.push_back(make());
            return;
        }
        TFileSummary::TNotShown& entry = NotShown[key];
        if (entry.Count++ == 0)
            entry.First = make();
    }

    const TFormat& FFormat;
    QByteArrayView FData;
    const TShownCounts& FShown;  // of the file so far; not changed while runs are read
    std::map<TKindKey, qsizetype> FHere;
    TContentCheck FCheck;
    TContent FFactory;  // makes the copy of a Trailer
    TFileLineLosses FLosses;
};

}  // namespace

class TFileCheckRun {
public:
    TFileCheckRun(const TFormat& format, const QString& fileName, TFindingWriter& writer)
        : FFormat(format), FWriter(writer), FCheck(format)
    {
        FSummary.File = fileName;
        FSummary.ShownPerKind = TFileCheck::ShownPerKind;
    }

    bool Add(QByteArrayView bytes)
    {
        if (FLines.Add(bytes))
            return true;
        FTooLongLine = FSummary.Lines + 1;
        return false;
    }

    qint64 BytesAfterEndMark() const { return FLines.BytesAfterEndMark(); }
    qsizetype TooLongLine() const { return FTooLongLine; }

    TFileSummary Finish()
    {
        FLines.Finish();
        if (FLines.Tail())
            if (auto loss = FLines.Tail()->Loss(FSummary.Lines))
                Emit(FCheck.PassedOver(*loss, nullptr));
        if (FLastTrailer)
            FCheck.CheckTotals(
                [&](const TRec* type) {
                    const auto tally = FTallies.find(type);
                    return tally == FTallies.end() ? qsizetype(0) : tally->second.Records;
                },
                *FLastTrailer,
                               FLastTrailerLine, [&](TFinding&& f) { Emit(std::move(f)); });
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
        for (auto& [key, notShown] : FNotShown) {
            notShown.First.File = FSummary.File;
            FSummary.NotShown.push_back(std::move(notShown));
        }
        std::stable_sort(FSummary.NotShown.begin(), FSummary.NotShown.end(),
                  [](const auto& a, const auto& b) { return a.First.Line < b.First.Line; });
        return FSummary;
    }

private:
    // Whole lines, read in runs side by side, and their findings written in
    // line order.
    void CheckLines(QByteArrayView data)
    {
        while (!data.isEmpty()) {
            std::vector<std::unique_ptr<TRun>> runs;
            for (const QByteArrayView part : RunsForProcessors(data, MinThreadShare))
                runs.push_back(std::make_unique<TRun>(FFormat, part, FShown));
            SideBySide(runs.size(), [&](size_t i) { runs[i]->Read(); });
            QByteArrayView rest;
            for (const auto& run : runs) {
                Merge(*run);
                if (!run->Rest.isEmpty()) {  // the later runs are read again from where it stopped
                    rest = data.sliced(run->Rest.data() - data.data());
                    break;
                }
            }
            data = rest;
        }
    }

    void Merge(TRun& run)
    {
        const qsizetype offset = FSummary.Lines;
        if (FPrevious && run.First && FCheck.OutOfOrder(*FPrevious, *run.First))
            Emit(FCheck.OutOfOrderFinding(*FPrevious, FPreviousLine, *run.First, offset + run.FirstLine));
        for (TFinding& f : run.Findings) {
            f.Line += offset;
            f.Record = nullptr;  // the records are gone
            switch (f.Kind) {
            case TFinding::TKind::RefusedLine:
                ++FSummary.RefusedLines;
                f.EditorMessage = TUvoLines::RefusedLineMessage(f.Line, f.Value);
                break;
            case TFinding::TKind::OutOfOrder:
                f.OtherLine += offset;
                break;
            case TFinding::TKind::RepeatedHeader:
                if (!Bound(FHeaderLine, f))
                    continue;
                break;
            case TFinding::TKind::RepeatedTrailer:
                FLastTrailerLine = f.Line;
                if (!Bound(FTrailerLine, f))
                    continue;
                break;
            default: break;
            }
            Emit(std::move(f));
        }
        for (auto& [key, notShown] : run.NotShown) {
            notShown.First.Line += offset;
            notShown.First.Record = nullptr;
            CountNotShown(FNotShown, key, notShown.First, notShown.Count);
            FSummary.Findings += notShown.Count;
            if (key.Kind == TFinding::TKind::RefusedLine)
                FSummary.RefusedLines += notShown.Count;
        }
        for (const auto& [rec, tally] : run.Tallies) {
            TTally& total = FTallies[rec];
            total.Records += tally.Records;
            total.InvalidFields += tally.InvalidFields;
            total.RecordsWithInvalidFields += tally.RecordsWithInvalidFields;
        }
        FSummary.Lines += run.Lines;
        if (run.LastRecord()) {
            FPreviousOwned = run.Last ? std::move(run.Last) : std::move(run.First);
            FPrevious = FPreviousOwned.get();
            FPreviousLine = offset + (run.LastLine > 0 ? run.LastLine : run.FirstLine);
        }
        if (run.LastTrailer)
            FLastTrailer = std::move(run.LastTrailer);
    }

    // Whether a Header or Trailer is a finding: every one after the file's first.
    static bool Bound(qsizetype& firstLine, TFinding& f)
    {
        if (firstLine == 0) {
            firstLine = f.Line;  // a run's first, and the file's
            return false;
        }
        f.OtherLine = firstLine;
        return true;
    }

    // Writes a finding while its kind may still be shown, else counts it.
    void Emit(TFinding finding)
    {
        ++FSummary.Findings;
        finding.File = FSummary.File;
        const TKindKey key = TKindKey::Of(finding);
        qsizetype& shown = FShown[key];
        if (shown >= TFileCheck::ShownPerKind) {
            CountNotShown(FNotShown, key, finding, 1);
            return;
        }
        ++shown;
        FWriter.Finding(finding);
    }

    const TFormat& FFormat;
    TFindingWriter& FWriter;
    TFileSummary FSummary;
    TContentCheck FCheck;
    TShownCounts FShown;
    TNotShownByKind FNotShown;
    std::unordered_map<const TRec*, TTally> FTallies;
    TLinePieces FLines{[this](QByteArrayView lines) { CheckLines(lines); }};
    qsizetype FTooLongLine = 0;
    std::unique_ptr<TContentRec> FPreviousOwned;
    const TContentRec* FPrevious = nullptr;  // the last record so far
    qsizetype FPreviousLine = 0;
    std::unique_ptr<TContentRec> FLastTrailer;
    qsizetype FHeaderLine = 0;
    qsizetype FTrailerLine = 0;
    qsizetype FLastTrailerLine = 0;
};

TFileCheck::TFileCheck(const TFormat& format, const QString& fileName, TFindingWriter& writer)
    : F(std::make_unique<TFileCheckRun>(format, fileName, writer))
{
}

TFileCheck::~TFileCheck() = default;

bool TFileCheck::Add(QByteArrayView bytes) { return F->Add(bytes); }
qint64 TFileCheck::BytesAfterEndMark() const { return F->BytesAfterEndMark(); }
qsizetype TFileCheck::TooLongLine() const { return F->TooLongLine(); }
TFileSummary TFileCheck::Finish() { return F->Finish(); }
