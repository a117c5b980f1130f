#include "UvoFile.h"

#include "AnsiCodePage.h"
#include "FileIo.h"
#include "TContent.h"
#include "TUvoError.h"
#include "UvoLines.h"

namespace {

// A written file goes out in pieces of about this size, never built whole.
constexpr qsizetype RenderPieceSize = 1 << 20;

const QString OpenErrorMessage =
    QStringLiteral("Ошибка при открытии файла. Возможно, файл занят другим приложением.");

QString LineTooLongMessage(qsizetype line)
{
    return QStringLiteral("Неверный формат. Строка %1 длиннее 1 МБ: это не запись файла UVO.").arg(line);
}

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

}  // namespace

namespace UvoFile {

ReadResult ReadBytes(const QByteArray& bytes, TContent& content)
{
    ReadResult result;
    TUvoLines lines(TUvoLines::LineData(bytes));
    QString line;
    while (lines.Next(line)) {
        const TContentRec* rec = content.AddFromString(line);
        if (!rec) {
            result.Message = TUvoLines::RefusedLineMessage(lines.LineNumber(), line);
            return result;
        }
        if (auto loss = TReadLoss::OfLine(lines.LineNumber(), line, *rec, lines.LoneCrAt()))
            result.Losses.push_back(std::move(*loss));
    }
    if (auto loss = TReadLoss::AfterEndMark(bytes, lines.LineNumber()))
        result.Losses.push_back(std::move(*loss));
    result.Ok = true;
    return result;
}

ReadResult Read(const QString& fileName, TContent& content)
{
    const FileIo::TReadResult read = FileIo::ReadRegularFile(fileName);
    if (read.Failure == FileIo::TReadFailure::LineTooLong) {
        // The lines before it are read as far as they go, like the lines
        // before a refused one.
        ReadResult result = ReadBytes(read.Bytes, content);
        if (result.Ok)
            result = {false, LineTooLongMessage(read.Line), {}};
        return result;
    }
    if (read.Failure != FileIo::TReadFailure::None)
        return {false, ReadFailureMessage(read), {}};
    return ReadBytes(read.Bytes, content);
}

void RenderInPieces(const TContent& content, const FileIo::TPieceSink& sink)
{
    QByteArray piece;
    piece.reserve(RenderPieceSize + 4096);
    for (const TContentRec* rec : content.Records()) {
        rec->AppendLineBytes(piece);
        piece.append("\r\n", 2);
        if (piece.size() >= RenderPieceSize) {
            if (!sink(piece))
                return;
            piece.clear();
        }
    }
    if (!piece.isEmpty())
        sink(piece);
}

QByteArray Render(const TContent& content)
{
    QByteArray out;
    RenderInPieces(content, [&out](QByteArrayView piece) {
        out.append(piece);
        return true;
    });
    return out;
}

void Write(const QString& fileName, const TContent& content)
{
    FileIo::Write(fileName, [&content](const FileIo::TPieceSink& sink) { RenderInPieces(content, sink); });
}

void WriteDescriptor(int fd, const TContent& content)
{
    FileIo::WriteDescriptor(fd, [&content](const FileIo::TPieceSink& sink) { RenderInPieces(content, sink); });
}

}  // namespace UvoFile
