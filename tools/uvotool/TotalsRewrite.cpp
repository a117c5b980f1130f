#include "TotalsRewrite.h"

#include "AnsiCodePage.h"
#include "CommandLine.h"
#include "FileIo.h"
#include "Findings.h"
#include "LinePieces.h"
#include "TContent.h"
#include "TFormat.h"
#include "UvoFile.h"
#include "UvoLines.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

namespace UvoTool {
namespace {

// The lines of a piece are read on several processors when each gets at
// least this much of them.
constexpr qsizetype MinThreadShare = 256 * 1024;

// A whole read of a regular file takes FileIo::ReadChunk at a time and looks
// at the open line after each: a line that has outgrown FileIo::MaxLineBytes
// there ends the read.
constexpr qsizetype WholeReadStep = FileIo::ReadChunk;

const QString Consequence = QStringLiteral("nothing checked or written");

// Follows the bytes of a file from its start as a whole read sees them, to
// stop where that read would stop at a line too long.
class TWholeReadLines {
public:
    // The next bytes; false once a line has outgrown what a whole read takes.
    bool See(QByteArrayView bytes)
    {
        for (qsizetype from = 0; from < bytes.size() && !FEndMark;) {
            const qsizetype step = std::min<qint64>(bytes.size() - from, WholeReadStep - FRead % WholeReadStep);
            SeeStep(bytes.sliced(from, step));
            from += step;
            if (!FEndMark && FRead - FOpenLine > FileIo::MaxLineBytes)
                return false;
        }
        return true;
    }
    qsizetype OpenLineNumber() const { return FEnded + 1; }

private:
    void SeeStep(QByteArrayView bytes)
    {
        const qsizetype mark = bytes.indexOf('\x1A');
        const QByteArrayView lines = mark < 0 ? bytes : bytes.first(mark);
        if (const qsizetype lastLf = lines.lastIndexOf('\n'); lastLf >= 0) {
            FEnded += std::count(lines.begin(), lines.end(), '\n');
            FOpenLine = FRead + lastLf + 1;
        }
        FRead += bytes.size();
        FEndMark = mark >= 0;
    }

    qint64 FRead = 0;
    qint64 FOpenLine = 0;  // where the line not yet ended begins
    qsizetype FEnded = 0;
    bool FEndMark = false;  // a byte 26 ended the lines
};

// The line at which the editor's reader stops: one that names no record type,
// or one longer than any record.
struct TStop {
    qsizetype Line = 0;  // counted from 1; 0 for none
    bool TooLong = false;
    QString Text;  // the refused line

    // As the editor's reader words it.
    QString Message() const
    {
        return TooLong ? UvoFile::LineTooLongMessage(Line)
                       : TUvoLines::RefusedLineMessage(Line, Text);
    }
};

using TTypeCounts = std::unordered_map<const TRec*, qsizetype>;

// The record type a line names, found as the reader finds it (by the line's
// first six characters), with the length of its lines; each type is looked
// up once.
class TLineTypes {
public:
    struct TType {
        QByteArray Id;
        const TRec* Rec = nullptr;
        bool Readable = false;  // the format lays the type's records out
        qsizetype LineLength = 0;
    };

    explicit TLineTypes(const TFormat& format) : FFormat(format), FFactory(format) {}

    const TType& Of(QByteArrayView line)
    {
        const QByteArrayView id = line.first(std::min<qsizetype>(6, line.size()));
        for (const TType& known : FKnown)
            if (known.Id == id)
                return known;
        TType& type = FKnown.emplace_back();
        type.Id = id.toByteArray();
        type.Rec = FFormat.GetRec(AnsiCodePage::Decode(id));
        type.Readable = !FFormat.Layout(type.Rec).empty();
        if (type.Readable)
            type.LineLength = FFactory.CreateNewOnRec(type.Rec)->LineLength();
        return type;
    }

private:
    const TFormat& FFormat;
    TContent FFactory;
    std::vector<TType> FKnown;  // a few: the first unreadable type stops the reading
};

// A run of whole lines read as the editor's reader reads them, keeping only
// the counts per record type, the losses and the last Trailer; line numbers
// counted from the run's first line. Only the Trailer and the lines that may
// have lost data are parsed whole: the type tells the rest.
struct TCountedRun {
    TTypeCounts Counts;
    qsizetype Lines = 0;
    qsizetype LossCount = 0;
    std::vector<TReadLoss> Losses;  // only when asked for
    std::unique_ptr<TContentRec> Trailer;
    qsizetype TrailerLine = 0;
    TStop Stop;

