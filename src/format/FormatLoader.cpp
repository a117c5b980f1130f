#include "FormatLoader.h"

#include "AnsiCodePage.h"
#include "StrUtils.h"
#include "TFormat.h"

#include <QHash>
#include <QStringDecoder>

namespace {

struct LoadError {
    QString Message;
};

// Upper-cases ASCII letters only, like the section names are compared.
QString AsciiUpper(QStringView s)
{
    QString out = s.toString();
    for (QChar& c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

bool IsSectionHeader(QStringView line)
{
    return line.size() >= 2 && line.front() == u'[' && line.back() == u']';
}

QString FieldCountMessage(int n) { return QStringLiteral("Неверное число полей в строке %1.").arg(n); }
QString LineFormatMessage(int n) { return QStringLiteral("Неверный формат строки %1.").arg(n); }

// Hands one data line of a recognised section to the matching Add… operation.
// Sections the loader does not know leave the line untouched and untested.
void LoadDataLine(const QString& section, const QString& line, int n, TFormat& format)
{
    static const QHash<QString, int> fieldCounts = {
        {"RECORDS", 3}, {"FIELDS", 2}, {"DOMAINS", 2}, {"VALUES", 4}, {"FORMAT", 7}};
    const auto expected = fieldCounts.constFind(section);
    if (expected == fieldCounts.constEnd())
        return;
    const QStringList f = FormatLoader::SplitFields(line);
    if (f.size() != *expected)
        throw LoadError{FieldCountMessage(n)};
    bool added = false;
    if (section == u"RECORDS")
        added = format.AddRec(f[0], f[1], f[2]);
    else if (section == u"FIELDS")
        added = format.AddFld(f[0], f[1]);
    else if (section == u"DOMAINS")
        added = format.AddValSet(f[0], f[1]);
    else if (section == u"VALUES") {
        if (f[3].startsWith(QLatin1String("Reserved")))
            return;
        added = format.AddVal(f[0], f[1], f[2], f[3]);
    } else
        added = format.AddRule(f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
    if (!added)
        throw LoadError{LineFormatMessage(n)};
}

}  // namespace

QString FormatLoader::DecodeText(QByteArrayView text)
{
    // A text with a byte-order mark says its own encoding; one without is in the
    // single-byte code page.
    if (text.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(text.sliced(3));
    if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(text[0] == '\xFF' ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return decoder(text.sliced(2));
    }
    return AnsiCodePage::Decode(text);
}

QStringList FormatLoader::SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QStringList FormatLoader::SplitFields(const QString& line)
{
    return line.split(u';', Qt::KeepEmptyParts);
}

FormatLoader::Result FormatLoader::Load(QByteArrayView text, TFormat& format)
{
    try {
        const QStringList lines = SplitLines(DecodeText(text));
        QString section;
        for (int i = 0; i < lines.size(); ++i) {
            const QString line = TrimControls(lines[i]).toString();
            if (line.isEmpty())
                continue;
            if (IsSectionHeader(line)) {
                section = AsciiUpper(QStringView(line).mid(1, line.size() - 2));
                continue;
            }
            LoadDataLine(section, line, i + 1, format);
        }
        if (!format.OnEndLoading())
            throw LoadError{QStringLiteral("Неверный формат.")};
    } catch (const LoadError& error) {
        return {false, error.Message};
    }
    return {true, {}};
}
