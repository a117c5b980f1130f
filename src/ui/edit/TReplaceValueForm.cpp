#include "TReplaceValueForm.h"

#include "TContent.h"
#include "TEditor.h"
#include "TFldValModel.h"
#include "TFormat.h"
#include "UvoColors.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int RowHeight = 20;  // as in the edit dialog
constexpr int CaptionColumnWidth = 300;
constexpr int FormWidth = 700;

QString FieldCaption(const TRule& rule) { return QStringLiteral("(") + rule.FldID() + QStringLiteral(") ") + rule.Name; }

// The value of a record's field number index, empty where there is none.
QString ValueAt(const TContentRec* rec, int index)
{
    return rec && index >= 0 && index < rec->FldCount() ? rec->Value(index) : QString();
}

}  // namespace

TReplaceValueForm::TReplaceValueForm(QWidget* owner, const TFormat& format, std::vector<TContentRec*> allRecs,
                                     std::vector<TContentRec*> shownRecs, const TContentRec* focusRec, int focusField)
    : QDialog(owner), FFormat(format), FAllRecs(std::move(allRecs)), FShownRecs(std::move(shownRecs))
{
    setObjectName(QStringLiteral("ReplaceValueForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setWindowTitle(QStringLiteral("Заменить значение"));
    CreateControls();
    // A filter narrowed to one account most likely marks the records meant.
    (FShownRecs.size() < FAllRecs.size() ? rbShownRecs : rbAllRecs)->setChecked(true);
    FillRecTypes(focusRec);
    if (focusRec && focusRec->Rec->RecID == cbRecType->currentData().toString()) {
        const int item = cbField->findData(focusField);
        if (item >= 0)
            cbField->setCurrentIndex(item);
        edWhereValue->setText(ValueAt(focusRec, cbField->currentData().toInt()));
    }
    resize(FormWidth, sizeHint().height());
}

// The value editor and its rows go before the scratch record they work on,
// and tell the dialog, half gone by then, nothing.
TReplaceValueForm::~TReplaceValueForm()
{
    if (Rows)
        disconnect(Rows, nullptr, this, nullptr);
    delete ValueVT;
}

void TReplaceValueForm::CreateControls()
{
    cbRecType = new QComboBox(this);
    cbRecType->setObjectName(QStringLiteral("cbRecType"));
    cbRecType->setMaxVisibleItems(20);
    cbField = new QComboBox(this);
    cbField->setObjectName(QStringLiteral("cbField"));
    cbField->setMaxVisibleItems(20);

    rbAllRecs = new QRadioButton(QStringLiteral("все записи этого типа в файле"), this);
    rbAllRecs->setObjectName(QStringLiteral("rbAllRecs"));
    rbShownRecs = new QRadioButton(QStringLiteral("записи этого типа, показанные фильтром"), this);
    rbShownRecs->setObjectName(QStringLiteral("rbShownRecs"));
    rbWhereValue = new QRadioButton(QStringLiteral("записи этого типа, где значение сейчас:"), this);
    rbWhereValue->setObjectName(QStringLiteral("rbWhereValue"));
    auto* scope = new QButtonGroup(this);
    for (QRadioButton* button : {rbAllRecs, rbShownRecs, rbWhereValue})
        scope->addButton(button);
    edWhereValue = new QLineEdit(this);
    edWhereValue->setObjectName(QStringLiteral("edWhereValue"));
    edWhereValue->setPlaceholderText(QStringLiteral("(пусто)"));
    edWhereValue->setEnabled(false);

    ValueVT = new QTableView(this);
    ValueVT->setObjectName(QStringLiteral("ValueVT"));
    Editor = new TEditor(ValueVT);
    ValueVT->setItemDelegate(Editor);
    // A click or a key opens the value editor; choosing another field does not,
    // so the keyboard stays in the list of fields.
    ValueVT->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    ValueVT->setSelectionMode(QAbstractItemView::NoSelection);
    ValueVT->setWordWrap(false);
    ValueVT->horizontalHeader()->hide();
    ValueVT->verticalHeader()->hide();
    ValueVT->verticalHeader()->setMinimumSectionSize(1);
    ValueVT->verticalHeader()->setDefaultSectionSize(RowHeight);
    ValueVT->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ValueVT->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ValueVT->setFixedHeight(RowHeight + 2 * ValueVT->frameWidth());
    QPalette palette = ValueVT->palette();
    palette.setColor(QPalette::Base, UvoColors::EditBackground);
    palette.setColor(QPalette::Text, UvoColors::EditText);
    ValueVT->setPalette(palette);

    lbPreview = new QLabel(this);
    lbPreview->setObjectName(QStringLiteral("lbPreview"));
    btnReplace = new QPushButton(QStringLiteral("Заменить"), this);
    btnReplace->setObjectName(QStringLiteral("btnReplace"));
    btnReplace->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto* whereRow = new QHBoxLayout;
    whereRow->addWidget(rbWhereValue);
    whereRow->addWidget(edWhereValue, 1);
    auto* scopeColumn = new QVBoxLayout;
    scopeColumn->addWidget(rbAllRecs);
    scopeColumn->addWidget(rbShownRecs);
    scopeColumn->addLayout(whereRow);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Тип записи:"), cbRecType);
    form->addRow(QStringLiteral("Поле:"), cbField);
    form->addRow(QStringLiteral("Записи:"), scopeColumn);
    form->addRow(QStringLiteral("Новое значение:"), ValueVT);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnReplace);
    buttons->addWidget(btnCancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(lbPreview);
    column->addLayout(buttons);

    connect(cbRecType, &QComboBox::currentIndexChanged, this, &TReplaceValueForm::cbRecTypeChange);
    connect(cbField, &QComboBox::currentIndexChanged, this, &TReplaceValueForm::cbFieldChange);
    connect(scope, &QButtonGroup::buttonToggled, this, [this] {
        edWhereValue->setEnabled(rbWhereValue->isChecked());
        ShowPreview();
    });
    connect(edWhereValue, &QLineEdit::textChanged, this, &TReplaceValueForm::ShowPreview);
    connect(ValueVT, &QAbstractItemView::clicked, ValueVT, qOverload<const QModelIndex&>(&QAbstractItemView::edit));
    connect(btnReplace, &QPushButton::clicked, this, &TReplaceValueForm::btnReplaceClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TReplaceValueForm::FillRecTypes(const TContentRec* focusRec)
{
    std::vector<const TRec*> recs;
    FFormat.GetActiveRecs(recs);
    const QSignalBlocker quiet(cbRecType);
    for (const TRec* rec : recs)
        if (!TFieldReplace::Fields(FFormat, *rec).empty())
            cbRecType->addItem(rec->Name, rec->RecID);
    if (focusRec)
        cbRecType->setCurrentIndex(std::max(0, cbRecType->findData(focusRec->Rec->RecID)));
    cbRecTypeChange();
}

void TReplaceValueForm::cbRecTypeChange()
{
    Editor->EndOpenEdit();
    const TRec* rec = FFormat.GetRec(cbRecType->currentData().toString());
    {
        const QSignalBlocker quiet(cbField);
        cbField->clear();
        // Each item carries the field's place in the record, the row of the
        // value editor: the fields to set start after the record type.
        int row = 1;
        if (rec)
            for (const TRule* rule : TFieldReplace::Fields(FFormat, *rec))
                cbField->addItem(FieldCaption(*rule), row++);
    }

    // A fresh scratch record of the type: its values are the new values typed.
    std::unique_ptr<TContentRec> scratch = rec ? TContent(FFormat, false).CreateNewOnRec(rec) : nullptr;
    TFldValModel* rows = scratch ? new TFldValModel(*scratch, ValueVT) : nullptr;
    ValueVT->setModel(rows);
    delete Rows;
    Rows = rows;
    FScratch = std::move(scratch);
    if (Rows) {
        ValueVT->horizontalHeader()->resizeSection(TFldValModel::CaptionColumn, CaptionColumnWidth);
        ValueVT->horizontalHeader()->setSectionResizeMode(TFldValModel::ValueColumn, QHeaderView::Stretch);
        connect(Rows, &QAbstractItemModel::dataChanged, this, &TReplaceValueForm::ShowPreview);
    }
    cbFieldChange();
}

void TReplaceValueForm::cbFieldChange()
{
    Editor->EndOpenEdit();
    const int shown = ChosenRow();
    if (Rows) {
        for (int row = 0; row < Rows->rowCount(); ++row)
            ValueVT->setRowHidden(row, row != shown);
        if (shown >= 0)
            ValueVT->setCurrentIndex(Rows->index(shown, TFldValModel::ValueColumn));
    }
    ShowPreview();
}

int TReplaceValueForm::ChosenRow() const
{
    const int row = cbField->currentData().isValid() ? cbField->currentData().toInt() : -1;
    return Rows && row >= 0 && row < Rows->rowCount() ? row : -1;
}

std::optional<TFieldReplace> TReplaceValueForm::Replacement() const
{
    const int row = ChosenRow();
    if (row < 0)
        return std::nullopt;
    std::optional<QString> whereValue;
    if (rbWhereValue->isChecked())
        whereValue = edWhereValue->text();
    return TFieldReplace(FFormat, Rows->Rule(row), Rows->Row(row).Value, whereValue);
}

std::vector<TContentRec*> TReplaceValueForm::Changing() const
{
    const std::optional<TFieldReplace> replace = Replacement();
    if (!replace)
        return {};
    return replace->Changing(rbShownRecs->isChecked() ? FShownRecs : FAllRecs);
}

void TReplaceValueForm::ShowPreview()
{
    const std::optional<TFieldReplace> replace = Replacement();
    const TReplacePreview preview = replace ? replace->Preview(Changing()) : TReplacePreview();
    lbPreview->setText(QStringLiteral("Изменится записей: %1; с недопустимым значением сейчас: %2, после замены: %3")
                           .arg(preview.Changing)
                           .arg(preview.InvalidNow)
                           .arg(preview.InvalidAfter));
    btnReplace->setEnabled(preview.Changing > 0);
}

void TReplaceValueForm::btnReplaceClick()
{
    // The text of an open value editor is taken over, as the edit dialog's OK does.
    Editor->EndOpenEdit();
    if (!Changing().empty())
        accept();
}
