#include "FindingWriters.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

void Print(std::FILE* out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

namespace {

QString Plural(qsizetype n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

class TTextWriter final : public TFindingWriter {
public:
    explicit TTextWriter(std::FILE* out) : FOut(out) {}

    void Finding(const TFinding& f) override
    {
        // A name is written escaped: a line end in it must not forge a line.
        QString line = Escaped(f.File);
        if (f.Line > 0)
            line += u':' + QString::number(f.Line);
        line += QLatin1String(": ");
        if (f.Kind == TFinding::TKind::RefusedLine) {
            line += ReasonText(f) + QLatin1String(": ") + Escaped(f.EditorMessage);
        } else {
            QStringList subject;
            if (!f.RecID.isEmpty())
                subject << QStringLiteral("record ") + f.RecID;
            if (f.HasAccount)
                subject << QStringLiteral("account ") + Quoted(f.Account);
            if (!f.FldID.isEmpty())
                subject << QStringLiteral("field %1 (%2)").arg(f.FldID, f.Caption);
            if (f.HasValue)
                subject << (f.Kind == TFinding::TKind::PassedOver ? QStringLiteral("text ") : QStringLiteral("value ")) +
                               Quoted(f.Value);
            if (!subject.isEmpty())
                line += subject.join(QLatin1String(", ")) + QLatin1String(": ");
            line += ReasonText(f);
        }
        line += u'\n';
        Print(FOut, line);
    }

    void Summary(const TFileSummary& s) override
    {
        const qsizetype records = s.Lines - s.RefusedLines;
        QString text = QStringLiteral("%1: %2, %3").arg(Escaped(s.File), Plural(s.Lines, "line", "lines"),
                                                      Plural(records, "record", "records"));
        if (s.RefusedLines > 0)
            text += QLatin1String(", ") + Plural(s.RefusedLines, "refused line", "refused lines");
        text += s.Findings > 0 ? QLatin1String(", ") + Plural(s.Findings, "finding", "findings")
                               : QStringLiteral(", sound");
        text += u'\n';
        for (const TFileSummary::TNotShown& notShown : s.NotShown) {
            QStringList subject;
            if (!notShown.First.RecID.isEmpty())
                subject << QStringLiteral("record ") + notShown.First.RecID;
            if (!notShown.First.FldID.isEmpty())
                subject << QStringLiteral("field %1 (%2)").arg(notShown.First.FldID, notShown.First.Caption);
            subject << KindText(notShown.First);
            text += QStringLiteral("  %1: %2\n")
                        .arg(subject.join(QLatin1String(", ")),
                             NotShownText(notShown.Count, notShown.First.Line, s.ShownPerKind));
        }
        for (const auto& [id, tally] : s.Types) {
            text += QStringLiteral("  %1 %2: %3").arg(id, tally.Rec->Name,
                                                      Plural(tally.Records, "record", "records"));
            if (tally.InvalidFields > 0)
                text += QStringLiteral(", %1 in %2")
                            .arg(Plural(tally.InvalidFields, "invalid field", "invalid fields"),
                                 Plural(tally.RecordsWithInvalidFields, "record", "records"));
            text += u'\n';
        }
        Print(FOut, text);
        std::fflush(FOut);
    }

    void Finish() override { std::fflush(FOut); }

private:
    std::FILE* FOut;
};

class TJsonWriter final : public TFindingWriter {
public:
    explicit TJsonWriter(std::FILE* out) : FOut(out) {}

    void Finding(const TFinding& f) override { Write(Object(f)); }

    // Findings not shown as one object per kind and field, with their count.
    void Summary(const TFileSummary& s) override
    {
        for (const TFileSummary::TNotShown& notShown : s.NotShown) {
            QJsonObject object = Object(notShown.First);
            object.remove(QStringLiteral("account"));
            object.remove(QStringLiteral("value"));
            object.remove(QStringLiteral("expected"));
            object.remove(QStringLiteral("otherLine"));
            object[QStringLiteral("message")] = KindText(notShown.First) + QLatin1String(": ") +
                                                NotShownText(notShown.Count, notShown.First.Line, s.ShownPerKind);
            object[QStringLiteral("notShown")] = double(notShown.Count);
            Write(object);
        }
    }

    void Finish() override
    {
        std::fputs(FCount == 0 ? "[]\n" : "\n]\n", FOut);
        std::fflush(FOut);
    }

private:
    static QJsonObject Object(const TFinding& f)
    {
        auto text = [](bool present, const QString& s) { return present ? QJsonValue(s) : QJsonValue(); };
        auto number = [](qsizetype n) { return n > 0 ? QJsonValue(double(n)) : QJsonValue(); };
        const bool isRefused = f.Kind == TFinding::TKind::RefusedLine;
        return QJsonObject{
            {QStringLiteral("file"), f.File},
            {QStringLiteral("line"), number(f.Line)},
            {QStringLiteral("recordType"), text(!f.RecID.isEmpty(), f.RecID)},
            {QStringLiteral("account"), text(f.HasAccount, f.Account)},
            {QStringLiteral("field"), text(!f.FldID.isEmpty(), f.FldID)},
            {QStringLiteral("caption"), text(!f.FldID.isEmpty(), f.Caption)},
            {QStringLiteral("value"), text(f.HasValue, f.Value)},
            {QStringLiteral("reason"), ReasonCode(f)},
            {QStringLiteral("message"), isRefused ? f.EditorMessage : ReasonText(f)},
            {QStringLiteral("expected"), text(f.Kind == TFinding::TKind::TotalDiffers, f.Expected)},
            {QStringLiteral("otherLine"), number(f.OtherLine)},
        };
    }

    void Write(const QJsonObject& object)
    {
        std::fputs(FCount++ == 0 ? "[\n  " : ",\n  ", FOut);
        const QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
        std::fwrite(json.constData(), 1, size_t(json.size()), FOut);
    }

    std::FILE* FOut;
    qsizetype FCount = 0;
};

}  // namespace

std::unique_ptr<TFindingWriter> MakeTextWriter(std::FILE* out) { return std::make_unique<TTextWriter>(out); }

std::unique_ptr<TFindingWriter> MakeJsonWriter(std::FILE* out) { return std::make_unique<TJsonWriter>(out); }
