#include "TDiasoftForm.h"

#include "TOverrideCursor.h"
#include "TConnectionString.h"
#include "TDatePicker.h"
#include "TContent.h"
#include "TFormat.h"
#include "TImportHost.h"
#include "TLoanModel.h"
#include "TOdbcDatabase.h"
#include "OdbcConnectionString.h"
#include "TPrompts.h"
#include "TSettings.h"
#include "TUvoDocument.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString AllFOs = QStringLiteral("<Все ФО>");
const QString AnyFinanceType = QStringLiteral("<Любой>");
const QString LoadFailurePrefix = QStringLiteral("Ошибка при загрузке списка договоров: \r\n");
const QString RunFailurePrefix = QStringLiteral("Ошибка при получении данных из Fa#: \r\n");

QString ErrorText(const std::exception& error)
{
    const auto* uvoError = dynamic_cast<const TUvoError*>(&error);
    return uvoError ? uvoError->Message() : QString::fromLocal8Bit(error.what());
}

// A control with its label above it.
QWidget* Labelled(const QString& label, QWidget* control, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(new QLabel(label, box));
    column->addWidget(control);
    return box;
}

QComboBox* NewPickList(int width, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setMaxVisibleItems(20);
    list->setFixedWidth(width);
    return list;
}

QGroupBox* NewRadioGroup(const QString& caption, QRadioButton* first, QRadioButton* second, QWidget* parent)
{
    auto* group = new QGroupBox(caption, parent);
    auto* row = new QHBoxLayout(group);
    row->addWidget(first);
    row->addWidget(second);
    first->setChecked(true);
    return group;
}

}  // namespace

// Drives a generation run from the dialog: between contracts the dialog
// repaints and Esc gets through; a cancel request is confirmed before the
// next contract and drops the run when no contract is left.
class TDiasoftForm::TRun : public TRunControl {
public:
    explicit TRun(TDiasoftForm& form) : FForm(form) {}

    bool GoOn() override
    {
        if (FForm.FFlInProgress)
            return true;
        const TOverrideCursor normal(Qt::ArrowCursor);
        if (Prompts().Question(QStringLiteral("Загрузка из Fa#"), QStringLiteral("Прервать выполнение?"),
                               TQuestionButtons::YesNo) == TAnswer::Yes)
            return false;
        FForm.FFlInProgress = true;
        return true;
    }

    void Progress(int done, int total) override
    {
        QProgressBar& bar = *FForm.ProgressBar;
        bar.setValue(std::min(bar.value() + 1, bar.maximum()));
        FForm.SetStatusText(1, QStringLiteral("Обработано: %1 из %2").arg(done).arg(total));
        QCoreApplication::processEvents();
    }

    bool KeepRecords() override { return FForm.FFlInProgress; }

private:
    TDiasoftForm& FForm;
};

TDiasoftForm::TDiasoftForm(TImportHost& host, TUvoDocument& document, TSettings& settings, QWidget* parent)
    : QDialog(parent), FHost(host), FDocument(document), FSettings(settings),
      FDatabase(std::make_unique<TOdbcDatabase>()), FLoans(new TLoanModel(this))
{
    setObjectName(QStringLiteral("DiasoftForm"));
    setWindowTitle(QStringLiteral("Диасофт Fa#"));
    setFixedSize(895, 615);
    CreateTopBar();
    CreateMainArea();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(Panel1);
    column->addWidget(Panel2, 1);
    column->addWidget(StatusBar);
    FillFinanceTypes();
    ShowInfo();
}

TDiasoftForm::~TDiasoftForm() { ClearFOList(); }

void TDiasoftForm::CreateTopBar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    const QDate today = QDate::currentDate();
    dtDate1 = new TDatePicker(today.addDays(-7), Panel1);
    dtDate2 = new TDatePicker(today, Panel1);
    cbFOList = NewPickList(230, Panel1);
    cbFinanceType = NewPickList(230, Panel1);
    btnQueryLoanList = new QPushButton(QStringLiteral("Загрузить договоры"), Panel1);
    btnQueryLoanList->setToolTip(QStringLiteral("Загрузить список кредитных договоров"));
    btnCancel = new QPushButton(QStringLiteral("Отмена"), Panel1);

    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 8, 8, 8);
    row->addWidget(Labelled(QStringLiteral("Начальная дата"), dtDate1, Panel1), 0, Qt::AlignBottom);
    row->addWidget(Labelled(QStringLiteral("Конечная дата"), dtDate2, Panel1), 0, Qt::AlignBottom);
    row->addWidget(Labelled(QStringLiteral("Финансовая операция"), cbFOList, Panel1), 0, Qt::AlignBottom);
    row->addWidget(Labelled(QStringLiteral("Finance Type/Тип финансирования"), cbFinanceType, Panel1), 0,
                   Qt::AlignBottom);
    row->addWidget(btnQueryLoanList, 0, Qt::AlignBottom);
    row->addStretch(1);
    row->addWidget(btnCancel, 0, Qt::AlignBottom);

    connect(btnQueryLoanList, &QPushButton::clicked, this, &TDiasoftForm::btnQueryLoanListClick);
    connect(btnCancel, &QPushButton::clicked, this, &TDiasoftForm::reject);
}

