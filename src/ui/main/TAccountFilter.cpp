#include "TAccountFilter.h"

#include "TContent.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QComboBox>
#include <QHash>
#include <QListView>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

using UvoIds::FirstNameFld;
using UvoIds::HolderNumberFld;
using UvoIds::SurnameFld;
const QString PrimaryHolder = QStringLiteral("01");

constexpr int DropDownExtra = 24;  // beyond the widest holder name

// An item of the box; an account's item also names where its records stand
// on the list of records by item that the rebuild made.
struct TFilterItem {
    QString Text;
    QString Account;
    size_t First = 0;
    size_t Count = 0;
};

constexpr quint32 NoAccountItem = quint32(-1);  // a record without account

QString WithoutTrailingSpaces(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

// Where a field stands in the records of one type: every record of a type has
// the fields of its layout in layout order, so the place is found once.
class TFieldPlace {
public:
    TFieldPlace(const TFormat& format, const TRec* rec, const QString& fldId)
    {
        const std::vector<const TRule*>& layout = format.Layout(rec);
        const auto it = std::find_if(layout.begin(), layout.end(), [&](const TRule* rule) { return rule->FldID() == fldId; });
        if (it != layout.end()) {
            FRule = *it;
            FIndex = size_t(it - layout.begin());
        }
    }

    TValueView Value(const TContentRec& rec) const
    {
        if (int(FIndex) < rec.FldCount() && rec.FldRule(int(FIndex)) == FRule)
            return rec.View(int(FIndex));
        return FRule ? rec.GetView(FRule->FldID()) : TValueView();
    }

private:
    const TRule* FRule = nullptr;
    size_t FIndex = size_t(-1);
};

// The widest holder text, for the drop-down list. Laying out a text to measure
// it costs more than the rest of a rebuild with thousands of accounts, so a
// text is measured only when the sum of its characters' widths (kept per
// character) shows that it may come near the box's width; shorter texts
// cannot widen the list.
class TWidestText {
public:
    TWidestText(const QFont& font, int boxWidth, std::vector<qint16>& charWidths)
        : FMetrics(font), FThreshold(boxWidth - DropDownExtra - Slack), FCharWidths(charWidths)
    {
        FCharWidths.resize(0x10000, -1);
    }

    void Add(const QString& text)
    {
        if (Estimate(text) >= FThreshold)
            FWidest = std::max(FWidest, FMetrics.horizontalAdvance(text));
    }
    int Widest() const { return FWidest; }

private:
    static constexpr int Slack = 40;  // more than kerning and shaping can shift a line of text

    int Estimate(const QString& text)
    {
        int width = 0;
        for (const QChar c : text) {
            qint16& known = FCharWidths[c.unicode()];
            if (known < 0)
                known = qint16(std::min(FMetrics.horizontalAdvance(c), int(SHRT_MAX)));
            width += known;
        }
        return width;
    }

    QFontMetrics FMetrics;
    int FThreshold;
    int FWidest = 0;
    std::vector<qint16>& FCharWidths;  // by UTF-16 code unit; -1 until measured
};

struct TAccountOfRec {
    const QString* Account;  // the record's own text, which lives as long as it
    const TRec* Type;
    TContentRec* Rec;
};

// The account of every record, gathered in a pass that does nothing else: the
// records lie all over memory, and a loop this simple fetches many of them at
// once, where a loop that works on each in turn waits for every one.
std::vector<TAccountOfRec> AccountsOf(const TContent& content)
{
    std::vector<TAccountOfRec> accounts(content.Records().size());
    for (size_t i = 0; i < accounts.size(); ++i) {
        TContentRec* rec = content.Records()[i];
        accounts[i] = {&rec->Account, rec->Rec, rec};
    }
    return accounts;
}

// The records of one account mostly share the text itself.
bool SameText(const QString& a, const QString& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

// Lists the records item by item, each item's in content order, and notes
// each item's place on the list; the records without account come last, from
// the place returned.
size_t ListRecordsByItem(const std::vector<quint32>& itemOfRec, std::vector<TFilterItem>& items,
                         std::vector<quint32>& recsByItem)
{
    std::vector<size_t> next(items.size());
    size_t first = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].First = next[i] = first;
        first += items[i].Count;
    }
    const size_t withAccount = first;
    size_t nextWithout = withAccount;
    recsByItem.resize(itemOfRec.size());
    for (size_t i = 0; i < itemOfRec.size(); ++i)
        recsByItem[itemOfRec[i] == NoAccountItem ? nextWithout++ : next[itemOfRec[i]]++] = quint32(i);
    return withAccount;
}

