#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

class QComboBox;
class TContent;
class TContentRec;
class TFilterItems;

// What the selected filter item shows: the records in display order and the
// filter account (none for "<Все записи>").
struct TFilterSelection {
    std::vector<TContentRec*> Recs;
    std::optional<QString> Account;
};

// The account filter list (cbFilter): "<Все записи>", one item per account,
// and "Без счёта/Header/Trailer". It is rebuilt by every ShowContent, which
// also lists the records of each account item, so that choosing an item reads
// its records only.
class TAccountFilter {
public:
    static inline const QString AllRecordsText = QStringLiteral("<Все записи>");
    static inline const QString NoAccountText = QStringLiteral("Без счёта/Header/Trailer");

    // Gives the box its look: 439 px, bold 13 px Courier New, up to 20 items
    // dropped down, no Tab stop, the hint as tool tip.
    explicit TAccountFilter(QComboBox& box);
    ~TAccountFilter();

    // Refills the list from the content list and selects the item that shows
    // FocusRec: "<Все записи>" when none, the last item for a record without account.
    void Rebuild(const TContent& content, const TContentRec* FocusRec);

    // Selects the item that shows FocusRec, as a rebuild does; true when
    // another item than before is selected now.
    bool SelectFor(const TContentRec* FocusRec);

    // The records changed without a rebuild: the lists it made are forgotten,
    // and choices read the whole content until the next rebuild.
    void ContentChanged();

    bool AllRecordsSelected() const;
    // The records the selected item shows; none when no item is selected.
    std::optional<TFilterSelection> Selection(const TContent& content) const;
    // The width the list opens with: the box's, or more for long holder names.
    int DropDownWidth() const;

private:
    void FitDropDown(int widest);
    // The records of the account item index as the rebuild listed them; none
    // when the content has changed since.
    std::optional<std::vector<TContentRec*>> Listed(const TContent& content, int index) const;
    static std::vector<TContentRec*> InTypeOrder(const TContent& content);

    QComboBox& FBox;
    TFilterItems* FItems;
    std::vector<qint16> FCharWidths;  // of the box's font, kept from one rebuild to the next
    // The places in the content of the records of every account item, item
    // after item, as the last rebuild found them among FListedCount records;
    // -1 once the document has announced a change.
    std::vector<quint32> FRecsByItem;
    int FListedCount = -1;
};