void TDiasoftForm::CreateMainArea()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    CreateLoanGrid();
    ProgressBar = new QProgressBar(Panel2);
    ProgressBar->setTextVisible(false);
    ProgressBar->hide();
    rbUpdate = new QRadioButton(QStringLiteral("Update"), Panel2);
    rbTakeOn = new QRadioButton(QStringLiteral("Take-On"), Panel2);
    gbMode = NewRadioGroup(QStringLiteral("Режим"), rbUpdate, rbTakeOn, Panel2);
    rbNew = new QRadioButton(QStringLiteral("Новый"), Panel2);
    rbAdd = new QRadioButton(QStringLiteral("Текущий"), Panel2);
    gbFile = NewRadioGroup(QStringLiteral("Файл"), rbNew, rbAdd, Panel2);
    btnStart = new QPushButton(QStringLiteral("Сформировать"), Panel2);
    btnStart->setToolTip(QStringLiteral("Получить данные из Диасофт Fa#"));
    QFont bold = btnStart->font();
    bold.setBold(true);
    btnStart->setFont(bold);
    btnStart->setMinimumSize(130, 36);
    btnStart->setEnabled(false);

    auto* choices = new QHBoxLayout;
    choices->addWidget(gbMode);
    choices->addWidget(gbFile);
    choices->addStretch(1);
    choices->addWidget(btnStart, 0, Qt::AlignBottom);
    auto* column = new QVBoxLayout(Panel2);
    column->setContentsMargins(8, 0, 8, 8);
    column->addWidget(LoanVT, 1);
    column->addWidget(ProgressBar);
    column->addLayout(choices);

    StatusBar = new QStatusBar(this);
    StatusBar->setSizeGripEnabled(false);
    for (QLabel*& panel : FStatusPanels) {
        panel = new QLabel(StatusBar);
        panel->setFixedWidth(200);
        StatusBar->addWidget(panel);
    }
    connect(btnStart, &QPushButton::clicked, this, &TDiasoftForm::btnStartClick);
}

void TDiasoftForm::CreateLoanGrid()
{
    LoanVT = new QTableView(Panel2);
    LoanVT->setObjectName(QStringLiteral("LoanVT"));
    LoanVT->setModel(FLoans);
    LoanVT->setSelectionBehavior(QAbstractItemView::SelectRows);
    LoanVT->setSelectionMode(QAbstractItemView::SingleSelection);
    LoanVT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LoanVT->setWordWrap(false);
    LoanVT->verticalHeader()->hide();
    LoanVT->verticalHeader()->setDefaultSectionSize(LoanVT->fontMetrics().height() + 4);
    LoanVT->setStyleSheet(QStringLiteral("QTableView { background: white; gridline-color: silver;"
                                         " selection-background-color: black; selection-color: white; }"));
    QHeaderView& header = *LoanVT->horizontalHeader();
    header.setDefaultSectionSize(50);
    header.setHighlightSections(false);
    const int widths[] = {277, 80, 120, 100, 100};
    for (int column = 0; column < int(std::size(widths)); ++column)
        header.resizeSection(column, widths[column]);
    header.setSectionResizeMode(TLoanModel::ClientCol, QHeaderView::Stretch);  // takes up width changes
    header.setSortIndicatorShown(true);
    LoanVT->setSortingEnabled(true);
    header.setSortIndicator(-1, Qt::AscendingOrder);
    LoanVT->installEventFilter(this);
}

void TDiasoftForm::FillFinanceTypes()
{
    QStringList lines;
    FDocument.Format().GetFinanceTypeList(lines);
    cbFinanceType->addItems(lines);
    cbFinanceType->insertItem(0, AnyFinanceType);
    cbFinanceType->setCurrentIndex(0);
    for (int i = 0; i < cbFinanceType->count(); ++i)
        if (cbFinanceType->itemText(i).left(2) == FSettings.FinanceType) {
            cbFinanceType->setCurrentIndex(i);
            break;
        }
}

void TDiasoftForm::SetDatabase(std::unique_ptr<TDatabase> database) { FDatabase = std::move(database); }

TFaImport TDiasoftForm::Import() const { return TFaImport(*FDatabase, FDocument.Format(), FSettings); }

void TDiasoftForm::Execute()
{
    if (!FDatabase->IsOpen())
        ConnectDB();
    if (FDatabase->IsOpen())
        Prompts().ExecDialog(*this);
}

