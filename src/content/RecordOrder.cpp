// Record ordering: the sort key of a record and the two sorts of the list.
//
// The key is built from the record type and a few identifying field values,
// left-aligned in fixed widths and separated by runs of "z", so that a plain
// code-unit comparison of keys yields the account hierarchy.

#include "StrUtils.h"
#include "TContent.h"


#include <algorithm>
#include <array>

namespace {

// Where a field lies in the record's layout. Every record gets a key as it
// is read, so the place is remembered per record type and thread and only
// checked on each use, rather than looked up by id.
int FieldPosition(const TContentRec& rec, const QString& fldId)
{
    struct TRemembered {
        const TRec* Type = nullptr;
        const QString* FldId = nullptr;
        int Index = -1;
    };
    thread_local std::array<TRemembered, 16> remembered;
    thread_local size_t next = 0;
    const auto holds = [&](int i) {
        const TRule* rule = rec.FldRule(i);
        return rule->Key.Rec == rec.Rec && rule->FldID() == fldId;
    };
    for (const TRemembered& r : remembered)
        if (r.Type == rec.Rec && r.FldId == &fldId && r.Index < rec.FldCount() && holds(r.Index))
            return r.Index;
    for (int i = 0; i < rec.FldCount(); ++i)
        if (holds(i)) {
            remembered[next++ % remembered.size()] = {rec.Rec, &fldId, i};
            return i;
        }
    return -1;
}

// A key built in one string: each piece is a value left-aligned in a fixed
// width (cut to it) or a run of "z". Every record gets a key as it is read,
// so the key is written in place and kept in a string of its exact length.
class TKeyText {
public:
    explicit TKeyText(const TContentRec& rec) : FRec(rec) {}

    TKeyText& Padded(const TValueChars& value, qsizetype width)
    {
        width = std::min(width, Room());
        const qsizetype n = std::min(value.size(), width);
        value.First(n).DecodeTo(FText + FSize);
        std::fill(FText + FSize + n, FText + FSize + width, u' ');
        FSize += width;
        return *this;
    }
    TKeyText& Field(const QString& fldId, qsizetype width)
    {
        return Padded(FRec.Chars(FieldPosition(FRec, fldId)), width);
    }
    TKeyText& Zs(qsizetype n)
    {
        n = std::min(n, Room());
        std::fill(FText + FSize, FText + FSize + n, u'z');
        FSize += n;
        return *this;
    }
    TKeyText& Text(QStringView text) { return Padded(text, text.size()); }
    QString Take() const { return QString(reinterpret_cast<const QChar*>(FText), FSize); }

private:
    qsizetype Room() const { return qsizetype(std::size(FText)) - FSize; }

    const TContentRec& FRec;
    char16_t FText[64];  // more than the longest key
    qsizetype FSize = 0;
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
    key.Padded(QStringView(rec.Account), AccountWidth);
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
// The accounts of a file mostly share their first characters, so each entry
// also holds the eight code units of its key after what every account key
// shares, packed so that comparing the numbers compares those units: most
// comparisons end there without reading the key from memory.
struct RankedKey {
    quint64 High;
    quint64 Low;
    QStringView Key;
    TContentRec* Rec;
    int Rank;
};

// The code units of `key` from `from` on, four to a number, highest first;
// units past the end count as 0, and a tie falls back to the whole key.
quint64 PackedUnits(QStringView key, qsizetype from)
{
    quint64 packed = 0;
    for (qsizetype i = from; i < from + 4; ++i)
        packed = packed << 16 | (i < key.size() ? key[i].unicode() : 0u);
    return packed;
}

// How many leading code units every key of an account's records shares.
qsizetype SharedKeyStart(const std::vector<TContentRec*>& recs, const TFormat& format)
{
    QStringView shared;
    bool first = true;
    for (const TContentRec* rec : recs) {
        if (Rank(format, rec) != 1)
            continue;
        const QStringView key = rec->SortStr;
        if (first) {
            shared = key;
            first = false;
            continue;
        }
        qsizetype n = 0;
        while (n < shared.size() && n < key.size() && shared[n] == key[n])
            ++n;
        shared = shared.first(n);
        if (shared.isEmpty())
            break;
    }
    return shared.size();
}

bool RankedLess(const RankedKey& a, const RankedKey& b)
{
    if (a.Rank != b.Rank)
        return a.Rank < b.Rank;
    if (a.High != b.High)
        return a.High < b.High;
    if (a.Low != b.Low)
        return a.Low < b.Low;
    return CompareOrdinal(a.Key, b.Key) < 0;
}

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
    const qsizetype shared = SharedKeyStart(FRecs, *FFormat);
    const auto entry = [this, shared](TContentRec* r) {
        const int rank = Rank(*FFormat, r);
        const QStringView key = r->SortStr;
        // Only the keys of rank 1 share the start; the others tie here and
        // are told apart by the whole key.
        if (rank != 1)
            return RankedKey{0, 0, key, r, rank};
        return RankedKey{PackedUnits(key, shared), PackedUnits(key, shared + 4), key, r, rank};
    };
    SortRecords<RankedKey>(FRecs, entry, [](const RankedKey& a, const RankedKey& b) { return RankedLess(a, b); });
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
