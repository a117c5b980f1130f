#include "UvoFile.h"

#include "AnsiCodePage.h"
#include "FileIo.h"
#include "TContent.h"
#include "TUvoError.h"
#include "UvoLines.h"

#include <QThread>

#include <algorithm>
#include <memory>
#include <optional>
#include <thread>

namespace {

// A written file goes out in pieces of about this size, never built whole.
constexpr qsizetype RenderPieceSize = 1 << 20;

using UvoFile::LineTooLongMessage;
using UvoFile::ReadResult;

const QString OpenErrorMessage =
    QStringLiteral("Ошибка при открытии файла. Возможно, файл занят другим приложением.");


QString ReadFailureMessage(const FileIo::TReadResult& read)
{
    switch (read.Failure) {
    case FileIo::TReadFailure::None:
        break;
    case FileIo::TReadFailure::CannotOpen:
    case FileIo::TReadFailure::NotRegularFile:
        return OpenErrorMessage;
    case FileIo::TReadFailure::ReadError:
        return QStringLiteral("Ошибка при чтении файла: %1.").arg(FileIo::CauseText(read.Error));
    case FileIo::TReadFailure::ChangedWhileRead:
        return QStringLiteral("Файл изменился во время чтения.");
    case FileIo::TReadFailure::LineTooLong:
        return LineTooLongMessage(read.Line);
    }
    return QString();
}

// Large enough that the threads that parse a piece have work worth starting
// them for, small enough that a large file is never held whole.
constexpr qsizetype ReadPiece = 4 << 20;
// The least of a piece worth a thread of its own.
constexpr qsizetype MinThreadShare = 1 << 20;
// Records rendered between two progress reports.
constexpr qint64 ProgressStep = 1 << 14;

// What one thread made of a run of whole lines.
struct TParsedLines {
    std::vector<std::unique_ptr<TContentRec>> Recs;
    std::vector<TReadLoss> Losses;  // line numbers counted within the run
    qsizetype Lines = 0;
    qsizetype RefusedLine = 0;  // within the run; 0 for none
    QString RefusedText;
    bool RefusedTooLong = false;  // the refused line is longer than any record

    void Parse(const TFormat& format, QByteArrayView data, const TContentRec* previous)
    {
        TUvoLines lines(data);
        QByteArrayView line;
        while (lines.Next(line)) {
            if (line.size() > FileIo::MaxLineBytes) {
                RefusedLine = lines.LineNumber();
                RefusedTooLong = true;
                break;
            }
            std::unique_ptr<TContentRec> rec = TContent::ParseFileLine(format, line, previous);
            if (!rec) {
                RefusedLine = lines.LineNumber();
                RefusedText = AnsiCodePage::Decode(line);
                break;
            }
            if (auto loss = FLosses.Of(lines.LineNumber(), line, *rec, lines.LoneCrAt()))
                Losses.push_back(std::move(*loss));
            previous = rec.get();
            Recs.push_back(std::move(rec));
        }
        Lines = lines.LineNumber();
    }

private:
    TFileLineLosses FLosses;
};

// Turns the bytes of a data file, handed over piece by piece, into records
// appended to the content list in file order. The whole lines of each piece
// are parsed on all processors at once; a line cut by the end of a piece is
// finished with the start of the next.
class TLineFeed {
public:
    TLineFeed(TContent& content, ReadResult& result) : FContent(content), FResult(result) {}

    void Take(QByteArrayView piece)
    {
        if (FStopped)
            return;
        if (FMarkSeen) {
            // Enough to tell and show what the byte 26 cut off, never the rest of a huge file.
            FAfterMark.append(piece.first(std::min(piece.size(), std::max<qsizetype>(0, FileIo::MaxLineBytes - FAfterMark.size()))));
            return;
        }
        QByteArrayView data = piece;
        if (const qsizetype mark = piece.indexOf('\x1A'); mark >= 0) {
            // Everything after the byte 26 is kept apart for the loss report,
            // with the byte before it, which tells whether it began a line.
            FMarkSeen = true;
            if (mark > 0 || FLastByte)
                FAfterMark.append(mark > 0 ? piece[mark - 1] : *FLastByte);
            FAfterMark.append(piece.sliced(mark));
            data = piece.first(mark);
        }
        if (!piece.isEmpty())
            FLastByte = piece.back();
        if (!FCarry.isEmpty()) {
            const qsizetype lf = data.indexOf('\n');
            FCarry.append(lf < 0 ? data : data.first(lf + 1));
            if (lf < 0) {
                StopAtTooLongCarry();
                return;
            }
            ParseLines(FCarry);
            FCarry.clear();
            data = data.sliced(lf + 1);
        }
        const qsizetype lastLf = data.lastIndexOf('\n');
        ParseLines(data.first(lastLf + 1));
        if (FStopped)
            return;
        FCarry.append(data.sliced(lastLf + 1));
        StopAtTooLongCarry();
    }

