#include "TMainForm.h"

#include "AppErrorGuard.h"
#include "CommandBars.h"
#include "EditMenu.h"
#include "FormatLoader.h"
#include "FormatResource.h"
#include "SettingsFile.h"
#include "TAccountFilter.h"
#include "TCompareCommands.h"
#include "TFileCommands.h"
#include "TFindBar.h"
#include "TContent.h"
#include "TDiasoftForm.h"
#include "TFormat.h"
#include "TMainStatusBar.h"
#include "TPanelArea.h"
#include "TProblemCommands.h"
#include "TPrompts.h"
#include "TRecordCommands.h"
#include "TRecordGrid.h"
#include "TRecordPopup.h"
#include "TSettingsForm.h"
#include "TUvoDocument.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

QString FileCaption(const QString& currentFile, bool changed)
{
    const QString name = currentFile.isEmpty() ? QStringLiteral("Новый") : currentFile;
    return QStringLiteral("UVO - ") + name + (changed ? QStringLiteral("*") : QString());
}

// The window gets the size it asks for where the screen's free area holds it
// with its frame, and otherwise the whole of that area; centred either way, so
// that its title bar is never above the screen.
void PlaceOnScreen(QWidget& window, QSize wanted)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect room = screen->availableGeometry();
    // Before it is first shown, the window's frame is not known: allow a title
    // bar and the borders window managers commonly draw.
    constexpr int border = 4;
    const QSize frame(2 * border, window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
    window.resize(wanted.boundedTo(room.size() - frame));
    QRect outer(QPoint(), window.size() + frame);
    outer.moveCenter(room.center());
    window.move(std::max(outer.left(), room.left()), std::max(outer.top(), room.top()));
}

}  // namespace

