#pragma once

#include "TConnectionString.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// Edits the connection string of the core banking database (Microsoft SQL
// Server): the server, the database and how to log in, either with Windows
// authentication or with a SQL Server login. Every other pair of the string
// (provider, application name, ...) is kept as it was written, in its place.
class TConnectionStringEditor : public QDialog {
    Q_OBJECT

public:
    explicit TConnectionStringEditor(QWidget* parent = nullptr);

    // Runs the editor through the prompt seam, filled from connectionString.
    // Returns the edited string when confirmed with "ОК", else the given one.
    QString Execute(const QString& connectionString);

    // Fills the fields from a string, and the string the fields make of it.
    void SetConnectionString(const QString& connectionString);
    QString ConnectionString() const;

    QLineEdit* edServer;
    QLineEdit* edDatabase;
    QRadioButton* rbWindowsAuth;
    QRadioButton* rbSqlAuth;
    QLineEdit* edUserName;
    QLineEdit* edPassword;
    QPlainTextEdit* edResult;  // the resulting string, its password masked; read-only
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    void rbAuthClick();
    void FieldChange();

private:
    TConnectionString FOriginal;
    bool FOriginalWindowsAuth = false;
};
