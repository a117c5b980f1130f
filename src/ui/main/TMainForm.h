#pragma once

#include "TImportHost.h"
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
class TCompareCommands;
class TContent;
class TContentRec;
class TDiasoftForm;
class TFileCommands;
class TFindBar;
class TFormat;
class TSettingsForm;
class TMainStatusBar;
class TPanelArea;
class TProblemCommands;
class TRecordGrid;
class TRecordCommands;
class TRecordPopup;
class TUvoDocument;
struct TRecordChange;

// The main window: it owns the program's one format description and the open
// file (its document, with the one content list), shows the file and its
// state, following every change the document announces, and carries the
// commands. Each operation named here forwards the work to the class that
// does it.
class TMainForm : public QMainWindow, public TImportHost {
    Q_OBJECT
    Q_PROPERTY(bool RecsChanged READ RecsChanged WRITE SetRecsChanged)

public:
    // formatText replaces the description carried in the program (resource FRM).
    explicit TMainForm(std::optional<QByteArray> formatText = std::nullopt, QWidget* parent = nullptr);
    ~TMainForm() override;

    TFormat& Format() const { return *FFormat; }
    TUvoDocument& Document() const { return *FDocument; }
    TContent& Content() const;
    TFileCommands& FileCommands() const { return *FFileCommands; }
    // The settings dialog, made at start-up after this window (CreateAppWindows)
    // and reused until exit.
    TSettingsForm& SettingsForm() const { return *FSettingsForm; }
    void SetSettingsForm(TSettingsForm* form) { FSettingsForm = form; }
    // The import dialog, made at start-up after the settings dialog.
    TDiasoftForm& DiasoftForm() const { return *FDiasoftForm; }
    void SetDiasoftForm(TDiasoftForm* form) { FDiasoftForm = form; }

    // Reads a data file into the content list; writes the content list.
    void LoadUVO(const QString& FileName);
    void SaveToFile(const QString& FileName);

    // The open file has unsaved changes. Writing it refreshes the caption, the
    // status marker and Save; it is also how the caption follows CurrentFile.
    bool RecsChanged() const;
    void SetRecsChanged(bool Value);

    // Full path of the file last read or written; empty for a file never saved.
    const QString& CurrentFile() const;
    void SetCurrentFile(const QString& Path);

    // True when the open file may be discarded; offers to save unsaved changes.
    bool CanLeaveFile() override;

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
    // Shows Rec with the filter on its account, as ShowContent does for its
    // focus record, and focuses its field number FieldIndex (its row where
    // there is no field): the problems list's jump.
    void ShowRecordField(const TContentRec* Rec, int FieldIndex);
    TProblemCommands& ProblemCommands() const { return *FProblemCommands; }
    TCompareCommands& CompareCommands() const { return *FCompareCommands; }

    // The grids shown, in panel order (the panels own them), and the widest
    // total column width among them since the view was last cleared.
    const QList<TRecordGrid*>& VTList() const;
    int MaxVTWidth() const;

    // The record commands: a double-click edits the focused row once the grid
    // has handled the click; Node is a row of grid VT.
    void VTNodeDblClick(TRecordGrid* VT);
    void AddRec(const QString& RecID, const TContentRec* FromRec);
    void CopyRec(TRecordGrid* VT, int Node);
    void DeleteRec(TRecordGrid* VT, int Node);
    void EditRec(TContentRec* ContentRec);

    // The format description text given at construction; none for the one
    // carried in the program.
    const std::optional<QByteArray>& FormatText() const { return FFormatText; }
    // The format description did not load: only Settings and Exit are usable.
    bool LimitedMode() const { return FLimitedMode; }

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
    // "Правка": undo, redo, find and replace a value.
    QAction* actUndo = nullptr;
    QAction* actRedo = nullptr;
    QAction* actFind = nullptr;
    QAction* actReplace = nullptr;

    QMenu* mnFile = nullptr;
    QMenu* mnEdit = nullptr;
    QMenu* mnView = nullptr;
    QToolBar* ToolBar;
    QComboBox* cbFilter;
    TPanelArea* PanelGroup;
    QScrollBar* ScrollBar;
    TFindBar* FindBar;
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
    void mnEditRecClick();
    void mnCopyRecClick();
    void mnDeleteRecClick();
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
    // The record menu acts on the focused row of the grid it opens on; over
    // the panel area itself (grid none) it only adds.
    void mnVTPopupPopup(const QPoint& globalPos, QWidget* grid);
    void FormMouseWheel(const QPoint& GlobalPos, int Delta);
    // The views follow the document: the file state, the records replaced, some records changed.
    void FollowDocument();
    void ShowChange(const TRecordChange& change);
    // Caption, status marker and Save, after every write of the file name or state.
    void ShowFileState();

    std::unique_ptr<TFormat> FFormat;
    std::unique_ptr<TUvoDocument> FDocument;
    std::unique_ptr<TAccountFilter> FFilter;
    std::unique_ptr<TFileCommands> FFileCommands;
    std::unique_ptr<TRecordCommands> FRecordCommands;
    TProblemCommands* FProblemCommands = nullptr;  // a child of this window
    TCompareCommands* FCompareCommands = nullptr;  // a child of this window
    TSettingsForm* FSettingsForm = nullptr;
    TDiasoftForm* FDiasoftForm = nullptr;
    std::optional<QByteArray> FFormatText;
    bool FLimitedMode = false;
};