void TDiasoftForm::ConnectDB()
{
    const QString& connectionString = FSettings.ConnectionString;
    const TLoginRequest request = TLoginRequest::For(connectionString);
    if (!request.NeedsLogin) {
        const TOverrideCursor busy(Qt::WaitCursor);
        FDatabase->Open(connectionString);
    } else {
        const std::optional<TLogin> login = Prompts().LoginBox(request.Database, request.UserName);
        if (!login)
            return;
        const TOverrideCursor busy(Qt::WaitCursor);
        FDatabase->Open(connectionString, TDbCredentials{login->UserName, login->Password});
    }
    FillFOList();
}

void TDiasoftForm::CloseConnection() { FDatabase->Close(); }

bool TDiasoftForm::ConnectAgain(const QString& failurePrefix)
{
    if (FDatabase->IsOpen())
        return true;
    const qint64 chosen = ChosenFOID();
    QString failure;
    try {
        ConnectDB();
    } catch (const std::exception& error) {
        failure = ErrorText(error);
    }
    if (!failure.isNull()) {
        Prompts().Error(failurePrefix + failure);
        return false;
    }
    if (!FDatabase->IsOpen())  // the login was cancelled
        return false;
    if (const int index = cbFOList->findData(QVariant::fromValue(chosen)); index >= 0)
        cbFOList->setCurrentIndex(index);
    return true;
}

QString TDiasoftForm::FailureText(const std::exception& error)
{
    const auto* dbError = dynamic_cast<const TDbError*>(&error);
    if (!dbError || !dbError->ConnectionLost())
        return ErrorText(error);
    CloseConnection();
    return QStringLiteral("Соединение с базой данных Диасофт Fa# потеряно. "
                          "При следующем обращении к ней программа подключится заново.\r\n"
                          "Сообщение драйвера: ") +
           dbError->Message();
}

void TDiasoftForm::FillFOList()
{
    const TOverrideCursor busy(Qt::WaitCursor);
    ClearFOList();
    cbFOList->addItem(AllFOs, QVariant::fromValue(qint64(0)));
    cbFOList->setCurrentIndex(0);
    std::vector<TFO> list;
    try {
        Import().ReadFOList(list);
    } catch (const std::exception&) {
        // Not reported: the list offers what was read, "<Все ФО>" at least,
        // and the contract list reports the database's trouble itself.
    }
    for (const TFO& fo : list) {
        cbFOList->addItem(fo.Name, QVariant::fromValue(fo.FOID));
        if (fo.FOID == FSettings.FOID)
            cbFOList->setCurrentIndex(cbFOList->count() - 1);
    }
}

void TDiasoftForm::ClearFOList() { cbFOList->clear(); }

TPeriod TDiasoftForm::Period() const { return {dtDate1->date(), dtDate2->date()}; }

qint64 TDiasoftForm::ChosenFOID() const { return cbFOList->currentData().toLongLong(); }

QString TDiasoftForm::ChosenFinanceType() const
{
    return cbFinanceType->currentIndex() > 0 ? cbFinanceType->currentText().left(2) : QString();
}

void TDiasoftForm::btnQueryLoanListClick()
{
    if (ConnectAgain(LoadFailurePrefix))
        LoadLoanList();
    SetVocusOnVT();
}

void TDiasoftForm::LoadLoanList()
{
    QString failure;
    {
        const TOverrideCursor busy(Qt::WaitCursor);
        FLoans->Clear();
        LoanVT->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        try {
            FLoans->SetLoans(Import().ReadLoanList(Period(), ChosenFOID(), ChosenFinanceType()));
            // A column every row would show with the same, chosen value is hidden.
            LoanVT->setColumnHidden(TLoanModel::FOCol, cbFOList->currentIndex() > 0);
            LoanVT->setColumnHidden(TLoanModel::FTCol, cbFinanceType->currentIndex() > 0);
            LoanVT->sortByColumn(TLoanModel::ClientCol, Qt::AscendingOrder);
            FSettings.FOID = ChosenFOID();
        } catch (const std::exception& error) {
            FLoans->Clear();
            failure = FailureText(error);
        }
    }
    if (!failure.isNull())
        Prompts().Error(LoadFailurePrefix + failure);
    FSelectedCount = 0;
    ShowInfo();
}

void TDiasoftForm::SetVocusOnVT()
{
    if (FLoans->rowCount() == 0)
        return;
    LoanVT->setFocus();
    LoanVT->setCurrentIndex(FLoans->index(0, 0));
    LoanVT->selectRow(0);
}

void TDiasoftForm::ShowInfo()
{
    SetStatusText(0, QStringLiteral("Отмечено: %1 из %2").arg(FSelectedCount).arg(FLoans->rowCount()));
    btnStart->setEnabled(FSelectedCount != 0);
}

