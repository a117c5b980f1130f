#include "ContentCheck.h"

#include <memory>
#include <tuple>
#include <unordered_map>

bool TFinding::IsStructural() const
{
    switch (Kind) {
    case TKind::TotalDiffers:
    case TKind::MissingHeader:
    case TKind::RepeatedHeader:
    case TKind::MissingTrailer:
    case TKind::RepeatedTrailer:
    case TKind::OutOfOrder: return true;
    case TKind::InvalidField:
    case TKind::RefusedLine:
    case TKind::PassedOver: return false;
    }
    return false;
}

QString ReasonCode(const TFinding& finding)
{
    using K = TFinding::TKind;
    switch (finding.Kind) {
    case K::InvalidField:
        switch (finding.Validity) {
        case TValidity::MissingRequired: return QStringLiteral("missing-required");
        case TValidity::TooLong: return QStringLiteral("too-long");
        case TValidity::NotDigits: return QStringLiteral("not-digits");
        case TValidity::NotInDomain: return QStringLiteral("not-in-domain");
        case TValidity::Valid: break;
        }
        return QStringLiteral("valid");
    case K::RefusedLine: return QStringLiteral("refused-line");
    case K::TotalDiffers: return QStringLiteral("total-differs");
    case K::MissingHeader: return QStringLiteral("missing-header");
    case K::RepeatedHeader: return QStringLiteral("repeated-header");
    case K::MissingTrailer: return QStringLiteral("missing-trailer");
    case K::RepeatedTrailer: return QStringLiteral("repeated-trailer");
    case K::OutOfOrder: return QStringLiteral("out-of-order");
    case K::PassedOver:
        switch (finding.Loss) {
        case TReadLoss::TKind::PastRecordEnd: return QStringLiteral("text-past-record-end");
        case TReadLoss::TKind::LoneCr: return QStringLiteral("lone-cr");
        case TReadLoss::TKind::AfterEndMark: return QStringLiteral("data-after-end-mark");
        }
        break;
    }
    return QString();
}

bool TContentCheck::CarriesAccount(const TContentRec& rec) const
{
    return FFormat.GetRule(rec.Rec->RecID, UvoIds::AccountFld) != nullptr;
}

TFinding TContentCheck::AtRecord(TFinding::TKind kind, const TContentRec* rec, qsizetype line) const
{
    TFinding f;
    f.Kind = kind;
    f.Line = line;
    if (!rec)
        return f;
    f.Record = rec;
    f.RecID = rec->Rec->RecID;
    f.HasAccount = CarriesAccount(*rec);
    if (f.HasAccount)
        f.Account = rec->Account;
    return f;
}

TFinding TContentCheck::InvalidField(const TContentRec& rec, const TRule& rule, int fieldIndex, TValidity validity,
                                     const QString& value, qsizetype line) const
{
    TFinding f = AtRecord(TFinding::TKind::InvalidField, &rec, line);
    f.Validity = validity;
    f.FieldIndex = fieldIndex;
    f.FldID = rule.FldID();
    f.Caption = rule.Name;
    f.HasValue = true;
    f.Value = value;
    return f;
}

bool TContentCheck::OutOfOrder(const TContentRec& rec, const TContentRec& later) const
{
    return FOrder.SortsBefore(&later, &rec);
}

TFinding TContentCheck::OutOfOrderFinding(const TContentRec& rec, qsizetype line, const TContentRec& later,
                                          qsizetype laterLine) const
{
    TFinding f = AtRecord(TFinding::TKind::OutOfOrder, &rec, line);
    f.OtherLine = laterLine;
    f.OtherRecID = later.Rec->RecID;
    f.OtherHasAccount = CarriesAccount(later);
    if (f.OtherHasAccount)
        f.OtherAccount = later.Account;
    return f;
}

TFinding TContentCheck::Repeated(TFinding::TKind kind, const TContentRec& rec, qsizetype line,
                                 qsizetype firstLine) const
{
    TFinding f = AtRecord(kind, &rec, line);
    f.OtherLine = firstLine;
    return f;
}

TFinding TContentCheck::PassedOver(const TReadLoss& loss, const TContentRec* rec) const
{
    TFinding f = AtRecord(TFinding::TKind::PassedOver, rec, loss.Line);
    f.Loss = loss.Kind;
    f.HasValue = true;
    f.Value = loss.Dropped;
    return f;
}

