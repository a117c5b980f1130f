#include "TRecordPopup.h"

#include "TFormat.h"

#include <vector>

TRecordPopup::TRecordPopup(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("mnVTPopup"));
    mnEditRec = addAction(QStringLiteral("Редактировать запись"));
    mnEditRec->setObjectName(QStringLiteral("mnEditRec"));
    QFont bold = mnEditRec->font();
    bold.setBold(true);
    mnEditRec->setFont(bold);
    setDefaultAction(mnEditRec);
    mnCopyRec = addAction(QStringLiteral("Копировать запись"));
    mnCopyRec->setObjectName(QStringLiteral("mnCopyRec"));
    mnSubAddRec = addMenu(QStringLiteral("Добавить запись"));
    mnSubAddRec->setObjectName(QStringLiteral("mnSubAddRec"));
    mnDeleteRec = addAction(QStringLiteral("Удалить запись"));
    mnDeleteRec->setObjectName(QStringLiteral("mnDeleteRec"));
}

void TRecordPopup::FillSubMenu(const TFormat& format)
{
    mnSubAddRec->clear();
    std::vector<const TRec*> recs;
    format.GetActiveRecs(recs);
    for (const TRec* rec : recs) {
        QAction* item = mnSubAddRec->addAction(rec->Name);
        item->setObjectName(QLatin1Char('M') + rec->RecID);
        // The id travels in the item's name; dropping the "M" gives it back.
        connect(item, &QAction::triggered, this, [this, item] { emit AddRecChosen(item->objectName().mid(1)); });
    }
}

void TRecordPopup::EnableRecordItems(bool onGrid)
{
    mnEditRec->setEnabled(onGrid);
    mnCopyRec->setEnabled(onGrid);
    mnDeleteRec->setEnabled(onGrid);
}
