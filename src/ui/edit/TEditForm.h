#pragma once

#include <QDialog>
#include <QString>

class TContentRec;

// The modal dialog in which the user changes the values of one record, field
// by field. It works on a record that is not in the content list (a new
// record, a copy, or a scratch copy of the record being edited) and never
// touches the content list, the sort keys or the file's changed state.
//
// Shown modally it returns QDialog::Accepted when the user confirmed; by then
// every value shown has been assigned to the record's fields. Any other result
// means cancelled and the record is left as it was given. The dialog deletes
// itself when it closes.
class TEditForm : public QDialog {
    Q_OBJECT
public:
    TEditForm(QWidget* Owner, const QString& Caption, TContentRec& Rec);

    // Assigns every row's working value to its field, first and last row included.
    void Save();

    TContentRec* ContentRec;
    // True while no value editor is open; Esc closes the dialog only then.
    bool CanCloseOnEsc = true;
};

// Creates the dialog for Rec with Owner as its owner and Caption as its caption.
TEditForm* CreateEditForm(QWidget* Owner, const QString& Caption, TContentRec* ContentRec);