TMainForm::TMainForm(std::optional<QByteArray> formatText, QWidget* parent)
    : QMainWindow(parent), FFormatText(std::move(formatText))
{
    FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::FormCreate()
{
    FFormat = std::make_unique<TFormat>();
    FDocument = std::make_unique<TUvoDocument>(*FFormat);
    FFileCommands = std::make_unique<TFileCommands>(*FDocument, Settings);
    FRecordCommands = std::make_unique<TRecordCommands>(*FDocument, *FFileCommands, Settings, this);
    CreateActions();
    CreateComponents();
    ConnectHandlers();
    FProblemCommands = new TProblemCommands(*this);
    FCompareCommands = new TCompareCommands(*this);
    FollowDocument();
    LoadSettings();
    if (!LoadFormat()) {
        EnterLimitedMode();
        return;
    }
    SetRecsChanged(false);
    FillSubMenu();
    ShowContent(nullptr);
}

void TMainForm::FormDestroy()
{
    // The settings file is written at every orderly shutdown; a failure is
    // reported and the shutdown goes on.
    RunGuarded([this] { SaveSettings(); });
    ClearView();  // the grids go before the records they show
}

void TMainForm::FormCloseQuery(bool& CanClose) { CanClose = CanLeaveFile(); }

void TMainForm::CreateActions()
{
    using CommandBars::NewCommand;
    actNew = NewCommand(this, "actNew", QStringLiteral("&Создать пустой файл"), QStringLiteral("Создать пустой файл"),
                        QKeySequence(Qt::CTRL | Qt::Key_N));
    actNewRecs = NewCommand(this, "actNewRecs", QStringLiteral("Создать &файл с записями"),
                            QStringLiteral("Создать файл с записями"));
    actOpen = NewCommand(this, "actOpen", QStringLiteral("&Открыть"), QStringLiteral("Открыть файл"),
                         QKeySequence(Qt::CTRL | Qt::Key_O));
    actSave = NewCommand(this, "actSave", QStringLiteral("Со&хранить"), QStringLiteral("Сохранить файл"),
                         QKeySequence(Qt::CTRL | Qt::Key_S));
    actSave->setEnabled(false);
    actSaveAs = NewCommand(this, "actSaveAs", QStringLiteral("Сохранить &как"), QStringLiteral("Сохранить файл как"));
    actLoadFromDB = NewCommand(this, "actLoadFromDB", QStringLiteral("&Загрузить из Fa#"),
                               QStringLiteral("Загрузить данные из Fa#"), QKeySequence(Qt::CTRL | Qt::Key_D));
    actSettings = NewCommand(this, "actSettings", QStringLiteral("&Настройки"), QStringLiteral("Настройки"));
    actCollapse = NewCommand(this, "actCollapse", QStringLiteral("&Свернуть всё"), QStringLiteral("Свернуть всё"));
    actExpand = NewCommand(this, "actExpand", QStringLiteral("&Развернуть всё"), QStringLiteral("Развернуть всё"));
    actExit = NewCommand(this, "actExit", QStringLiteral("&Выход"), QStringLiteral("Закрыть"));
}

void TMainForm::CreateComponents()
{
    setWindowTitle(QStringLiteral("UVO"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    ToolBar = addToolBar(QStringLiteral("ToolBar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFixedHeight(24);
    ToolBar->setIconSize(QSize(16, 16));
    cbFilter = new QComboBox(ToolBar);
    FFilter = std::make_unique<TAccountFilter>(*cbFilter);
    CommandBars::FillMenus(*this);
    CommandBars::FillToolBar(*this);

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    PanelGroup = new TPanelArea(client);
    ScrollBar = new QScrollBar(Qt::Horizontal, client);
    ScrollBar->setObjectName(QStringLiteral("ScrollBar"));
    ScrollBar->setFixedHeight(17);
    // A range of 0 to 104 with a page of 4 leaves the positions 0 to 101.
    ScrollBar->setRange(0, 104 - 4 + 1);
    ScrollBar->setPageStep(4);
    column->addWidget(PanelGroup, 1);
    column->addWidget(ScrollBar);
    FindBar = new TFindBar(*PanelGroup, client);
    column->addWidget(FindBar);
    setCentralWidget(client);
    EditMenu::AddUndoAndFind(*this);

    StatusBar = new TMainStatusBar(this);
    setStatusBar(StatusBar);
    mnVTPopup = new TRecordPopup(this);

    // 1435 x 888 is the client area: what lies below the menu bar.
    PlaceOnScreen(*this, QSize(1435, 888 + menuBar()->sizeHint().height()));
}

void TMainForm::ConnectHandlers()
{
    const auto bind = [this](QAction* action, void (TMainForm::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
    };
    bind(actNew, &TMainForm::actNewExecute);
    bind(actNewRecs, &TMainForm::actNewRecsExecute);
    bind(actOpen, &TMainForm::actOpenExecute);
    bind(actSave, &TMainForm::actSaveExecute);
    bind(actSaveAs, &TMainForm::actSaveAsExecute);
    bind(actLoadFromDB, &TMainForm::actLoadFromDBExecute);
    bind(actSettings, &TMainForm::actSettingsExecute);
    bind(actCollapse, &TMainForm::actCollapseExecute);
    bind(actExpand, &TMainForm::actExpandExecute);
    bind(actExit, &TMainForm::actExitExecute);
    bind(mnVTPopup->mnEditRec, &TMainForm::mnEditRecClick);
    bind(mnVTPopup->mnCopyRec, &TMainForm::mnCopyRecClick);
    bind(mnVTPopup->mnDeleteRec, &TMainForm::mnDeleteRecClick);
    connect(cbFilter, &QComboBox::activated, this, [this] { RunGuarded([this] { cbFilterSelect(); }); });
    connect(PanelGroup, &TPanelArea::PopupRequested, this, &TMainForm::mnVTPopupPopup);
    connect(PanelGroup, &TPanelArea::NodeDblClick, this, &TMainForm::VTNodeDblClick);
    connect(PanelGroup, &TPanelArea::DeleteRequested, this,
            [this](TRecordGrid* VT) { RunGuarded([&] { DeleteRec(VT, VT->FocusedRow()); }); });
    connect(ScrollBar, &QScrollBar::valueChanged, this, &TMainForm::ScrollBarChange);
    qApp->installEventFilter(this);  // FormMouseWheel sees the wheel before any control does
    connect(mnVTPopup, &TRecordPopup::AddRecChosen, this,
            [this](const QString& RecID) { RunGuarded([&] { mnSubAddRecClick(RecID); }); });
}

void TMainForm::FollowDocument()
{
    TUvoDocument* document = FDocument.get();
    connect(document, &TUvoDocument::FileStateChanged, this, &TMainForm::ShowFileState);
    connect(document, &TUvoDocument::ContentAboutToBeReplaced, this, [this] {
        FFilter->ContentChanged();
        ClearView();
    });
    connect(document, &TUvoDocument::ContentReplaced, this, [this] {
        ShowContent(nullptr);
        // A file just shown is ready for the keys: its first record has the focus.
        if (!VTList().isEmpty())
            FindFocus(VTList().first()->Rec(0));
    });
    connect(document, &TUvoDocument::RecordsChanged, this, &TMainForm::ShowChange);
}

void TMainForm::ShowChange(const TRecordChange& change)
{
    if (change.Rebuild) {
        ShowContent(change.Focus);
        return;
    }
    FFilter->ContentChanged();
    for (const TContentRec* rec : change.Removed)
        PanelGroup->RemoveRec(rec);
    if (VTList().isEmpty() && !change.Removed.empty())
        ShowContent(nullptr);
    PanelGroup->RefreshRecs(change.Changed);
    ShowStatusBarInfo();
}

void TMainForm::EnterLimitedMode()
{
    FLimitedMode = true;
    for (QAction* action : {actNew, actNewRecs, actOpen, actSave, actSaveAs, actLoadFromDB, actSettings, actCollapse,
                            actExpand, actExit, actFind, actReplace, FindBar->actFindNext, FindBar->actFindPrevious})
        action->setEnabled(false);
    ScrollBar->setEnabled(false);
    cbFilter->setEnabled(false);
    PanelGroup->setEnabled(false);  // so the record menu cannot open
    FProblemCommands->SetEnabled(false);
    FCompareCommands->SetEnabled(false);
    actSettings->setEnabled(true);
    actExit->setEnabled(true);
    StatusBar->SetPanelText(0, QString());
}

TContent& TMainForm::Content() const { return FDocument->Content(); }

bool TMainForm::RecsChanged() const { return FDocument->RecsChanged(); }

void TMainForm::SetRecsChanged(bool Value) { FDocument->SetRecsChanged(Value); }

const QString& TMainForm::CurrentFile() const { return FDocument->CurrentFile(); }

void TMainForm::SetCurrentFile(const QString& Path) { FDocument->SetCurrentFile(Path); }

void TMainForm::ShowFileState()
{
    const bool Changed = RecsChanged();
    StatusBar->SetPanelText(1, Changed ? QStringLiteral("Изменён") : QString());
    setWindowTitle(FileCaption(CurrentFile(), Changed));
    actSave->setEnabled(Changed);
}

bool TMainForm::CanLeaveFile() { return FFileCommands->CanLeaveFile(); }

bool TMainForm::LoadFormat()
{
    const QString prefix = QStringLiteral("Ошибка при загрузке структуры UVO файла: \r\n");
    try {
        const QByteArray text = FFormatText ? *FFormatText : FormatResource::Read();
        const FormatLoader::Result result = FormatLoader::Load(text, *FFormat);
        if (!result.Ok)
            throw TUvoError(result.Message);
        return true;
    } catch (const TUvoError& e) {
        Prompts().Error(prefix + e.Message());
    } catch (const std::exception& e) {
        Prompts().Error(prefix + QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void TMainForm::LoadSettings()
{
    if (!SettingsFile::Load(SettingsFile::DefaultFileName, Settings))
        Prompts().Info(AppTitle, QStringLiteral("Не обнаружен файл настроек или неверный формат файла."));
}

void TMainForm::SaveSettings() { SettingsFile::Save(SettingsFile::DefaultFileName, Settings); }

void TMainForm::FillSubMenu() { mnVTPopup->FillSubMenu(*FFormat); }

void TMainForm::ShowContent(TContentRec* FocusRec)
{
    FFilter->Rebuild(Content(), FocusRec);
    ApplyFilter();
    if (FocusRec)
        FindFocus(FocusRec);
}

void TMainForm::ApplyFilter()
{
    if (cbFilter->currentIndex() < 0)
        return;
    PanelGroup->hide();  // drawn once, when rebuilt
    ClearView();
    const std::optional<TFilterSelection> chosen = FFilter->Selection(Content());
    PanelGroup->ShowRecords(chosen->Recs, chosen->Account);
    ScrollBar->setValue(0);
    PanelGroup->show();
    ShowStatusBarInfo();
}

void TMainForm::ShowRecordField(const TContentRec* Rec, int FieldIndex)
{
    if (Content().IndexOf(Rec) < 0)
        return;  // gone since it was listed
    if (FFilter->SelectFor(Rec))
        ApplyFilter();
    if (FieldIndex < 0 || !PanelGroup->FocusField(Rec, FieldIndex))
        PanelGroup->FindFocus(Rec);
}

void TMainForm::ClearView() { PanelGroup->ClearView(); }

void TMainForm::FindFocus(TContentRec* Rec) { PanelGroup->FindFocus(Rec); }

const QList<TRecordGrid*>& TMainForm::VTList() const { return PanelGroup->VTList(); }

int TMainForm::MaxVTWidth() const { return PanelGroup->MaxVTWidth(); }

void TMainForm::ScrollBarChange(int Position) { PanelGroup->ScrollBarChange(Position); }

void TMainForm::FormMouseWheel(const QPoint& GlobalPos, int Delta) { PanelGroup->FormMouseWheel(GlobalPos, Delta); }

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        FormMouseWheel(wheel->globalPosition().toPoint(), wheel->angleDelta().y());
        return true;  // consumed wherever the pointer was
    }
    // Back from another program, which may have changed the open file; the
    // note stays long enough to be seen.
    if (event->type() == QEvent::WindowActivate && watched == this && FFileCommands->ChangedOnDisk())
        StatusBar->showMessage(TFileCommands::ChangedOnDiskNote, 10000);
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ShowStatusBarInfo()
{
    StatusBar->SetPanelText(0, QStringLiteral("Записей: %1 из %2").arg(PanelGroup->ShownRowCount()).arg(Content().Count()));
}

void TMainForm::actNewExecute()
{
    if (CanLeaveFile())
        FDocument->ReplaceAll([](TContent&) { return TReplacement{}; });
}

void TMainForm::actExitExecute() { close(); }

void TMainForm::closeEvent(QCloseEvent* event)
{
    bool canClose = false;
    RunGuarded([&] { FormCloseQuery(canClose); });
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TMainForm::mnVTPopupPopup(const QPoint& globalPos, QWidget* grid)
{
    auto* VT = qobject_cast<TRecordGrid*>(grid);
    FRecordCommands->mnVTPopupPopup(VT);
    mnVTPopup->EnableRecordItems(VT != nullptr);
    mnVTPopup->popup(globalPos);
}

void TMainForm::actCollapseExecute() { PanelGroup->CollapseAll(); }

void TMainForm::actExpandExecute() { PanelGroup->ExpandAll(); }

void TMainForm::cbFilterSelect() { ApplyFilter(); }

void TMainForm::actLoadFromDBExecute() { DiasoftForm().Execute(); }

void TMainForm::actOpenExecute() { FFileCommands->Open(); }
void TMainForm::actSaveExecute() { FFileCommands->Save(); }
void TMainForm::actSaveAsExecute() { FFileCommands->SaveAs(); }
void TMainForm::LoadUVO(const QString& FileName) { FFileCommands->LoadUVO(FileName); }
void TMainForm::SaveToFile(const QString& FileName) { FFileCommands->SaveToFile(FileName); }

void TMainForm::actSettingsExecute()
{
    const TSettingsForm::TResult result = SettingsForm().Execute(Settings);
    if (!result.Confirmed)
        return;
    // The next import connects anew, with the changed connection string.
    if (result.ConnectionStringChanged)
        DiasoftForm().CloseConnection();
    SaveSettings();
}

void TMainForm::mnEditRecClick() { FRecordCommands->mnEditRecClick(); }
void TMainForm::mnCopyRecClick() { FRecordCommands->mnCopyRecClick(); }
void TMainForm::mnDeleteRecClick() { FRecordCommands->mnDeleteRecClick(); }
void TMainForm::mnSubAddRecClick(const QString& RecID) { FRecordCommands->mnSubAddRecClick(RecID); }
void TMainForm::VTNodeDblClick(TRecordGrid* VT) { FRecordCommands->VTNodeDblClick(VT); }
void TMainForm::AddRec(const QString& RecID, const TContentRec* FromRec) { FRecordCommands->AddRec(RecID, FromRec); }
void TMainForm::CopyRec(TRecordGrid* VT, int Node) { FRecordCommands->CopyRec(VT, Node); }
void TMainForm::DeleteRec(TRecordGrid* VT, int Node) { FRecordCommands->DeleteRec(VT, Node); }
void TMainForm::EditRec(TContentRec* ContentRec) { FRecordCommands->EditRec(ContentRec); }
void TMainForm::actNewRecsExecute() { FRecordCommands->actNewRecsExecute(); }

