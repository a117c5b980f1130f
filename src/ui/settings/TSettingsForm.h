#pragma once

#include "TSettings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The settings dialog "Настройки": the connection string of the core banking
// database and the submitter's identification values. Created once and reused.
class TSettingsForm : public QDialog {
    Q_OBJECT

public:
    // What a run of the dialog did to the settings.
    struct TResult {
        bool Confirmed = false;                // closed with "ОК": the values are stored
        bool ConnectionStringChanged = false;  // ... and the connection string differs from before
    };

    explicit TSettingsForm(QWidget* parent = nullptr);

    // Shows the eight text values of the settings and runs the dialog modally.
    // Confirmed with "ОК", each value is stored as single-byte text cut to its
    // capacity, as typed; the connection string only when it differs from the
    // stored one. Otherwise nothing is stored. FOID is never touched.
    TResult Execute(TSettings& settings);

    QLineEdit* edConnectionString;
    QPushButton* btnConnectionString;
    QLineEdit* edVersionNumber;
    QLineEdit* edSubscriberCode;
    QLineEdit* edFormatID;
    QLineEdit* edGroupID;
    QLineEdit* edUserID;
    QLineEdit* edSubscriberName;
    QLineEdit* edFinanceType;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    // "...": edits the connection string with the connection string editor.
    void btnConnectionStringClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* NewField(const char* name, const QString& label, int maxLength);
    QLabel* NewLabel(const QString& text);
    void ShowConnectionString(const QString& connectionString);

    QString FConnectionString;  // what the field shows, with its passwords
};
