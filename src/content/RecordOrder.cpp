// Record ordering: the sort key of a record and the two sorts of the list.
//
// The key is built from the record type and a few identifying field values,
// left-aligned in fixed widths and separated by runs of "z", so that a plain
// code-unit comparison of keys yields the account hierarchy.

#include "StrUtils.h"
#include "TContent.h"

#include <algorithm>

namespace {

// A key built in one string: each piece is a value left-aligned in a fixed
// width (cut to it) or a run of "z". Every record gets a key as it is read,
// so the key is written in place rather than joined from pieces.
class TKeyText {
public:
    explicit TKeyText(const TContentRec& rec) : FRec(rec) { FText.reserve(48); }

    TKeyText& Padded(QStringView value, qsizetype width)
    {
        const qsizetype n = std::min(value.size(), width);
        FText.append(value.first(n));
        FText.resize(FText.size() + width - n, u' ');
        return *this;
    }
    TKeyText& Field(const QString& fldId, qsizetype width)
    {
        const TValueView value = FRec.GetView(fldId);
        return Padded(value, width);
    }
    TKeyText& Zs(qsizetype n)
    {
        FText.resize(FText.size() + n, u'z');
        return *this;
    }
    TKeyText& Text(QStringView text)
    {
        FText.append(text);
        return *this;
    }
    QString Take() { return std::move(FText); }

private:
    const TContentRec& FRec;
    QString FText;
};

constexpr qsizetype AccountWidth = 20;

TKeyText& HolderKey(TKeyText& key) { return key.Zs(5).Field(UvoIds::HolderNumberFld, 2); }

QString SortKeyOf(const TContentRec& rec)
{
    using namespace UvoIds;
    const QString& type = rec.Rec->RecID;
    if (type == HeaderRecID)
        return QString();
    if (type == TrailerRecID)
        return QString(38, u'z');
    TKeyText key(rec);
    key.Padded(rec.Account, AccountWidth);
    if (type == AccountRecID)
        return key.Take();
    if (type == AccountHistoryRecID)
        return key.Field(HistoryNumberFld, 4).Take();
    if (type == ConsumerRecID)
        return HolderKey(key).Take();
    if (type == ConsumerAddressRecID)
        return HolderKey(key).Field(AddressTypeFld, 1).Take();
    if (type == EmployerDetailsRecID)
        return HolderKey(key).Zs(2).Take();
    if (type == LegalRecID)
        return HolderKey(key).Zs(2).Field(JudgmentTypeFld, 2).Take();
    if (type == WarrantyRecID)
        return HolderKey(key).Zs(5).Take();
    if (type == WarrantyHistoryRecID)
        return HolderKey(key).Zs(5).Field(HistoryRecordNumberFld, 4).Take();
    return key.Zs(17).Text(type).Take();
}

// Ordinal comparison of UTF-16 code units; a proper prefix sorts first.
inline int CompareOrdinal(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseSensitive);
}

}  // namespace

void TContentRec::CalcSortStr()
{
    SortStr = Rec ? SortKeyOf(*this) : QString();
}

namespace {

// The keys alone would put an account whose first character lies above "z"
// (any Cyrillic letter) behind the Trailer; the Header and the Trailer are
// therefore ranked before and after every other record first.
int Rank(const TFormat& format, const TContentRec* rec)
{
    return rec->Rec == format.HeaderRec ? 0 : rec->Rec == format.TrailerRec ? 2 : 1;
}

// What a sort compares, beside the record, in one array: a comparison reads
// the keys' characters and no record, and the sort moves small entries.
struct RankedKey {
    QStringView Key;
    TContentRec* Rec;
    int Rank;
};

struct TypedKey {
    QStringView Type;
    QStringView Key;
    TContentRec* Rec;
};

// Sorts the records by their entries. A list is mostly in order already
// (records appended to a sorted list by an add, a copy or an import): only
// the part behind its ordered beginning is sorted, then merged in.
template <typename Entry, typename MakeEntry, typename Less>
void SortRecords(std::vector<TContentRec*>& recs, MakeEntry makeEntry, Less less)
{
    std::vector<Entry> entries;
    entries.reserve(recs.size());
    for (TContentRec* rec : recs)
        entries.push_back(makeEntry(rec));
    const auto orderedEnd = std::is_sorted_until(entries.begin(), entries.end(), less);
    std::sort(orderedEnd, entries.end(), less);
    std::inplace_merge(entries.begin(), orderedEnd, entries.end(), less);
    for (size_t i = 0; i < entries.size(); ++i)
        recs[i] = entries[i].Rec;
}

QString Joined(const TypedKey& entry) { return entry.Type.toString().append(entry.Key); }

// The grouping by type of a list in account order: each type's records are
// taken out in their order, which is mostly their key order already, so the
// sort of each group has little left to do. Only where every record has a
// type and every id is as long as the others, which makes the order of the
// groups the order of their ids; false, doing nothing, otherwise.
template <typename MakeEntry, typename Less>
bool SortByTypeRuns(std::vector<TContentRec*>& recs, MakeEntry makeEntry, Less less)
{
    std::vector<std::pair<const TRec*, std::vector<TContentRec*>>> groups;
    for (TContentRec* rec : recs) {
        if (!rec->Rec || (!groups.empty() && rec->Rec->RecID.size() != groups.front().first->RecID.size()))
            return false;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == rec->Rec; });
        if (group == groups.end())
            group = groups.insert(groups.end(), {rec->Rec, {}});
        group->second.push_back(rec);
    }
    std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.first->RecID < b.first->RecID; });
    recs.clear();
    for (auto& [type, members] : groups) {
        SortRecords<TypedKey>(members, makeEntry, less);
        recs.insert(recs.end(), members.begin(), members.end());
    }
    return true;
}

}  // namespace

bool TContent::SortsBefore(const TContentRec* a, const TContentRec* b) const
{
    const int ra = Rank(*FFormat, a), rb = Rank(*FFormat, b);
    if (ra != rb)
        return ra < rb;
    return CompareOrdinal(a->SortStr, b->SortStr) < 0;
}

void TContent::SortRec()
{
    // The order of SortsBefore.
    const auto entry = [this](TContentRec* r) { return RankedKey{r->SortStr, r, Rank(*FFormat, r)}; };
    SortRecords<RankedKey>(FRecs, entry, [](const RankedKey& a, const RankedKey& b) {
        if (a.Rank != b.Rank)
            return a.Rank < b.Rank;
        return CompareOrdinal(a.Key, b.Key) < 0;
    });
}

void TContent::SortRec2()
{
    // Record type id followed by the key: the ids are six-digit strings, so the
    // joined comparison is the type first, then the key.
    const auto entry = [](TContentRec* r) {
        return TypedKey{r->Rec ? QStringView(r->Rec->RecID) : QStringView(), r->SortStr, r};
    };
    const auto less = [](const TypedKey& a, const TypedKey& b) {
        if (a.Type.size() == b.Type.size()) {
            if (const int c = CompareOrdinal(a.Type, b.Type))
                return c < 0;
            return CompareOrdinal(a.Key, b.Key) < 0;
        }
        return CompareOrdinal(Joined(a), Joined(b)) < 0;
    };
    if (!SortByTypeRuns(FRecs, entry, less))
        SortRecords<TypedKey>(FRecs, entry, less);
}
