#include "TContent.h"

#include "AnsiCodePage.h"
#include "StrUtils.h"

// ---- TContentFld ----

void TContentFld::SetValue(const QString& v)
{
    FValue = v;
    FIsValid = ParentRec->Format->StrIsValid(v, *Rule);
    if (Rule->IsAccountField)
        ParentRec->Account = v;
}

// ---- TContentRec ----

void TContentRec::AddFld(const TRule* Rule, const QString& Val)
{
    FldList.emplace_back(this, Rule);
    FldList.back().SetValue(Val);
}

TContentFld* TContentRec::FindFld(const QString& FldID)
{
    if (!Rec)
        return nullptr;
    const TRule* rule = Format->GetRule(Rec->RecID, FldID);
    if (!rule)
        return nullptr;
    for (TContentFld& fld : FldList)
        if (fld.Rule == rule)
            return &fld;
    return nullptr;
}

QString TContentRec::GetVal(const QString& FldID) const
{
    const TContentFld* fld = const_cast<TContentRec*>(this)->FindFld(FldID);
    return fld ? fld->Value() : QString();
}

void TContentRec::SetVal(const QString& FldID, const QString& Val)
{
    if (TContentFld* fld = FindFld(FldID))
        fld->SetValue(Val);
}

QString TContentRec::RecToString() const
{
    QString line;
    if (FldList.size() < 2)
        return line;
    line.reserve(LineLength());
    for (size_t i = 0; i + 1 < FldList.size(); ++i)
        line += PadRight(FldList[i].Value(), FldList[i].Rule->Size);
    return line;
}

qsizetype TContentRec::LineLength() const
{
    qsizetype width = 0;
    for (size_t i = 0; i + 1 < FldList.size(); ++i)
        width += std::max(0, FldList[i].Rule->Size);
    return width;
}

void TContentRec::AppendLineBytes(QByteArray& out) const
{
    // The line as RecToString renders it, encoded field by field without
    // building the intermediate text.
    for (size_t i = 0; i + 1 < FldList.size(); ++i) {
        const qsizetype width = FldList[i].Rule->Size;
        if (width <= 0)
            continue;
        const QString& value = FldList[i].Value();
        const qsizetype used = std::min(value.size(), width);
        AnsiCodePage::EncodeAppend(QStringView(value).left(used), out);
        out.append(width - used, ' ');
    }
}

// ---- TContent ----

TContent::TContent(const TFormat& format, bool ownsRecords) : FFormat(&format), FOwnsRecords(ownsRecords) {}

TContent::~TContent()
{
    Cleared = nullptr;  // nobody is told about the list's own end
    Clear();
}

void TContent::Add(TContentRec* rec) { FRecs.push_back(rec); }

void TContent::Add(std::unique_ptr<TContentRec> rec)
{
    Q_ASSERT(FOwnsRecords);  // a view list never takes a record of its own
    FRecs.push_back(rec.release());
}

int TContent::IndexOf(const TContentRec* rec) const
{
    const auto it = std::find(FRecs.begin(), FRecs.end(), rec);
    return it == FRecs.end() ? -1 : int(it - FRecs.begin());
}

void TContent::Delete(int index)
{
    TContentRec* rec = FRecs[size_t(index)];
    FRecs.erase(FRecs.begin() + index);
    if (FOwnsRecords)
        delete rec;
}

void TContent::Clear()
{
    if (FOwnsRecords)
        for (TContentRec* rec : FRecs)
            delete rec;
    FRecs.clear();
    if (Cleared)
        Cleared();
}

std::unique_ptr<TContentRec> TContent::Take(int index)
{
    Q_ASSERT(FOwnsRecords);
    TContentRec* rec = FRecs[size_t(index)];
    FRecs.erase(FRecs.begin() + index);
    return std::unique_ptr<TContentRec>(rec);
}

void TContent::Insert(int index, std::unique_ptr<TContentRec> rec)
{
    Q_ASSERT(FOwnsRecords);
    FRecs.insert(FRecs.begin() + index, rec.release());
}

void TContent::Rearrange(std::vector<TContentRec*> order)
{
    Q_ASSERT(order.size() == FRecs.size());
    FRecs = std::move(order);
}

std::unique_ptr<TContentRec> TContent::CreateNewOnRec(const TRec* Rec) const
{
    const auto& layout = FFormat->Layout(Rec);
    if (layout.empty())
        return nullptr;
    auto rec = std::make_unique<TContentRec>(*FFormat);
    rec->Rec = Rec;
    rec->FldList.reserve(layout.size());
    for (const TRule* rule : layout)
        rec->AddFld(rule, QString());
    return rec;
}

void TContent::CopyRec(const TContentRec& Rec1, TContentRec& Rec2)
{
    if (&Rec1 == &Rec2)
        return;
    Rec2.Rec = Rec1.Rec;
    Rec2.SortStr = Rec1.SortStr;
    Rec2.ClearFields();
    Rec2.FldList.reserve(Rec1.FldList.size());
    for (const TContentFld& fld : Rec1.FldList)
        Rec2.AddFld(fld.Rule, fld.Value());
}

bool TContent::RecDiffer(const TContentRec& Rec1, const TContentRec& Rec2)
{
    for (size_t i = 0; i < Rec1.FldList.size(); ++i)
        if (i >= Rec2.FldList.size() || Rec1.FldList[i].Value() != Rec2.FldList[i].Value())
            return true;
    return false;
}

TContentRec* TContent::AddFromString(QStringView Strn)
{
    const QString recId = Strn.left(6).toString();
    const TRec* recType = FFormat->GetRec(recId);
    const auto& layout = FFormat->Layout(recType);
    if (layout.empty())
        return nullptr;
    auto rec = std::make_unique<TContentRec>(*FFormat);
    rec->Rec = recType;
    rec->FldList.reserve(layout.size());
    qsizetype position = 0;
    for (const TRule* rule : layout) {
        const qsizetype width = std::max(0, rule->Size);
        const QStringView piece = position < Strn.size() ? Strn.mid(position, width) : QStringView();
        rec->AddFld(rule, TrimRightControls(piece).toString());
        position += width;
    }
    rec->CalcSortStr();
    TContentRec* added = rec.get();
    Add(std::move(rec));
    return added;
}
