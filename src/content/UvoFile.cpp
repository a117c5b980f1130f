#include "UvoFile.h"

#include "AnsiCodePage.h"
#include "TContent.h"
#include "TUvoError.h"
#include "UvoLines.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QString OpenErrorMessage =
    QStringLiteral("Ошибка при открытии файла. Возможно, файл занят другим приложением.");
const QString WriteErrorMessage = QStringLiteral("Невозможно открыть файл для записи.");

}  // namespace

namespace UvoFile {

ReadResult ReadBytes(const QByteArray& bytes, TContent& content)
{
    TUvoLines lines(TUvoLines::LineData(bytes));
    QString line;
    while (lines.Next(line))
        if (!content.AddFromString(line))
            return {false, TUvoLines::RefusedLineMessage(lines.LineNumber(), line)};
    return {true, {}};
}

ReadResult Read(const QString& fileName, TContent& content)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {false, OpenErrorMessage};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {false, file.errorString()};
    return ReadBytes(bytes, content);
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

void Write(const QString& fileName, const TContent& content)
{
    const QByteArray bytes = Render(content);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw TUvoError(WriteErrorMessage);
    // The last part of the bytes may still sit in the file's buffer: a full
    // disk shows only when it is flushed, and must stop the rename.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw TUvoError(reason);
    }
    if (!file.commit())
        throw TUvoError(file.errorString());
}

}  // namespace UvoFile