    void Read(const TFormat& format, QByteArrayView data, bool keepLosses)
    {
        TUvoLines lines(data);
        TLineTypes types(format);
        TFileLineLosses losses;
        QByteArrayView line;
        const TRec* lastType = nullptr;
        qsizetype* lastCount = nullptr;
        while (lines.Next(line)) {
            const qsizetype n = lines.LineNumber();
            if (line.size() > FileIo::MaxLineBytes) {
                Stop = {n, true, {}};
                break;
            }
            const TLineTypes::TType& type = types.Of(line);
            if (!type.Readable) {
                Stop = {n, false, AnsiCodePage::Decode(line)};
                break;
            }
            if (type.Rec != lastType || !lastCount) {  // records of a type come in runs
                lastType = type.Rec;
                lastCount = &Counts[lastType];
            }
            ++*lastCount;
            const bool trailer = type.Rec == format.TrailerRec;
            if (!trailer && lines.LoneCrAt() < 0 && line.size() <= type.LineLength)
                continue;  // nothing lost
            std::unique_ptr<TContentRec> rec = TContent::ParseFileLine(format, line, nullptr);
            if (auto loss = losses.Of(n, line, *rec, lines.LoneCrAt())) {
                ++LossCount;
                if (keepLosses)
                    Losses.push_back(std::move(*loss));
            }
            if (trailer) {
                Trailer = std::move(rec);
                TrailerLine = n;
            }
        }
        Lines = lines.LineNumber();
    }
};

// The first read: the file's bytes piece by piece, read as the editor reads
// a file whole, with the records counted rather than kept.
class TRecordCount {
public:
    using TLossTaker = std::function<void(const TReadLoss&)>;

    // Each loss goes to takeLoss as it is found, when given.
    explicit TRecordCount(const TFormat& format, TLossTaker takeLoss = {})
        : FFormat(format), FTakeLoss(std::move(takeLoss))
    {
    }

    // The next bytes; false where a whole read would stop at a line too long.
    bool Add(QByteArrayView bytes)
    {
        if (!FWholeRead.See(bytes)) {
            FTooLongLine = FWholeRead.OpenLineNumber();
            return false;
        }
        if (FStop.Line == 0)
            FLines.Add(bytes);  // an open line too long has stopped the whole read already
        return true;
    }

    void Finish()
    {
        FLines.Finish();
        if (FStop.Line == 0 && FLines.Tail())
            if (auto loss = FLines.Tail()->Loss(FLineCount))
                TakeLoss(*loss);
    }

    qsizetype TooLongLine() const { return FTooLongLine; }
    const TStop& Stop() const { return FStop; }
    qsizetype LossCount() const { return FLossCount; }
    TContentRec* Trailer() const { return FTrailer.get(); }
    qsizetype TrailerLine() const { return FTrailerLine; }
    qsizetype CountOf(const TRec* type) const
    {
        const auto found = FCounts.find(type);
        return found == FCounts.end() ? 0 : found->second;
    }

private:
    void Take(QByteArrayView lines)
    {
        if (FStop.Line > 0 || lines.isEmpty())
            return;
        const std::vector<QByteArrayView> parts = RunsForProcessors(lines, MinThreadShare);
        std::vector<TCountedRun> runs(parts.size());
        SideBySide(runs.size(), [&](size_t i) { runs[i].Read(FFormat, parts[i], bool(FTakeLoss)); });
        for (TCountedRun& run : runs) {
            if (run.Stop.Line > 0) {
                FStop = std::move(run.Stop);
                FStop.Line += FLineCount;
                return;
            }
            for (TReadLoss& loss : run.Losses) {
                loss.Line += FLineCount;
                TakeLoss(loss);
            }
            FLossCount += run.LossCount - qsizetype(run.Losses.size());
            for (const auto& [type, count] : run.Counts)
                FCounts[type] += count;
            if (run.Trailer) {
                FTrailer = std::move(run.Trailer);
                FTrailerLine = FLineCount + run.TrailerLine;
            }
            FLineCount += run.Lines;
        }
    }

