#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTableView;
class TContentRec;
class TEditor;
class TFldValModel;

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
    ~TEditForm() override;

    // Assigns every row's working value to its field, first and last row included.
    void Save();

    // Outer height: the work area less 10 pixels, or room for two rows more
    // than the record has when that is lower. Called on creation with the work
    // area of the screen nearest to the dialog.
    void FitHeight(int WorkAreaHeight);

    TContentRec* ContentRec;
    // True while no value editor is open; Esc closes the dialog only then.
    bool CanCloseOnEsc = true;

    QWidget* Panel1;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QTableView* EditVT;
    TFldValModel* Rows;
    TEditor* Editor;

public slots:
    // Opens the value editor of a row; posted when a row is selected.
    void WMStartEditing(int Row);

protected:
    // The dialog sees the keys of its controls before they do.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreatePanel();
    void CreateGrid();
    QRect WorkArea() const;
    int TitleBarHeight() const;
    void CentreOnScreen();
    bool FormKeyDown(const QKeyEvent& key);
    void btnOKClick();
    void EditVTSelectionChanged();
    void EditVTMousePressed(const QPoint& pos);
};

// Creates the dialog for Rec with Owner as its owner and Caption as its caption.
TEditForm* CreateEditForm(QWidget* Owner, const QString& Caption, TContentRec* ContentRec);