void TContentCheck::CheckTotals(const std::vector<TContentRec*>& recs, const TContentRec& trailer, qsizetype line,
                                const TSink& found) const
{
    std::unordered_map<const TRec*, qsizetype> counts;
    for (const TContentRec* rec : recs)
        ++counts[rec->Rec];
    CheckTotals(
        [&](const TRec* type) {
            const auto count = counts.find(type);
            return count == counts.end() ? qsizetype(0) : count->second;
        },
        trailer, line, found);
}

void TContentCheck::CheckTotals(const std::function<qsizetype(const TRec* type)>& countOf, const TContentRec& trailer,
                                qsizetype line, const TSink& found) const
{
    // The totals go into a copy of the Trailer, as the editor would set them,
    // and the Trailer itself stays as it is.
    std::unique_ptr<TContentRec> computed = FOrder.CreateNewOnRec(trailer.Rec);
    TContent::CopyRec(trailer, *computed);
    TContent::SetRecsCount(FFormat, *computed, countOf);
    for (size_t i = 0; i < trailer.FldList.size() && i < computed->FldList.size(); ++i) {
        const TContentFld& total = computed->FldList[i];
        const TContentFld& read = trailer.FldList[i];
        if (total.Value() == read.Value())
            continue;
        TFinding f = AtRecord(TFinding::TKind::TotalDiffers, &trailer, line);
        f.FieldIndex = int(i);
        f.FldID = total.Rule->FldID();
        f.Caption = total.Rule->Name;
        f.HasValue = true;
        f.Value = read.Value();
        f.Expected = total.Value();
        found(std::move(f));
    }
}

void TContentCheck::CheckFields(const TContentRec& rec, qsizetype line, const TSink& found) const
{
    ForEachInvalidField(rec, FFormat, [&](int index, TValidity validity) {
        const TContentFld& fld = rec.FldList[size_t(index)];
        found(InvalidField(rec, *fld.Rule, index, validity, fld.Value(), line));
    });
}

namespace {

// Where the first Header or Trailer of a list stood, for the repeated ones.
struct TBound {
    const TContentRec* Rec = nullptr;
    qsizetype Line = 0;
};

}  // namespace

void TContentCheck::Check(const TContent& content, const std::vector<TReadLoss>& losses, bool fileLines,
                          const TSink& found) const
{
    Walk(content, losses, fileLines, true, found);
}

void TContentCheck::CheckStructure(const TContent& content, bool fileLines, const TSink& found) const
{
    Walk(content, {}, fileLines, false, found);
}

void TContentCheck::Walk(const TContent& content, const std::vector<TReadLoss>& losses, bool fileLines,
                         bool withFields, const TSink& found) const
{
    const std::vector<TContentRec*>& recs = content.Records();
    auto loss = losses.begin();
    TBound header, trailer, lastTrailer;
    for (size_t i = 0; i < recs.size(); ++i) {
        const TContentRec& rec = *recs[i];
        const qsizetype line = LineOf(fileLines, i);
        if (i > 0 && OutOfOrder(*recs[i - 1], rec))
            found(OutOfOrderFinding(*recs[i - 1], LineOf(fileLines, i - 1), rec, line));
        if (withFields)
            CheckFields(rec, line, found);
        for (; fileLines && loss != losses.end() && loss->Line == line; ++loss)
            found(PassedOver(*loss, &rec));
        for (auto [type, bound, kind] : {std::tuple(FFormat.HeaderRec, &header, TFinding::TKind::RepeatedHeader),
                                         std::tuple(FFormat.TrailerRec, &trailer, TFinding::TKind::RepeatedTrailer)}) {
            if (rec.Rec != type)
                continue;
            if (bound->Rec)
                found(Repeated(kind, rec, line, bound->Line));
            else
                *bound = {&rec, line};
        }
        if (rec.Rec == FFormat.TrailerRec)
            lastTrailer = {&rec, line};
    }
    for (; loss != losses.end(); ++loss)  // data after the end mark, and any loss no record stands for
        found(PassedOver(*loss, nullptr));
    if (lastTrailer.Rec)
        CheckTotals(recs, *lastTrailer.Rec, lastTrailer.Line, found);
    if (!header.Rec)
        found(AtRecord(TFinding::TKind::MissingHeader, nullptr, 0));
    if (!trailer.Rec)
        found(AtRecord(TFinding::TKind::MissingTrailer, nullptr, 0));
}