    void TakeLoss(const TReadLoss& loss)
    {
        ++FLossCount;
        if (FTakeLoss)
            FTakeLoss(loss);
    }

    const TFormat& FFormat;
    TLossTaker FTakeLoss;
    TWholeReadLines FWholeRead;
    TLinePieces FLines{[this](QByteArrayView lines) { Take(lines); }};
    qsizetype FTooLongLine = 0;
    TStop FStop;
    qsizetype FLossCount = 0;
    qsizetype FLineCount = 0;
    TTypeCounts FCounts;
    std::unique_ptr<TContentRec> FTrailer;
    qsizetype FTrailerLine = 0;
};

// A run of whole lines rendered as the editor writes its records, with where
// the Trailers went.
struct TRenderedRun {
    struct TPlace {
        qsizetype Line = 0;  // counted from the run's first line
        qsizetype At = 0;
        qsizetype Size = 0;
    };

    QByteArray Bytes;
    std::vector<TPlace> Trailers;
    qsizetype Lines = 0;
    bool Refused = false;  // a line that the first read took: the file has changed

    void Render(const TFormat& format, QByteArrayView data)
    {
        Bytes.reserve(data.size() + data.size() / 8);
        TUvoLines lines(data);
        QByteArrayView line;
        std::unique_ptr<TContentRec> previous;
        while (lines.Next(line)) {
            std::unique_ptr<TContentRec> rec =
                line.size() > FileIo::MaxLineBytes ? nullptr : TContent::ParseFileLine(format, line, previous.get());
            if (!rec) {
                Refused = true;
                return;
            }
            const qsizetype at = Bytes.size();
            rec->AppendLineBytes(Bytes);
            if (rec->Rec == format.TrailerRec)
                Trailers.push_back({lines.LineNumber(), at, Bytes.size() - at});
            Bytes.append("\r\n", 2);
            previous = std::move(rec);
        }
        Lines = lines.LineNumber();
    }
};

// The second read: the lines rendered to the sink in order, the line of the
// last Trailer replaced by the recomputed one.
class TTotalsCopy {
public:
    TTotalsCopy(const TFormat& format, const TContentRec& trailer, qsizetype trailerLine,
                const FileIo::TPieceSink& sink)
        : FFormat(format), FTrailerLine(trailerLine), FSink(sink)
    {
        trailer.AppendLineBytes(FTrailerBytes);
    }

    // The next bytes; false once the copy need go no further.
    bool Add(QByteArrayView bytes)
    {
        FLines.Add(bytes);
        return !FStopped;
    }
    void Finish() { FLines.Finish(); }
    bool FoundChange() const { return FChanged; }

private:
    void Take(QByteArrayView lines)
    {
        if (FStopped || lines.isEmpty())
            return;
        const std::vector<QByteArrayView> parts = RunsForProcessors(lines, MinThreadShare);
        std::vector<TRenderedRun> runs(parts.size());
        SideBySide(runs.size(), [&](size_t i) { runs[i].Render(FFormat, parts[i]); });
        for (TRenderedRun& run : runs) {
            if (run.Refused) {
                FChanged = FStopped = true;
                return;
            }
            for (const TRenderedRun::TPlace& place : run.Trailers)
                if (FLineCount + place.Line == FTrailerLine)
                    run.Bytes.replace(place.At, place.Size, FTrailerBytes);
            if (!FSink(run.Bytes)) {
                FStopped = true;
                return;
            }
            FLineCount += run.Lines;
        }
    }