QString TDiasoftForm::StatusText(int panel) const { return FStatusPanels[panel]->text(); }

void TDiasoftForm::SetStatusText(int panel, const QString& text) { FStatusPanels[panel]->setText(text); }

bool TDiasoftForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LoanVT && event->type() == QEvent::KeyPress && LoanVTKeyDown(static_cast<QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool TDiasoftForm::LoanVTKeyDown(const QKeyEvent& event)
{
    const bool alone = (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event.key() == Qt::Key_Home || event.key() == Qt::Key_End) && alone) {
        // Whole rows are selected, so moving along the row shows nothing:
        // Home and End go to the first and the last row, as with Ctrl.
        QKeyEvent rowKey(QEvent::KeyPress, event.key(), Qt::ControlModifier);
        QCoreApplication::sendEvent(LoanVT, &rowKey);
        return true;
    }
    if (event.key() != Qt::Key_Space)
        return false;
    if (event.modifiers() == Qt::ControlModifier) {
        FLoans->MarkAll(true);
        FSelectedCount = FLoans->rowCount();
    } else if (event.modifiers() == Qt::ShiftModifier) {
        FLoans->MarkAll(false);
        FSelectedCount = 0;
    } else if (event.modifiers() == Qt::NoModifier) {
        const QModelIndex focused = LoanVT->currentIndex();
        if (focused.isValid()) {
            FSelectedCount += FLoans->ToggleMark(focused.row()) ? 1 : -1;
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(LoanVT, &down);
        }
    } else {
        return false;
    }
    ShowInfo();
    return true;
}

void TDiasoftForm::btnStartClick()
{
    if ((rbAdd->isChecked() || FHost.CanLeaveFile()) && ConnectAgain(RunFailurePrefix))
        GetDiasoftInfo();
}

void TDiasoftForm::GetDiasoftInfo()
{
    FFlInProgress = true;
    TFaImport import = Import();
    std::optional<TRecordList> records;
    QString failure;
    {
        const TOverrideCursor busy(Qt::WaitCursor);
        ProgressBar->setRange(0, FSelectedCount);
        ProgressBar->setValue(std::min(1, FSelectedCount));
        SetRunning(true);
        QCoreApplication::processEvents();
        const QString financeType = ChosenFinanceType();
        TRun run(*this);
        try {
            records = import.Generate(FLoans->MarkedDealIds(), Period(),
                                      rbUpdate->isChecked() ? TImportMode::Update : TImportMode::TakeOn,
                                      financeType.isEmpty() ? FSettings.FinanceType : financeType, run);
        } catch (const std::exception& error) {
            FFlInProgress = false;
            records.reset();
            failure = FailureText(error);
        }
    }
    if (!failure.isNull())
        Prompts().Error(RunFailurePrefix + failure);
    SetRunning(false);
    SetStatusText(1, QString());
    FFlInProgress = false;
    if (!records)
        return;
    // Told before the records are stored, as data passed over on reading is.
    if (const auto& problems = import.ValueProblems(); !problems.empty())
        Prompts().Warning(QStringLiteral("Загрузка из Fa#"), TDeliveredValues::Warning(problems));
    KeepRecords(std::move(*records));
}

void TDiasoftForm::KeepRecords(TRecordList records)
{
    if (rbNew->isChecked()) {
        FDocument.ReplaceAll([&](TContent& content) {
            Import().Store(std::move(records), TImportTarget::NewFile, dtDate2->date(), content);
            return TReplacement{QString(), true};
        });
    } else {
        FDocument.AppendRecords(QStringLiteral("загрузка из Fa#"), std::move(records), TAppendOrder::CountThenSort,
                                false);
    }
    accept();
}

// While a run goes on nothing can be chosen or started, and the dialog stays
// open; the progress bar shows instead.
void TDiasoftForm::SetRunning(bool running)
{
    FRunning = running;
    for (QWidget* control : {Panel1, static_cast<QWidget*>(LoanVT), static_cast<QWidget*>(gbMode),
                             static_cast<QWidget*>(gbFile)})
        control->setEnabled(!running);
    ProgressBar->setVisible(running);
    if (running) {
        btnStart->setEnabled(false);
        return;
    }
    ShowInfo();
    if (!focusWidget())  // the focused control went with the disabling
        LoanVT->setFocus();
}

void TDiasoftForm::keyPressEvent(QKeyEvent* event)
{
    if (FRunning && event->key() == Qt::Key_Escape) {
        FFlInProgress = false;  // asked about before the next contract
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDiasoftForm::reject()
{
    if (!FRunning)
        QDialog::reject();
}

void TDiasoftForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    SetVocusOnVT();
}
