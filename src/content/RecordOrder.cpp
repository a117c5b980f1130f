// Record ordering: the sort key of a record and the two sorts of the list.
//
// The key is built from the record type and a few identifying field values,
// left-aligned in fixed widths and separated by runs of "z", so that a plain
// code-unit comparison of keys yields the account hierarchy.

#include "StrUtils.h"
#include "TContent.h"

#include <algorithm>

namespace {

QString Zs(int n) { return QString(n, u'z'); }

QString Pad(const TContentRec& rec, const char* fldId, int width)
{
    return PadRight(rec.GetVal(QString::fromLatin1(fldId)), width);
}

QString HolderKey(const TContentRec& rec, const QString& account)
{
    return account + Zs(5) + Pad(rec, "310065", 2);
}

QString SortKeyOf(const TContentRec& rec)
{
    const QString& type = rec.Rec->RecID;
    if (type == u"300000")
        return QString();
    if (type == u"300999")
        return Zs(38);
    const QString account = PadRight(rec.Account, 20);
    if (type == u"300100")
        return account;
    if (type == u"300210")
        return account + Pad(rec, "310059", 4);
    if (type == u"300300")
        return HolderKey(rec, account);
    if (type == u"300500")
        return HolderKey(rec, account) + Pad(rec, "310087", 1);
    if (type == u"300600")
        return HolderKey(rec, account) + Zs(2);
    if (type == u"300620")
        return HolderKey(rec, account) + Zs(2) + Pad(rec, "310475", 2);
    if (type == u"300630")
        return HolderKey(rec, account) + Zs(5);
    if (type == u"300640")
        return HolderKey(rec, account) + Zs(5) + Pad(rec, "310496", 4);
    return account + Zs(17) + type;
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

bool TContent::SortsBefore(const TContentRec* a, const TContentRec* b) const
{
    // The keys alone would put an account whose first character lies above "z"
    // (any Cyrillic letter) behind the Trailer; the Header and the Trailer are
    // therefore ranked before and after every other record first.
    auto rank = [this](const TContentRec* r) {
        return r->Rec == FFormat->HeaderRec ? 0 : r->Rec == FFormat->TrailerRec ? 2 : 1;
    };
    const int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb;
    return CompareOrdinal(a->SortStr, b->SortStr) < 0;
}

void TContent::SortRec()
{
    std::sort(FRecs.begin(), FRecs.end(),
              [this](const TContentRec* a, const TContentRec* b) { return SortsBefore(a, b); });
}

void TContent::SortRec2()
{
    // Record type id followed by the key: the ids are six-digit strings, so the
    // joined comparison is the type first, then the key.
    std::sort(FRecs.begin(), FRecs.end(), [](const TContentRec* a, const TContentRec* b) {
        const QString& ta = a->Rec ? a->Rec->RecID : QString();
        const QString& tb = b->Rec ? b->Rec->RecID : QString();
        if (ta.size() == tb.size()) {
            if (const int c = CompareOrdinal(ta, tb))
                return c < 0;
            return CompareOrdinal(a->SortStr, b->SortStr) < 0;
        }
        return CompareOrdinal(ta + a->SortStr, tb + b->SortStr) < 0;
    });
}
