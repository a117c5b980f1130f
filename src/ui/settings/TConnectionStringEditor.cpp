#include "TConnectionStringEditor.h"

#include "TPrompts.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A new string names the SQL Server OLE DB provider the import connects with.
const QString NewProvider = QStringLiteral("SQLOLEDB.1");

QLineEdit* NewEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// Sets a key to a field's text when the text differs from the key's value; an
// emptied field removes the key.
void ApplyField(TConnectionString& connection, const QString& key, const QString& text)
{
    if (text == connection.Value(key))
        return;
    if (text.isEmpty())
        connection.Remove(key);
    else
        connection.SetValue(key, text);
}

}  // namespace

TConnectionStringEditor::TConnectionStringEditor(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConnectionStringEditor"));
    setWindowTitle(QStringLiteral("Подключение к БД Диасофт Fa#"));
    setSizeGripEnabled(false);

    edServer = NewEdit(this, "edServer");
    edDatabase = NewEdit(this, "edDatabase");

    auto* gbLogin = new QGroupBox(QStringLiteral("Вход на сервер"), this);
    rbWindowsAuth = new QRadioButton(QStringLiteral("Использовать встроенную безопасность Windows NT"), gbLogin);
    rbWindowsAuth->setObjectName(QStringLiteral("rbWindowsAuth"));
    rbSqlAuth = new QRadioButton(QStringLiteral("Использовать указанные имя и пароль пользователя"), gbLogin);
    rbSqlAuth->setObjectName(QStringLiteral("rbSqlAuth"));
    auto* authGroup = new QButtonGroup(this);
    authGroup->addButton(rbWindowsAuth);
    authGroup->addButton(rbSqlAuth);
    edUserName = NewEdit(gbLogin, "edUserName");
    edPassword = NewEdit(gbLogin, "edPassword");
    edPassword->setEchoMode(QLineEdit::Password);

    auto* loginFields = new QFormLayout;
    loginFields->addRow(QStringLiteral("Пользователь:"), edUserName);
    loginFields->addRow(QStringLiteral("Пароль:"), edPassword);
    auto* loginLayout = new QVBoxLayout(gbLogin);
    loginLayout->addWidget(rbWindowsAuth);
    loginLayout->addWidget(rbSqlAuth);
    loginLayout->addLayout(loginFields);

    edResult = new QPlainTextEdit(this);
    edResult->setObjectName(QStringLiteral("edResult"));
    edResult->setReadOnly(true);
    edResult->setTabChangesFocus(true);

    btnOK = new QPushButton(QStringLiteral("ОК"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* serverFields = new QFormLayout;
    serverFields->addRow(QStringLiteral("Сервер:"), edServer);
    serverFields->addRow(QStringLiteral("База данных:"), edDatabase);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(serverFields);
    layout->addWidget(gbLogin);
    layout->addWidget(new QLabel(QStringLiteral("Строка подключения:"), this));
    layout->addWidget(edResult);
    layout->addLayout(buttons);
    resize(460, 360);

    connect(rbWindowsAuth, &QRadioButton::toggled, this, &TConnectionStringEditor::rbAuthClick);
    for (QLineEdit* edit : {edServer, edDatabase, edUserName, edPassword})
        connect(edit, &QLineEdit::textChanged, this, &TConnectionStringEditor::FieldChange);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    SetConnectionString(QString());
}

QString TConnectionStringEditor::Execute(const QString& connectionString)
{
    SetConnectionString(connectionString);
    edServer->setFocus();
    if (Prompts().ExecDialog(*this) != QDialog::Accepted)
        return connectionString;
    return ConnectionString();
}

void TConnectionStringEditor::SetConnectionString(const QString& connectionString)
{
    FOriginal = TConnectionString(connectionString);
    FOriginalWindowsAuth = FOriginal.IsIntegratedSecurity();
    const QSignalBlocker blockServer(edServer), blockDatabase(edDatabase), blockUser(edUserName),
        blockPassword(edPassword), blockWindows(rbWindowsAuth);
    edServer->setText(FOriginal.Value(TConnectionString::DataSource));
    edDatabase->setText(FOriginal.Value(TConnectionString::InitialCatalog));
    edUserName->setText(FOriginal.Value(TConnectionString::UserID));
    edPassword->setText(FOriginal.Value(TConnectionString::Password));
    (FOriginalWindowsAuth ? rbWindowsAuth : rbSqlAuth)->setChecked(true);
    rbAuthClick();
}

QString TConnectionStringEditor::ConnectionString() const
{
    TConnectionString connection =
        FOriginal.HasPairs() ? FOriginal : TConnectionString(TConnectionString::Provider + u'=' + NewProvider);
    ApplyField(connection, TConnectionString::DataSource, edServer->text());
    ApplyField(connection, TConnectionString::InitialCatalog, edDatabase->text());
    if (rbWindowsAuth->isChecked()) {
        if (!FOriginalWindowsAuth) {
            connection.Remove(TConnectionString::UserID);
            connection.Remove(TConnectionString::Password);
            connection.SetValue(TConnectionString::IntegratedSecurity, QStringLiteral("SSPI"));
        }
    } else {
        if (FOriginalWindowsAuth)
            connection.Remove(TConnectionString::IntegratedSecurity);
        ApplyField(connection, TConnectionString::UserID, edUserName->text());
        ApplyField(connection, TConnectionString::Password, edPassword->text());
    }
    // Nothing filled in on an empty string leaves it empty.
    if (!FOriginal.HasPairs() && connection.Names() == QStringList{TConnectionString::Provider})
        return FOriginal.ToString();
    return connection.ToString();
}

void TConnectionStringEditor::rbAuthClick()
{
    const bool sqlLogin = rbSqlAuth->isChecked();
    edUserName->setEnabled(sqlLogin);
    edPassword->setEnabled(sqlLogin);
    FieldChange();
}

// The whole string is shown as the fields make it, but its password is masked
// like the password box.
void TConnectionStringEditor::FieldChange()
{
    TConnectionString shown(ConnectionString());
    const QString password = shown.Value(TConnectionString::Password);
    if (!password.isEmpty())
        shown.SetValue(TConnectionString::Password, QString(password.size(), u'*'));
    edResult->setPlainText(shown.ToString());
}
