#pragma once

#include "FaTypes.h"
#include "TFaImport.h"

#include <QDialog>

#include <exception>
#include <memory>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableView;
class TDatabase;
class TFaImport;
class TImportHost;
class TLoanModel;
class TUvoDocument;
struct TSettings;

// The import dialog "Диасофт Fa#": the period, financial operation and
// finance type, the contracts of the core banking system to mark, and the
// generation of records for the marked ones into a new file or the open one.
// Created once at start-up and reused; it keeps its contents and its database
// connection between showings.
class TDiasoftForm : public QDialog {
    Q_OBJECT

public:
    TDiasoftForm(TImportHost& host, TUvoDocument& document, TSettings& settings, QWidget* parent = nullptr);
    ~TDiasoftForm() override;

    // The command "Загрузить из Fa#": connects unless connected, asking for a
    // login unless the connection string asks for Windows authentication
    // ("SSPI"), and shows the dialog modally. A cancelled login does nothing;
    // a failed connection throws TDbError and shows no dialog.
    void Execute();
    // The next import connects anew, with the connection string then set.
    void CloseConnection();
    TDatabase& DB() const { return *FDatabase; }
    // Tests put a database of their own in place.
    void SetDatabase(std::unique_ptr<TDatabase> database);

    void FillFOList();
    void ClearFOList();
    void LoadLoanList();
    // Focuses the grid on its first row, when it has rows.
    void SetVocusOnVT();
    // The marked count in the status bar; Generate only with marks.
    void ShowInfo();
    void GetDiasoftInfo();

    TLoanModel& Loans() const { return *FLoans; }
    int SelectedCount() const { return FSelectedCount; }
    bool FlInProgress() const { return FFlInProgress; }
    QString StatusText(int panel) const;

    QWidget* Panel1;
    QDateEdit* dtDate1;
    QDateEdit* dtDate2;
    QComboBox* cbFOList;
    QComboBox* cbFinanceType;
    QPushButton* btnQueryLoanList;
    QPushButton* btnCancel;
    QWidget* Panel2;
    QTableView* LoanVT;
    QProgressBar* ProgressBar;
    QGroupBox* gbMode;
    QRadioButton* rbUpdate;
    QRadioButton* rbTakeOn;
    QGroupBox* gbFile;
    QRadioButton* rbNew;
    QRadioButton* rbAdd;
    QPushButton* btnStart;
    QStatusBar* StatusBar;

public slots:
    void btnQueryLoanListClick();
    void btnStartClick();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TRun;

    void CreateTopBar();
    void CreateMainArea();
    void CreateLoanGrid();
    void FillFinanceTypes();
    void ConnectDB();
    // The dialog's next action after a lost link connects again first (with
    // the login where one is needed), keeping the chosen financial operation.
    // False when the login was cancelled or the connection failed, which is
    // reported with the prefix.
    bool ConnectAgain(const QString& failurePrefix);
    // The message of a failed database action; a lost link also closes the
    // connection, which is of no further use.
    QString FailureText(const std::exception& error);
    // Space marks the focused row, Ctrl+Space every row, Shift+Space none;
    // Home and End go to the first and the last contract.
    bool LoanVTKeyDown(const QKeyEvent& event);
    void SetStatusText(int panel, const QString& text);
    void SetRunning(bool running);
    void KeepRecords(TRecordList records);

    TPeriod Period() const;
    qint64 ChosenFOID() const;
    // The code of the chosen finance type line; empty for "<Любой>".
    QString ChosenFinanceType() const;
    TFaImport Import() const;

    TImportHost& FHost;
    TUvoDocument& FDocument;
    TSettings& FSettings;
    std::unique_ptr<TDatabase> FDatabase;
    TLoanModel* FLoans;
    QLabel* FStatusPanels[2];
    int FSelectedCount = 0;
    bool FFlInProgress = false;
    bool FRunning = false;
};
