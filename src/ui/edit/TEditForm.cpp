#include "TEditForm.h"

TEditForm::TEditForm(QWidget* Owner, const QString& Caption, TContentRec& Rec) : QDialog(Owner), ContentRec(&Rec)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
}

void TEditForm::Save() {}

TEditForm* CreateEditForm(QWidget* Owner, const QString& Caption, TContentRec* ContentRec)
{
    return new TEditForm(Owner, Caption, *ContentRec);
}
