#pragma once

#include "FieldReplace.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class TContentRec;
class TEditor;
class TFldValModel;
class TFormat;

// The modal dialog that sets one field to one value in many records: the
// record type, the field, which records (all of the type, those the view
// shows, or those holding a given value now, the empty one included) and the
// new value, typed in the edit dialog's own value editor for the field. A
// line below counts what the replacement would do. Like the edit dialog it
// never touches the records: the caller applies Changing() when the dialog
// was confirmed with "Заменить".
class TReplaceValueForm : public QDialog {
    Q_OBJECT
public:
    // allRecs are the file's records and shownRecs those the view shows. The
    // dialog starts on the type, the field and, as the value to look for, the
    // value of focusRec's field number focusField (its place in FldList),
    // where given, else on the first type; and on the records shown when the
    // view does not show all.
    TReplaceValueForm(QWidget* owner, const TFormat& format, std::vector<TContentRec*> allRecs,
                      std::vector<TContentRec*> shownRecs, const TContentRec* focusRec = nullptr,
                      int focusField = -1);
    ~TReplaceValueForm() override;

    // The replacement as the dialog stands; none when there is no field to set.
    std::optional<TFieldReplace> Replacement() const;
    // The records it changes, the ones the preview counts.
    std::vector<TContentRec*> Changing() const;

    QComboBox* cbRecType;
    QComboBox* cbField;
    QRadioButton* rbAllRecs;
    QRadioButton* rbShownRecs;
    QRadioButton* rbWhereValue;
    QLineEdit* edWhereValue;
    // One row shown: the chosen field's caption and the new value.
    QTableView* ValueVT;
    TFldValModel* Rows = nullptr;
    TEditor* Editor;
    QLabel* lbPreview;
    QPushButton* btnReplace;
    QPushButton* btnCancel;

private:
    void CreateControls();
    void FillRecTypes(const TContentRec* focusRec);
    void cbRecTypeChange();
    void cbFieldChange();
    void ShowPreview();
    void btnReplaceClick();
    // The value editor's row of the chosen field; -1 for none.
    int ChosenRow() const;

    const TFormat& FFormat;
    std::vector<TContentRec*> FAllRecs;
    std::vector<TContentRec*> FShownRecs;
    // A record of the chosen type that holds the new values being typed, one
    // per field, as the edit dialog's scratch record does.
    std::unique_ptr<TContentRec> FScratch;
};
