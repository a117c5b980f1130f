#pragma once

#include "TSettings.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>

#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QMenu;
class QScrollBar;
class QToolBar;
class TAccountFilter;
class TContent;
class TContentRec;
class TFileCommands;
class TFormat;
class TSettingsForm;
class TMainStatusBar;
class TPanelArea;
class TRecordGrid;
class TRecordPopup;

// The main window: it owns the program's one format description and one
// content list, keeps the state of the open file, and carries the commands.
// Each operation named here forwards the work to the class that does it.
class TMainForm : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(bool RecsChanged READ RecsChanged WRITE SetRecsChanged)

public:
    // formatText replaces the description carried in the program (resource FRM).
    explicit TMainForm(std::optional<QByteArray> formatText = std::nullopt, QWidget* parent = nullptr);
    ~TMainForm() override;

    TFormat& Format() const { return *FFormat; }
    TContent& Content() const { return *FContent; }
    TFileCommands& FileCommands() const { return *FFileCommands; }
    // The settings dialog, made at start-up after this window (CreateAppWindows)
    // and reused until exit.
    TSettingsForm& SettingsForm() const { return *FSettingsForm; }
    void SetSettingsForm(TSettingsForm* form) { FSettingsForm = form; }

    // Reads a data file into the content list; writes the content list.
    void LoadUVO(const QString& FileName);
    void SaveToFile(const QString& FileName);

    // The open file has unsaved changes. Writing it refreshes the caption, the
    // status marker and Save; it is also how the caption follows CurrentFile.
    bool RecsChanged() const { return FRecsChanged; }
    void SetRecsChanged(bool Value);

    // True when the open file may be discarded; offers to save unsaved changes.
    bool CanLeaveFile();

    bool LoadFormat();
    void LoadSettings();
    void SaveSettings();
    void FillSubMenu();

    // Rebuilds the filter list and the panel area and focuses FocusRec.
    void ShowContent(TContentRec* FocusRec);
    void ApplyFilter();
    void ClearView();
    void FindFocus(TContentRec* Rec);
    void ShowStatusBarInfo();

    // The grids shown, in panel order (the panels own them), and the widest
    // total column width among them since the view was last cleared.
    const QList<TRecordGrid*>& VTList() const;
    int MaxVTWidth() const;

    // The format description did not load: only Settings and Exit are usable.
    bool LimitedMode() const { return FLimitedMode; }

    // Full path of the file last read or written; empty for a file never saved.
    QString CurrentFile;
    TSettings Settings;

    // Commands, shared by the menus and the tool bar.
    QAction* actNew;
    QAction* actNewRecs;
    QAction* actOpen;
    QAction* actSave;
    QAction* actSaveAs;
    QAction* actLoadFromDB;
    QAction* actSettings;
    QAction* actCollapse;
    QAction* actExpand;
    QAction* actExit;

    QMenu* mnFile = nullptr;
    QMenu* mnView = nullptr;
    QToolBar* ToolBar;
    QComboBox* cbFilter;
    TPanelArea* PanelGroup;
    QScrollBar* ScrollBar;
    TMainStatusBar* StatusBar;
    TRecordPopup* mnVTPopup;

public slots:
    void actNewExecute();
    void actNewRecsExecute();
    void actOpenExecute();
    void actSaveExecute();
    void actSaveAsExecute();
    void actLoadFromDBExecute();
    void actSettingsExecute();
    void actCollapseExecute();
    void actExpandExecute();
    void actExitExecute();
    void cbFilterSelect();
    void ScrollBarChange(int Position);
    void mnSubAddRecClick(const QString& RecID);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Routes every wheel turn over this window to FormMouseWheel.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormCloseQuery(bool& CanClose);

    void CreateActions();
    void CreateComponents();
    void ConnectHandlers();
    void EnterLimitedMode();
    void mnVTPopupPopup(const QPoint& globalPos, QWidget* grid);
    void FormMouseWheel(const QPoint& GlobalPos, int Delta);

    std::unique_ptr<TFormat> FFormat;
    std::unique_ptr<TContent> FContent;
    std::unique_ptr<TAccountFilter> FFilter;
    std::unique_ptr<TFileCommands> FFileCommands;
    TSettingsForm* FSettingsForm = nullptr;
    std::optional<QByteArray> FFormatText;
    bool FRecsChanged = false;
    bool FLimitedMode = false;
};

// The program's one main window while it exists.
extern TMainForm* MainForm;