    // After the last piece: the last line if it had no line end, and what
    // came after a byte 26.
    void Finish()
    {
        if (!FCarry.isEmpty())
            ParseLines(FCarry);
        if (FStopped)
            return;
        if (auto loss = TReadLoss::AfterEndMark(FAfterMark, FLines))
            FResult.Losses.push_back(std::move(*loss));
        FResult.Ok = true;
    }

private:
    // A line is never held past the length no record comes near: reading
    // stops there, the lines before it kept.
    void StopAtTooLongCarry()
    {
        if (FCarry.size() <= FileIo::MaxLineBytes)
            return;
        FResult.Message = LineTooLongMessage(FLines + 1);
        FStopped = true;
        FCarry.clear();
    }

    void ParseLines(QByteArrayView data)
    {
        if (FStopped || data.isEmpty())
            return;
        const int processors = std::max(1, QThread::idealThreadCount());
        const int count = int(std::clamp<qsizetype>(data.size() / MinThreadShare, 1, processors));
        const std::vector<QByteArrayView> runs = TUvoLines::SplitAtLineEnds(data, count);
        std::vector<TParsedLines> parsed(runs.size());
        const TContentRec* last = FContent.Count() > 0 ? FContent[FContent.Count() - 1] : nullptr;
        {
            std::vector<std::jthread> workers;
            for (size_t i = 1; i < runs.size(); ++i)
                workers.emplace_back([&, i] { parsed[i].Parse(FContent.Format(), runs[i], nullptr); });
            parsed[0].Parse(FContent.Format(), runs[0], last);
        }
        for (TParsedLines& run : parsed) {
            for (TReadLoss& loss : run.Losses) {
                loss.Line += FLines;
                FResult.Losses.push_back(std::move(loss));
            }
            FContent.Append(run.Recs);
            if (run.RefusedLine > 0) {
                FResult.Message = run.RefusedTooLong
                                      ? LineTooLongMessage(FLines + run.RefusedLine)
                                      : TUvoLines::RefusedLineMessage(FLines + run.RefusedLine, run.RefusedText);
                FStopped = true;
                return;
            }
            FLines += run.Lines;
        }
    }

    TContent& FContent;
    ReadResult& FResult;
    QByteArray FCarry;      // the beginning of a line that the next piece finishes
    QByteArray FAfterMark;  // from the byte before the first byte 26 to the end
    std::optional<char> FLastByte;
    qsizetype FLines = 0;
    bool FMarkSeen = false;
    bool FStopped = false;
};

}  // namespace

namespace UvoFile {

QString LineTooLongMessage(qsizetype line)
{
    return QStringLiteral("Неверный формат. Строка %1 длиннее 1 МБ: это не запись файла UVO.").arg(line);
}

ReadResult ReadBytes(const QByteArray& bytes, TContent& content)
{
    ReadResult result;
    TLineFeed feed(content, result);
    feed.Take(bytes);
    feed.Finish();
    return result;
}

ReadResult Read(const QString& fileName, TContent& content, const TProgress& progress)
{
    ReadResult result;
    TLineFeed feed(content, result);
    const int before = content.Count();
    const FileIo::TReadResult read =
        FileIo::ReadRegularFileInPieces(fileName, ReadPiece, [&](QByteArrayView piece, qint64 done, qint64 size) {
            feed.Take(piece);
            if (progress)
                progress(done, size);
        });
    if (read.Failure != FileIo::TReadFailure::None) {
        // A file that could not be read whole gives no records at all.
        while (content.Count() > before)
            content.Delete(content.Count() - 1);
        return {false, ReadFailureMessage(read), {}};
    }
    feed.Finish();
    return result;
}

void RenderInPieces(const TContent& content, const FileIo::TPieceSink& sink, const TProgress& progress)
{
    QByteArray piece;
    piece.reserve(RenderPieceSize + 4096);
    const qint64 count = content.Count();
    for (qint64 i = 0; i < count; ++i) {
        content[int(i)]->AppendLineBytes(piece);
        piece.append("\r\n", 2);
        if (progress && i % ProgressStep == 0)
            progress(i, count);
        if (piece.size() >= RenderPieceSize) {
            if (!sink(piece))
                return;
            piece.clear();
        }
    }
    if (!piece.isEmpty())
        sink(piece);
}

QByteArray Render(const TContent& content, const TProgress& progress)
{
    QByteArray out;
    RenderInPieces(
        content,
        [&out](QByteArrayView piece) {
            out.append(piece);
            return true;
        },
        progress);
    return out;
}

void Write(const QString& fileName, const TContent& content, const TProgress& progress)
{
    FileIo::Write(fileName, [&](const FileIo::TPieceSink& sink) { RenderInPieces(content, sink, progress); });
    if (progress)
        progress(1, 1);
}

void WriteDescriptor(int fd, const TContent& content)
{
    FileIo::WriteDescriptor(fd, [&content](const FileIo::TPieceSink& sink) { RenderInPieces(content, sink, {}); });
}

}  // namespace UvoFile
