#include "UvoFile.h"

#include "AnsiCodePage.h"
#include "FileIo.h"
#include "TContent.h"
#include "TUvoError.h"
#include "UvoLines.h"

namespace {

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
    if (read.Failure != FileIo::TReadFailure::None)
        return {false, ReadFailureMessage(read), {}};
    return ReadBytes(read.Bytes, content);
}

QByteArray Render(const TContent& content)
{
    QByteArray out;
    qsizetype estimate = 0;
    for (const TContentRec* rec : content.Records())
        for (const TContentFld& fld : rec->FldList)
            estimate += std::max(0, fld.Rule->Size);
    out.reserve(estimate);
    for (const TContentRec* rec : content.Records()) {
        rec->AppendLineBytes(out);
        out.append("\r\n", 2);
    }
    return out;
}

void Write(const QString& fileName, const TContent& content) { FileIo::Write(fileName, Render(content)); }

}  // namespace UvoFile
