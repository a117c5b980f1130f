#include "Findings.h"

namespace {

void AppendEscaped(QStringView text, QString& out)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QLatin1String("\\\""); break;
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        default:
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
                out += QString::asprintf("\\x%02X", unsigned(c.unicode()));
            else
                out += c;
        }
    }
}

}  // namespace

QString Quoted(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    AppendEscaped(text, out);
    out += u'"';
    return out;
}

QString Escaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    AppendEscaped(text, out);
    return out;
}

QString ReasonText(const TFinding& finding)
{
    using K = TFinding::TKind;
    switch (finding.Kind) {
    case K::InvalidField:
        switch (finding.Validity) {
        case TValidity::MissingRequired: return QStringLiteral("empty mandatory field");
        case TValidity::TooLong: return QStringLiteral("longer than its width");
        case TValidity::NotDigits: return QStringLiteral("not digits");
        case TValidity::NotInDomain: return QStringLiteral("not a code of its domain");
        case TValidity::Valid: break;
        }
        return QStringLiteral("valid");
    case K::RefusedLine: return QStringLiteral("line refused");
    case K::TotalDiffers:
        return QStringLiteral("total differs from the records present, which give %1").arg(Quoted(finding.Expected));
    case K::MissingHeader: return QStringLiteral("no Header record");
    case K::RepeatedHeader: return QStringLiteral("repeated Header, the first is on line %1").arg(finding.OtherLine);
    case K::MissingTrailer: return QStringLiteral("no Trailer record");
    case K::RepeatedTrailer:
        return QStringLiteral("repeated Trailer, the first is on line %1").arg(finding.OtherLine);
    case K::OutOfOrder: {
        QString other = QStringLiteral("record %1").arg(finding.OtherRecID);
        if (finding.OtherHasAccount)
            other += QStringLiteral(", account %1").arg(Quoted(finding.OtherAccount));
        return QStringLiteral("out of account hierarchy order: line %1 (%2) sorts before it")
            .arg(finding.OtherLine)
            .arg(other);
    }
    case K::PassedOver: return LossText(finding.Loss);
    }
    return QString();
}

QString KindText(const TFinding& finding)
{
    if (finding.Kind == TFinding::TKind::OutOfOrder)
        return QStringLiteral("out of account hierarchy order");
    return ReasonText(finding);
}

QString NotShownText(qsizetype count, qsizetype fromLine, qsizetype shownPerKind)
{
    return QStringLiteral("%1 more from line %2 on are not shown; the first %3 of each kind and field are")
        .arg(count)
        .arg(fromLine)
        .arg(shownPerKind);
}

QString LossText(TReadLoss::TKind loss)
{
    switch (loss) {
    case TReadLoss::TKind::PastRecordEnd:
        return QStringLiteral("text past the record's length, ignored by reading and dropped by saving");
    case TReadLoss::TKind::LoneCr:
        return QStringLiteral("a lone CR joins lines into one record; the text after it is read into "
                              "that record or dropped");
    case TReadLoss::TKind::AfterEndMark:
        return QStringLiteral("data after the end-of-file mark (byte 26), ignored by reading and dropped by saving");
    }
    return QString();
}
