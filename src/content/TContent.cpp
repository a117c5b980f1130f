#include "TContent.h"

#include "AnsiCodePage.h"
#include "StrUtils.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <type_traits>

// ---- TContentFld ----

QString TContentFld::Value() const { return ParentRec->Value(FIndex); }

TValueView TContentFld::View() const { return ParentRec->View(FIndex); }

void TContentFld::SetValue(QStringView v) { ParentRec->SetValue(FIndex, v); }

bool TContentFld::IsValid() const { return ParentRec->IsValid(FIndex); }

// ---- TFldList ----

size_t TFldList::size() const { return size_t(FRec->FldCount()); }

TContentFld TFldList::At(int i) const { return TContentFld(FRec, FRec->FldRule(i), i); }

// ---- TContentRec ----

void TContentRec::AddFld(const TRule* Rule, QStringView Val)
{
    // Fields come in layout order, so the rules are the layout of the rule's
    // record type.
    const std::vector<const TRule*>& layout = Rule->Key.Rec->Layout;
    const int index = FldCount();
    if (size_t(index) >= layout.size() || layout[size_t(index)] != Rule || (FRules && FRules != &layout)) {
        Q_ASSERT_X(false, "TContentRec::AddFld", "fields are added in the layout order of one record type");
        return;
    }
    FRules = &layout;
    FValues.Append(QStringView(), true);
    SetValue(index, Val);
}

void TContentRec::SetValue(int index, QStringView v)
{
    const TRule* rule = FldRule(index);
    FValues.Set(index, v, Format->StrIsValid(v, *rule));
    if (rule->IsAccountField && Account != v)
        Account = v.toString();
}

int TContentRec::FldIndex(const QString& FldID) const
{
    if (!Rec || !FRules)
        return -1;
    const TFld* fld = Format->GetFld(FldID);
    if (!fld)
        return -1;
    const auto end = FRules->begin() + FldCount();
    const auto it =
        std::find_if(FRules->begin(), end, [&](const TRule* rule) { return rule->Key.Fld == fld && rule->Key.Rec == Rec; });
    return it == end ? -1 : int(it - FRules->begin());
}

TContentFldPtr TContentRec::FindFld(const QString& FldID)
{
    const int index = FldIndex(FldID);
    return index < 0 ? TContentFldPtr() : TContentFldPtr(FldList[size_t(index)]);
}

QString TContentRec::GetVal(const QString& FldID) const { return GetChars(FldID).toString(); }

TValueView TContentRec::GetView(const QString& FldID) const
{
    const int index = FldIndex(FldID);
    return index < 0 ? TValueView() : View(index);
}

TValueChars TContentRec::GetChars(const QString& FldID) const { return FValues.Chars(FldIndex(FldID)); }

void TContentRec::SetVal(const QString& FldID, QStringView Val)
{
    const int index = FldIndex(FldID);
    if (index >= 0)
        SetValue(index, Val);
}

void TContentRec::DropValues()
{
    FValues.Clear();
    FRules = nullptr;
}

QString TContentRec::RecToString() const
{
    QString line;
    if (FldCount() < 2)
        return line;
    line.reserve(LineLength());
    for (int i = 0; i + 1 < FldCount(); ++i) {
        const qsizetype width = std::max(0, FldRule(i)->Size);
        const TValueChars value = FValues.Chars(i);
        const qsizetype used = std::min(value.size(), width);
        value.First(used).AppendTo(line);
        line.resize(line.size() + width - used, u' ');
    }
    return line;
}

qsizetype TContentRec::LineLength() const
{
    qsizetype width = 0;
    for (int i = 0; i + 1 < FldCount(); ++i)
        width += std::max(0, FldRule(i)->Size);
    return width;
}

void TContentRec::AppendLineBytes(QByteArray& out) const
{
    // The line as RecToString renders it, encoded field by field without
    // building the intermediate text.
    for (int i = 0; i + 1 < FldCount(); ++i) {
        const qsizetype width = FldRule(i)->Size;
        if (width <= 0)
            continue;
        const TValueChars value = FValues.Chars(i);
        const qsizetype used = std::min(value.size(), width);
        value.First(used).EncodeAppend(out);
        out.append(width - used, ' ');
    }
}

// ---- TContent ----

TContent::TContent(const TFormat& format, bool ownsRecords) : FFormat(&format), FOwnsRecords(ownsRecords) {}

TContent::~TContent()
{
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
    rec->FValues.Reserve(int(layout.size()), 0);
    for (const TRule* rule : layout)
        rec->AddFld(rule, QStringView());
    return rec;
}

void TContent::CopyRec(const TContentRec& Rec1, TContentRec& Rec2)
{
    if (&Rec1 == &Rec2)
        return;
    Rec2.Rec = Rec1.Rec;
    Rec2.SortStr = Rec1.SortStr;
    // The same values under the same rules are just as valid: the copy shares
    // them until one of the two changes.
    Rec2.FValues = Rec1.FValues;
    Rec2.FRules = Rec1.FRules;
    for (int i = 0; i < Rec2.FldCount(); ++i)
        if (Rec2.FldRule(i)->IsAccountField)
            Rec2.Account = Rec1.FValues.Chars(i) == Rec1.Account ? Rec1.Account : Rec1.Value(i);
}

