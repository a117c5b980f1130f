#include "TConnectionString.h"

#include <algorithm>

const QString TConnectionString::Provider = QStringLiteral("Provider");
const QString TConnectionString::DataSource = QStringLiteral("Data Source");
const QString TConnectionString::InitialCatalog = QStringLiteral("Initial Catalog");
const QString TConnectionString::IntegratedSecurity = QStringLiteral("Integrated Security");
const QString TConnectionString::UserID = QStringLiteral("User ID");
const QString TConnectionString::Password = QStringLiteral("Password");

namespace {

QChar ClosingQuote(QChar opening)
{
    if (opening == u'"' || opening == u'\'')
        return opening;
    if (opening == u'{')
        return u'}';
    return QChar();
}

// A quoted value from its opening character at pos: it runs to the closing
// character, which doubled stands for itself. True with pos after the closing
// character; false, with pos untouched, when the quote is never closed.
bool ReadQuoted(const QString& text, qsizetype& pos, QChar closing, QString& value)
{
    QString quoted;
    for (qsizetype at = pos + 1; at < text.size(); ++at) {
        if (text[at] != closing) {
            quoted += text[at];
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == closing) {
            quoted += closing;
            ++at;
            continue;
        }
        pos = at + 1;
        value = quoted;
        return true;
    }
    return false;
}

}  // namespace

TConnectionString::TConnectionString(const QString& text)
{
    if (text.isEmpty())
        return;
    const qsizetype length = text.size();
    qsizetype pos = 0;
    for (;;) {
        const qsizetype start = pos;
        TSegment segment;

        // The name runs to the first '=' that is not doubled.
        QString name;
        while (pos < length && text[pos] != u';') {
            if (text[pos] == u'=') {
                if (pos + 1 < length && text[pos + 1] == u'=') {
                    name += u'=';
                    pos += 2;
                    continue;
                }
                break;
            }
            name += text[pos++];
        }

        if (pos < length && text[pos] == u'=') {
            segment.IsPair = true;
            segment.RawName = text.mid(start, pos - start);
            segment.Name = name.trimmed();
            ++pos;
            while (pos < length && text[pos] != u';' && text[pos].isSpace())
                ++pos;
            const QChar closing = pos < length ? ClosingQuote(text[pos]) : QChar();
            if (!closing.isNull() && ReadQuoted(text, pos, closing, segment.Value)) {
                while (pos < length && text[pos] != u';')
                    ++pos;
            } else {
                // Plain, or a quote never closed: such a quote is part of the
                // value, which ends at the next ';' as any plain one, so that
                // it cannot swallow the pairs after it.
                const qsizetype valueStart = pos;
                while (pos < length && text[pos] != u';')
                    ++pos;
                segment.Value = text.mid(valueStart, pos - valueStart).trimmed();
            }
        }

        segment.Text = text.mid(start, pos - start);
        FSegments.append(segment);
        if (pos >= length)
            break;
        ++pos;  // the ';'
    }
}

QString TConnectionString::ToString() const
{
    QStringList texts;
    texts.reserve(FSegments.size());
    for (const TSegment& segment : FSegments)
        texts.append(segment.Text);
    return texts.join(u';');
}

const QString TConnectionString::PasswordMask = QStringLiteral("********");

QString TConnectionString::MaskedPasswords() const
{
    QStringList texts;
    texts.reserve(FSegments.size());
    for (const TSegment& segment : FSegments)
        texts.append(IsPassword(segment) ? segment.RawName + u'=' + PasswordMask : segment.Text);
    return texts.join(u';');
}

bool TConnectionString::IsPassword(const TSegment& segment) { return segment.IsPair && Key(segment.Name) == Key(Password); }

QString TConnectionString::Unmasked(const QString& edited, const QString& stored)
{
    const TConnectionString before(stored);
    if (edited == before.MaskedPasswords())
        return stored;
    // The values as written after '=', quotes and all, pair by pair: the import
    // reads the first password pair, other readers the last.
    QStringList storedValues;
    for (const TSegment& segment : before.FSegments)
        if (IsPassword(segment))
            storedValues << segment.Text.mid(segment.RawName.size() + 1);
    TConnectionString after(edited);
    qsizetype n = 0;
    for (TSegment& segment : after.FSegments) {
        if (!IsPassword(segment))
            continue;
        if (segment.Value == PasswordMask && n < storedValues.size())
            segment.Text = segment.RawName + u'=' + storedValues[n];
        ++n;
    }
    return after.ToString();
}

