#pragma once

#include <QString>

class QComboBox;
class TContent;
class TContentRec;

// The account filter list (cbFilter): "<Все записи>", one item per account,
// and "Без счёта/Header/Trailer". It is rebuilt by every ShowContent.
class TAccountFilter {
public:
    static inline const QString AllRecordsText = QStringLiteral("<Все записи>");
    static inline const QString NoAccountText = QStringLiteral("Без счёта/Header/Trailer");

    // Gives the box its look: 439 px, bold 13 px Courier New, up to 20 items
    // dropped down, no Tab stop, the hint as tool tip.
    explicit TAccountFilter(QComboBox& box);

    // Refills the list from the content list and selects the item that shows
    // FocusRec: "<Все записи>" when none, the last item for a record without account.
    void Rebuild(const TContent& content, const TContentRec* FocusRec);

    bool AllRecordsSelected() const;

private:
    QComboBox& FBox;
};