    const TFormat& FFormat;
    QByteArray FTrailerBytes;
    qsizetype FTrailerLine;
    const FileIo::TPieceSink& FSink;
    TLinePieces FLines{[this](QByteArrayView lines) { Take(lines); }};
    qsizetype FLineCount = 0;
    bool FStopped = false;
    bool FChanged = false;
};

// A second read that did not see the file the first one saw.
struct TReadAgainFailure {
    FileIo::TReadResult Read;
};

FileIo::TReadResult ReadInPieces(const QString& file, const std::function<bool(QByteArrayView)>& take)
{
    return FileIo::ReadAnyFileInPieces(file, LinePieceBytes,
                                       [&](QByteArrayView piece, qint64, qint64) { return take(piece); });
}

// The losses that keep the file from being written, told line by line as a
// read finds them again.
void ReportLossesAgain(const TFormat& format, const QString& file)
{
    TRecordCount again(format, [&](const TReadLoss& loss) { PrintLoss(file, loss); });
    ReadInPieces(file, [&](QByteArrayView piece) { return again.Add(piece); });
    again.Finish();
    PrintNothingWrittenForLosses(file, again.LossCount());
}

void CopyWithTotals(const TFormat& format, const QString& file, const std::optional<FileIo::TFileIdentity>& identity,
                    const TRecordCount& count, const FileIo::TPieceSink& sink)
{
    TTotalsCopy copy(format, *count.Trailer(), count.TrailerLine(), sink);
    FileIo::TReadResult read = ReadInPieces(file, [&](QByteArrayView piece) { return copy.Add(piece); });
    if (read.Failure == FileIo::TReadFailure::None)
        copy.Finish();
    if (read.Failure == FileIo::TReadFailure::None && (copy.FoundChange() || FileIo::IdentityOf(file) != identity))
        read.Failure = FileIo::TReadFailure::ChangedWhileRead;
    if (read.Failure != FileIo::TReadFailure::None)
        throw TReadAgainFailure{std::move(read)};
}

}  // namespace

int RewriteTotalsInPieces(const TFormat& format, const QString& file, const QString& target, bool force)
{
    if (TellInterruptedSaves(file))
        return ExitFailure;
    const std::optional<FileIo::TFileIdentity> identity = FileIo::IdentityOf(file);
    TRecordCount count(format);
    FileIo::TReadResult read = ReadInPieces(file, [&](QByteArrayView piece) { return count.Add(piece); });
    if (count.TooLongLine() > 0) {
        read.Failure = FileIo::TReadFailure::LineTooLong;
        read.Line = count.TooLongLine();
    }
    if (read.Failure != FileIo::TReadFailure::None) {
        PrintReadFailure(file, read, Consequence);
        return ExitFailure;
    }
    count.Finish();
    if (count.Stop().Line > 0) {
        PrintFileError(file, Escaped(count.Stop().Message()));
        return ExitFailure;
    }
    if (count.LossCount() > 0 && !force) {
        ReportLossesAgain(format, file);
        return ExitFindings;
    }
    if (!count.Trailer()) {
        PrintFileError(file, NoTrailerMessage);
        return ExitFindings;
    }
    TContent::SetRecsCount(format, *count.Trailer(), [&](const TRec* type) { return count.CountOf(type); });
    try {
        return WriteRewritten(target,
                              [&](const FileIo::TPieceSink& sink) { CopyWithTotals(format, file, identity, count, sink); });
    } catch (const TReadAgainFailure& failure) {
        PrintReadFailure(file, failure.Read, Consequence);
        return ExitFailure;
    }
}

}  // namespace UvoTool