bool TConnectionString::HasPairs() const
{
    return std::any_of(FSegments.begin(), FSegments.end(), [](const TSegment& segment) { return segment.IsPair; });
}

QStringList TConnectionString::Names() const
{
    QStringList names;
    for (const TSegment& segment : FSegments)
        if (segment.IsPair)
            names.append(segment.Name);
    return names;
}

QString TConnectionString::Key(const QString& name)
{
    static const QList<QStringList> aliases = {
        {QStringLiteral("data source"), QStringLiteral("server"), QStringLiteral("address"), QStringLiteral("addr"),
         QStringLiteral("network address")},
        {QStringLiteral("initial catalog"), QStringLiteral("database")},
        {QStringLiteral("integrated security"), QStringLiteral("trusted_connection")},
        {QStringLiteral("user id"), QStringLiteral("uid"), QStringLiteral("user")},
        {QStringLiteral("password"), QStringLiteral("pwd")},
    };
    const QString key = name.simplified().toLower();
    for (const QStringList& names : aliases)
        if (names.contains(key))
            return names.first();
    return key;
}

int TConnectionString::LastIndexOf(const QString& name) const
{
    const QString key = Key(name);
    for (int i = int(FSegments.size()) - 1; i >= 0; --i)
        if (FSegments[i].IsPair && Key(FSegments[i].Name) == key)
            return i;
    return -1;
}

bool TConnectionString::Contains(const QString& name) const { return LastIndexOf(name) >= 0; }

QString TConnectionString::Value(const QString& name) const
{
    const int index = LastIndexOf(name);
    return index < 0 ? QString() : FSegments[index].Value;
}

void TConnectionString::SetValue(const QString& name, const QString& value)
{
    int index = LastIndexOf(name);
    if (index < 0) {
        TSegment segment;
        segment.IsPair = true;
        segment.Name = name;
        segment.RawName = QString(name).replace(u'=', QStringLiteral("=="));
        segment.Value = value;
        segment.Text = segment.RawName + u'=' + QuoteValue(value);
        // A trailing ';' (or blank) stays at the end.
        qsizetype at = FSegments.size();
        if (at > 0 && !FSegments.last().IsPair && FSegments.last().Text.trimmed().isEmpty())
            --at;
        FSegments.insert(at, segment);
        return;
    }
    TSegment& segment = FSegments[index];
    if (segment.Value != value) {
        segment.Value = value;
        segment.Text = segment.RawName + u'=' + QuoteValue(value);
    }
    const QString key = Key(name);
    for (int i = index - 1; i >= 0; --i)
        if (FSegments[i].IsPair && Key(FSegments[i].Name) == key)
            FSegments.removeAt(i);
}

void TConnectionString::Remove(const QString& name)
{
    const QString key = Key(name);
    FSegments.removeIf([&key](const TSegment& segment) { return segment.IsPair && Key(segment.Name) == key; });
}

bool TConnectionString::IsIntegratedSecurity() const
{
    const QString value = Value(IntegratedSecurity).trimmed().toLower();
    return value == u"sspi" || value == u"true" || value == u"yes";
}

QString TConnectionString::QuoteValue(const QString& value)
{
    // A leading '=' would read back as a doubled '=' in the name, which loses the pair.
    const bool plain = !value.contains(u';') &&
                       (value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace() &&
                                            ClosingQuote(value.front()).isNull() && value.front() != u'='));
    if (plain)
        return value;
    if (!value.contains(u'"'))
        return u'"' + value + u'"';
    if (!value.contains(u'\''))
        return u'\'' + value + u'\'';
    return u'"' + QString(value).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

std::optional<QString> TConnectionString::PlainLookUp(const QString& text, const QString& name)
{
    for (const QString& part : text.split(u';')) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals >= 0 && part.left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return part.mid(equals + 1);
    }
    return std::nullopt;
}
