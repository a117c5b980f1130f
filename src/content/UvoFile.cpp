#include "UvoFile.h"

#include "AnsiCodePage.h"
#include "TContent.h"
#include "TUvoError.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QString OpenErrorMessage =
    QStringLiteral("Ошибка при открытии файла. Возможно, файл занят другим приложением.");
const QString WriteErrorMessage = QStringLiteral("Невозможно открыть файл для записи.");

// A line is quoted whole in the message unless it is far longer than any
// record, where a message box could not show it anyway.
constexpr qsizetype MaxQuotedLine = 4096;

QString BadLineMessage(qsizetype lineNumber, const QString& line)
{
    const QString quoted = line.size() > MaxQuotedLine ? line.left(MaxQuotedLine) + QChar(0x2026) : line;
    return QStringLiteral("Неверный формат. Строка %1:\r\n").arg(lineNumber) + quoted;
}

// The text of one line: its bytes up to the LF, without CR characters.
void DecodeLine(QByteArrayView bytes, QByteArray& scratch, QString& line)
{
    if (bytes.contains('\r')) {
        scratch.clear();
        for (char c : bytes)
            if (c != '\r')
                scratch.append(c);
        bytes = scratch;
    }
    AnsiCodePage::DecodeInto(bytes, line);
}

}  // namespace

namespace UvoFile {

ReadResult ReadBytes(const QByteArray& bytes, TContent& content)
{
    QByteArrayView data(bytes);
    if (const qsizetype eof = data.indexOf('\x1A'); eof >= 0)
        data = data.first(eof);
    QByteArray scratch;
    QString line;
    qsizetype lineNumber = 0;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        ++lineNumber;
        DecodeLine(data.sliced(start, end - start), scratch, line);
        if (!content.AddFromString(line))
            return {false, BadLineMessage(lineNumber, line)};
        start = end + 1;
    }
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
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw TUvoError(reason);
    }
    if (!file.commit())
        throw TUvoError(file.errorString());
}

}  // namespace UvoFile
