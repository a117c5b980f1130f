#include "TEditForm.h"

#include "TEditor.h"
#include "TFldValModel.h"
#include "UvoColors.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 884;
constexpr int PanelHeight = 41;
constexpr int RowHeight = 20;
constexpr int CaptionColumnWidth = 420;
// A click on the selected row's value opens its editor after this delay.
constexpr int ClickEditDelayMs = 100;

QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                       QStyle::StandardPixmap icon)
{
    auto* button = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setFixedSize(90, 25);
    // The grid keeps the focus, and a bare Enter never presses a button.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

bool IsEnter(const QKeyEvent& key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; }

}  // namespace

TEditForm::TEditForm(QWidget* Owner, const QString& Caption, TContentRec& Rec) : QDialog(Owner), ContentRec(&Rec)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("EditForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setWindowTitle(Caption);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreatePanel();
    CreateGrid();
    layout->addWidget(Panel1);
    layout->addWidget(EditVT);
    CanCloseOnEsc = true;

    FitHeight(WorkArea().height());
    CentreOnScreen();
    qApp->installEventFilter(this);
}

void TEditForm::CreatePanel()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(PanelHeight);
    btnOK = NewButton(Panel1, "btnOK", QStringLiteral("ОК"), QStringLiteral("Сохранить и закрыть (Ctrl+Enter)"),
                      QStyle::SP_DialogOkButton);
    btnCancel = NewButton(Panel1, "btnCancel", QStringLiteral("Отмена"),
                          QStringLiteral("Отменить и закрыть (Esc)"), QStyle::SP_DialogCancelButton);
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(8, 8, 8, 8);
    bar->setSpacing(8);
    bar->addWidget(btnOK);
    bar->addWidget(btnCancel);
    bar->addStretch();
    connect(btnOK, &QPushButton::clicked, this, &TEditForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TEditForm::CreateGrid()
{
    EditVT = new QTableView(this);
    EditVT->setObjectName(QStringLiteral("EditVT"));
    Rows = new TFldValModel(*ContentRec, EditVT);
    Editor = new TEditor(EditVT);
    EditVT->setModel(Rows);
    EditVT->setItemDelegate(Editor);
    // Editors are opened by the dialog alone: on selection and on a click on the selected row.
    EditVT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EditVT->setSelectionBehavior(QAbstractItemView::SelectRows);
    EditVT->setSelectionMode(QAbstractItemView::SingleSelection);
    EditVT->setShowGrid(true);
    // A two-pixel sunken border whatever the style: 420 + 460 pixels of columns in 884.
    EditVT->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    EditVT->setLineWidth(2);
    EditVT->setWordWrap(false);

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    EditVT->setFont(font);
    QPalette palette = EditVT->palette();
    palette.setColor(QPalette::Base, UvoColors::EditBackground);
    palette.setColor(QPalette::Active, QPalette::Text, UvoColors::EditText);
    palette.setColor(QPalette::Inactive, QPalette::Text, UvoColors::EditText);
    palette.setColor(QPalette::Disabled, QPalette::Text, UvoColors::EditGreyedText);
    EditVT->setPalette(palette);

    QHeaderView* rowHeader = EditVT->verticalHeader();
    rowHeader->hide();
    rowHeader->setMinimumSectionSize(1);
    rowHeader->setDefaultSectionSize(RowHeight);
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* columnHeader = EditVT->horizontalHeader();
    columnHeader->hide();
    columnHeader->setSectionResizeMode(TFldValModel::CaptionColumn, QHeaderView::Fixed);
    columnHeader->resizeSection(TFldValModel::CaptionColumn, CaptionColumnWidth);
    columnHeader->setSectionResizeMode(TFldValModel::ValueColumn, QHeaderView::Stretch);

    // Nothing is selected at first; Down then goes to the first editable row.
    EditVT->selectionModel()->setCurrentIndex(Rows->index(0, TFldValModel::ValueColumn), QItemSelectionModel::NoUpdate);
    connect(EditVT->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TEditForm::EditVTSelectionChanged);
    connect(Editor, &TEditor::EditStarted, this, [this] { CanCloseOnEsc = false; });
    connect(Editor, &TEditor::EditEnded, this, [this] { CanCloseOnEsc = true; });
}

// The table and its editor are torn down after this part of the dialog: an
// editor that closes then must not reach back into a form that is half gone.
TEditForm::~TEditForm()
{
    disconnect(Editor, nullptr, this, nullptr);
    disconnect(EditVT->selectionModel(), nullptr, this, nullptr);
}

QRect TEditForm::WorkArea() const
{
    // Not yet shown, the dialog will appear on its owner's screen.
    const QScreen* screen = parentWidget() ? parentWidget()->window()->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

int TEditForm::TitleBarHeight() const { return style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this); }

void TEditForm::FitHeight(int WorkAreaHeight)
{
    const int wanted = TitleBarHeight() + PanelHeight + (Rows->rowCount() + 2) * RowHeight;
    resize(ClientWidth, qMin(WorkAreaHeight - 10, wanted) - TitleBarHeight());
}

void TEditForm::CentreOnScreen()
{
    QRect outer(0, 0, width(), height() + TitleBarHeight());
    outer.moveCenter(WorkArea().center());
    move(outer.topLeft());
}

void TEditForm::Save()
{
    Editor->EndOpenEdit();
    Rows->SaveToFields();
}

void TEditForm::btnOKClick()
{
    Save();
    accept();
}

void TEditForm::EditVTSelectionChanged()
{
    const QModelIndexList selected = EditVT->selectionModel()->selectedRows();
    if (selected.size() != 1)
        return;
    // The editor opens once the grid has finished handling the selection change.
    const int row = selected.first().row();
    QMetaObject::invokeMethod(this, [this, row] { WMStartEditing(row); }, Qt::QueuedConnection);
}

void TEditForm::WMStartEditing(int Row)
{
    if (Row < 0 || Row >= Rows->rowCount() || !Rows->IsRowEnabled(Row))
        return;
    if (!EditVT->selectionModel()->isRowSelected(Row) || Editor->IsEditing())
        return;
    const QModelIndex value = Rows->index(Row, TFldValModel::ValueColumn);
    // The editor's cell becomes current, so that leaving the row ends its edit.
    EditVT->selectionModel()->setCurrentIndex(value, QItemSelectionModel::NoUpdate);
    EditVT->edit(value);
}

void TEditForm::EditVTMousePressed(const QPoint& pos)
{
    const QModelIndex index = EditVT->indexAt(pos);
    if (index.column() != TFldValModel::ValueColumn || !EditVT->selectionModel()->isRowSelected(index.row()))
        return;
    const int row = index.row();
    QTimer::singleShot(ClickEditDelayMs, this, [this, row] { WMStartEditing(row); });
}

bool TEditForm::FormKeyDown(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Escape) {
        if (!CanCloseOnEsc)
            return false;  // the editor cancels its edit on the key's release
        reject();
        return true;
    }
    if (IsEnter(key) && (key.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        btnOKClick();
        return true;
    }
    return false;
}

bool TEditForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && FormKeyDown(*static_cast<QKeyEvent*>(event)))
            return true;
        break;
    }
    case QEvent::MouseButtonPress:
        if (watched == EditVT->viewport())
            EditVTMousePressed(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

TEditForm* CreateEditForm(QWidget* Owner, const QString& Caption, TContentRec* ContentRec)
{
    return new TEditForm(Owner, Caption, *ContentRec);
}
