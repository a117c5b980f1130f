#include "TAccountFilter.h"

#include "TContent.h"

#include <QComboBox>

TAccountFilter::TAccountFilter(QComboBox& box) : FBox(box)
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
    FBox.setStyleSheet(QStringLiteral("QComboBox { color: black; background: white; }"));
}

void TAccountFilter::Rebuild(const TContent& /*content*/, const TContentRec* FocusRec)
{
    // The account items between the two fixed ones come with the account
    // grouping of the records.
    FBox.clear();
    FBox.addItem(AllRecordsText);
    FBox.addItem(NoAccountText);
    FBox.setCurrentIndex(0);
    if (FocusRec && FocusRec->Account.isEmpty())
        FBox.setCurrentIndex(FBox.count() - 1);
}

bool TAccountFilter::AllRecordsSelected() const { return FBox.currentIndex() == 0; }