bool TContent::RecDiffer(const TContentRec& Rec1, const TContentRec& Rec2)
{
    for (int i = 0; i < Rec1.FldCount(); ++i)
        if (i >= Rec2.FldCount() || Rec1.FValues.Chars(i) != Rec2.FValues.Chars(i))
            return true;
    return false;
}

namespace {

// A line either as text or as the file's bytes: Windows-1251 gives the
// blanks and control characters (up to 32) the bytes of the same values and
// no other character a value as low, so a line is cut and trimmed alike in
// both forms.
bool NamesType(QStringView line, const QString& recId) { return line.size() >= 6 && line.left(6) == recId; }

bool NamesType(QByteArrayView line, const QString& recId)
{
    if (line.size() < 6 || recId.size() != 6)
        return false;
    for (int i = 0; i < 6; ++i)
        if (uchar(line[i]) >= 128 || QChar(char16_t(uchar(line[i]))) != recId[i])
            return false;
    return true;
}

QString TypeText(QStringView line) { return line.left(6).toString(); }

QString TypeText(QByteArrayView line) { return AnsiCodePage::Decode(line.first(std::min<qsizetype>(6, line.size()))); }

// Whether the values of a line need UTF-16 rather than the file's code page.
template <typename Pieces>
bool NeedsUtf16(const Pieces& pieces)
{
    if constexpr (std::is_same_v<typename Pieces::value_type, QStringView>)
        return !std::all_of(pieces.begin(), pieces.end(), [](QStringView p) { return AnsiCodePage::CanEncode(p); });
    return false;
}

// Whether any of eight bytes is above 32: its high bit, or the low seven
// bits plus 95 reaching it (no sum carries into the next byte).
inline bool AnyAboveBlank(quint64 word)
{
    constexpr quint64 Low7 = 0x7F7F7F7F7F7F7F7Full, Add95 = 0x5F5F5F5F5F5F5F5Full, High = 0x8080808080808080ull;
    return ((word | ((word & Low7) + Add95)) & High) != 0;
}

// Most of a line is blanks that fill its fields: they are passed over eight at a time.
QByteArrayView TrimRightControls(QByteArrayView bytes)
{
    qsizetype end = bytes.size();
    while (end >= 8) {
        quint64 word;
        std::memcpy(&word, bytes.data() + end - 8, sizeof word);
        if (AnyAboveBlank(word))
            break;
        end -= 8;
    }
    while (end > 0 && uchar(bytes[end - 1]) <= 32)
        --end;
    return bytes.first(end);
}

}  // namespace

template <typename Line>
std::unique_ptr<TContentRec> TContent::ParseText(const TFormat& format, Line line, const TContentRec* previous)
{
    // Most lines are of the type of the line before.
    const TRec* recType = previous && previous->Rec && NamesType(line, previous->Rec->RecID)
                              ? previous->Rec
                              : format.GetRec(TypeText(line));
    const auto& layout = format.Layout(recType);
    if (layout.empty())
        return nullptr;
    // Every value is measured first, so that the record's values take one
    // block of the right size.
    QVarLengthArray<Line, 64> pieces(qsizetype(layout.size()));
    qsizetype chars = 0;
    qsizetype position = 0;
    for (size_t i = 0; i < layout.size(); ++i) {
        const qsizetype width = std::max(0, layout[i]->Size);
        // The array leaves views uninitialised: each gets a value here.
        const Line piece = position < line.size()
                               ? TrimRightControls(line.sliced(position, std::min(width, line.size() - position)))
                               : Line();
        pieces[qsizetype(i)] = piece;
        chars += piece.size();
        position += width;
    }
    auto rec = std::make_unique<TContentRec>(format);
    rec->Rec = recType;
    rec->FRules = &layout;
    rec->FValues.Reserve(int(layout.size()), chars, NeedsUtf16(pieces));
    rec->FValues.AppendReserved(std::span<const Line>(pieces.constData(), size_t(pieces.size())));
    for (int i = 0; i < int(layout.size()); ++i) {
        const TRule* rule = layout[size_t(i)];
        const Line value = pieces[i];  // what the record now keeps
        if (!format.StrIsValid(value, *rule))
            rec->FValues.SetValid(i, false);
        if (rule->IsAccountField) {
            const TValueChars chars(value);
            rec->Account = previous && chars == QStringView(previous->Account) ? previous->Account : chars.toString();
        }
    }
    rec->CalcSortStr();
    return rec;
}

std::unique_ptr<TContentRec> TContent::ParseLine(const TFormat& format, QStringView Strn, const TContentRec* previous)
{
    return ParseText(format, Strn, previous);
}

std::unique_ptr<TContentRec> TContent::ParseFileLine(const TFormat& format, QByteArrayView line,
                                                     const TContentRec* previous)
{
    return ParseText(format, line, previous);
}

TContentRec* TContent::AddFromString(QStringView Strn)
{
    std::unique_ptr<TContentRec> rec = ParseLine(*FFormat, Strn, FRecs.empty() ? nullptr : FRecs.back());
    if (!rec)
        return nullptr;
    TContentRec* added = rec.get();
    Add(std::move(rec));
    return added;
}

void TContent::Append(std::vector<std::unique_ptr<TContentRec>>& recs)
{
    FRecs.reserve(FRecs.size() + recs.size());
    for (auto& rec : recs)
        Add(std::move(rec));
    recs.clear();
}