// An account's item text: the account and the primary holder's name.
QString HolderText(const QString& account, const TValueView& surname, const TValueView& firstName)
{
    QString text;
    text.reserve(account.size() + surname.size() + firstName.size() + 2);
    text.append(account).append(QLatin1Char(' ')).append(surname.View()).append(QLatin1Char(' ')).append(firstName.View());
    return WithoutTrailingSpaces(std::move(text));
}

void SortByText(std::vector<TFilterItem>& items)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, size_t>> keys;
    keys.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        keys.emplace_back(collator.sortKey(items[i].Text), i);
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    std::vector<TFilterItem> sorted;
    sorted.reserve(items.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(items[key.second]));
    items = std::move(sorted);
}

}  // namespace

// The items of the box: a plain list, replaced whole at every rebuild, so a
// file with thousands of accounts fills the box in one step.
class TFilterItems : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Reset(std::vector<TFilterItem> items)
    {
        beginResetModel();
        FItems = std::move(items);
        endResetModel();
    }
    const TFilterItem& Item(int row) const { return FItems[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(FItems.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return FItems[size_t(index.row())].Text;
    }

private:
    std::vector<TFilterItem> FItems;
};

TAccountFilter::TAccountFilter(QComboBox& box) : FBox(box), FItems(new TFilterItems(&box))
{
    FBox.setObjectName(QStringLiteral("cbFilter"));
    FBox.setEditable(false);
    FBox.setFixedWidth(439);
    FBox.setMaxVisibleItems(20);
    FBox.setFocusPolicy(Qt::ClickFocus);
    FBox.setToolTip(QStringLiteral("Отбор по номеру счёта"));
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(13);
    font.setBold(true);
    FBox.setFont(font);
    // A plain list, not the menu some styles drop down (as tall as the screen
    // and grey): 20 rows at most, black on white like the box itself.
    FBox.setStyleSheet(QStringLiteral("QComboBox { color: black; background: white; combobox-popup: 0; }"
                                      "QComboBox QAbstractItemView { color: black; background: white; }"));
    // The box is as wide as it is told; its size needs no look at thousands of items.
    FBox.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    FBox.setModel(FItems);
    if (auto* list = qobject_cast<QListView*>(FBox.view()))
        list->setUniformItemSizes(true);
    // The menu-like popup had its scroll bar turned off; the list needs it.
    FBox.view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

TAccountFilter::~TAccountFilter() = default;

void TAccountFilter::Rebuild(const TContent& content, const TContentRec* FocusRec)
{
    std::vector<TFilterItem> items;
    TWidestText widest(FBox.font(), FBox.width(), FCharWidths);
    const TFormat& format = content.Format();
    const TFieldPlace holderNumber(format, format.ConsumerRec, HolderNumberFld);
    const TFieldPlace surname(format, format.ConsumerRec, SurnameFld);
    const TFieldPlace firstName(format, format.ConsumerRec, FirstNameFld);
    const std::vector<TAccountOfRec> accounts = AccountsOf(content);
    std::vector<quint32> itemOfRec(accounts.size(), NoAccountItem);
    QHash<QStringView, quint32> itemOf;  // account -> its item
    quint32 item = 0;
    const QString* lastAccount = nullptr;  // the records of one account mostly follow each other
    for (size_t i = 0; i < accounts.size(); ++i) {
        const TAccountOfRec& each = accounts[i];
        if (each.Account->isEmpty())
            continue;
        if (!lastAccount || !SameText(*each.Account, *lastAccount)) {
            auto found = itemOf.constFind(*each.Account);
            if (found == itemOf.constEnd()) {
                const QString account = QStringView(*each.Account).toString();
                found = itemOf.insert(account, quint32(items.size()));
                items.push_back({account, account});
            }
            item = *found;
            lastAccount = each.Account;
        }
        itemOfRec[i] = item;
        ++items[item].Count;
        if (each.Type == format.ConsumerRec && holderNumber.Value(*each.Rec) == PrimaryHolder) {
            // A later primary holder of the same account overwrites an earlier one.
            items[item].Text = HolderText(items[item].Account, surname.Value(*each.Rec), firstName.Value(*each.Rec));
            widest.Add(items[item].Text);
        }
    }
    const size_t withAccount = ListRecordsByItem(itemOfRec, items, FRecsByItem);
    SortByText(items);
    items.insert(items.begin(), {AllRecordsText, QString()});
    items.push_back({NoAccountText, QString(), withAccount, accounts.size() - withAccount});
    FItems->Reset(std::move(items));
    FListedCount = content.Count();
    FBox.setCurrentIndex(0);
    FitDropDown(widest.Widest());
    SelectFor(FocusRec);
}

void TAccountFilter::ContentChanged()
{
    FListedCount = -1;
    FRecsByItem.clear();
}

bool TAccountFilter::SelectFor(const TContentRec* FocusRec)
{
    const int before = FBox.currentIndex();
    int chosen = 0;
    if (FocusRec && FocusRec->Account.isEmpty())
        chosen = FBox.count() - 1;
    else if (FocusRec)
        for (int i = 1; i < FBox.count() - 1; ++i)
            if (FItems->Item(i).Account == FocusRec->Account) {
                chosen = i;
                break;
            }
    FBox.setCurrentIndex(chosen);
    return chosen != before;
}

void TAccountFilter::FitDropDown(int widest)
{
    const int wanted = widest + DropDownExtra;
    FBox.view()->setMinimumWidth(wanted > FBox.width() ? wanted : 0);
}

int TAccountFilter::DropDownWidth() const { return std::max(FBox.width(), FBox.view()->minimumWidth()); }

bool TAccountFilter::AllRecordsSelected() const { return FBox.currentIndex() == 0; }

std::optional<TFilterSelection> TAccountFilter::Selection(const TContent& content) const
{
    const int index = FBox.currentIndex();
    if (index < 0)
        return std::nullopt;
    if (index == 0)
        return TFilterSelection{InTypeOrder(content), std::nullopt};
    const TFilterItem& item = FItems->Item(index);
    TFilterSelection chosen{{}, item.Account};  // an empty account for the last item
    if (std::optional<std::vector<TContentRec*>> listed = Listed(content, index))
        chosen.Recs = std::move(*listed);
    else
        for (TContentRec* rec : content.Records())
            if (rec->Account == item.Account)
                chosen.Recs.push_back(rec);
    return chosen;
}

std::optional<std::vector<TContentRec*>> TAccountFilter::Listed(const TContent& content, int index) const
{
    const TFilterItem& item = FItems->Item(index);
    if (content.Count() != FListedCount)
        return std::nullopt;
    std::vector<TContentRec*> recs;
    recs.reserve(item.Count);
    for (size_t i = item.First; i < item.First + item.Count; ++i) {
        TContentRec* rec = content[int(FRecsByItem[i])];
        if (rec->Account != item.Account)
            return std::nullopt;  // changed where no signal told
        recs.push_back(rec);
    }
    return recs;
}

std::vector<TContentRec*> TAccountFilter::InTypeOrder(const TContent& content)
{
    TContent recs(content.Format(), false);
    recs.Reserve(content.Count());
    for (TContentRec* rec : content.Records())
        recs.Add(rec);
    recs.SortRec2();
    return recs.Records();
}
