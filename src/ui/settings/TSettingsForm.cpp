#include "TSettingsForm.h"

#include "SettingsFile.h"
#include "TConnectionString.h"
#include "TConnectionStringEditor.h"
#include "TPrompts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 357;
constexpr int ClientHeight = 498;
// What can be typed into the finance type; only its first 2 characters are stored.
constexpr int FinanceTypeTypedLength = 40;

QFont TahomaFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

TSettingsForm::TSettingsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Настройки"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(ClientWidth, ClientHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(2);

    // The connection string and its "..." button share a row.
    edConnectionString = new QLineEdit(this);
    edConnectionString->setObjectName(QStringLiteral("edConnectionString"));
    edConnectionString->setFont(TahomaFont(13, false));
    btnConnectionString = new QPushButton(QStringLiteral("..."), this);
    btnConnectionString->setObjectName(QStringLiteral("btnConnectionString"));
    btnConnectionString->setFixedWidth(28);
    QLabel* connectionLabel = NewLabel(QStringLiteral("Строка подключения к БД Диасофт Fa#"));
    connectionLabel->setBuddy(edConnectionString);
    auto* connectionRow = new QHBoxLayout;
    connectionRow->setSpacing(4);
    connectionRow->addWidget(edConnectionString);
    connectionRow->addWidget(btnConnectionString);
    layout->addWidget(connectionLabel);
    layout->addLayout(connectionRow);
    layout->addSpacing(8);

    edVersionNumber = NewField("edVersionNumber", QStringLiteral("Version Number/Номер версии"), 2);
    edSubscriberCode = NewField("edSubscriberCode", QStringLiteral("Subscriber Code/Код подписчика"), 5);
    edFormatID = NewField("edFormatID", QStringLiteral("Format ID/Идентификатор формата"), 10);
    edGroupID = NewField("edGroupID", QStringLiteral("Group ID/Идентификатор группы"), 12);
    edUserID = NewField("edUserID", QStringLiteral("User ID/Идентификатор пользователя"), 12);
    edSubscriberName = NewField("edSubscriberName", QStringLiteral("Subscriber Name/Имя подписчика"), 40);
    edFinanceType =
        NewField("edFinanceType", QStringLiteral("Finance Type/Тип финансирования"), FinanceTypeTypedLength);

    // Digits only, typed or pasted: anything else is refused whole.
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (QLineEdit* edit : {edVersionNumber, edSubscriberCode})
        edit->setValidator(new QRegularExpressionValidator(digits, edit));

    btnOK = new QPushButton(QStringLiteral("ОК"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addStretch();
    layout->addLayout(buttons);

    setTabOrder(edConnectionString, btnConnectionString);
    setTabOrder(btnConnectionString, edVersionNumber);
    setTabOrder(edVersionNumber, edSubscriberCode);
    setTabOrder(edSubscriberCode, edFormatID);
    setTabOrder(edFormatID, edGroupID);
    setTabOrder(edGroupID, edUserID);
    setTabOrder(edUserID, edSubscriberName);
    setTabOrder(edSubscriberName, edFinanceType);
    setTabOrder(edFinanceType, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(btnConnectionString, &QPushButton::clicked, this, &TSettingsForm::btnConnectionStringClick);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLabel* TSettingsForm::NewLabel(const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setFont(TahomaFont(11, true));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit* TSettingsForm::NewField(const char* name, const QString& label, int maxLength)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setFont(TahomaFont(13, false));
    edit->setMaxLength(maxLength);
    QLabel* caption = NewLabel(label);
    caption->setBuddy(edit);
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->addWidget(caption);
    column->addWidget(edit);
    column->addSpacing(8);
    return edit;
}

TSettingsForm::TResult TSettingsForm::Execute(TSettings& settings)
{
    ShowConnectionString(settings.ConnectionString);
    edVersionNumber->setText(settings.VersionNumber);
    edSubscriberCode->setText(settings.SubscriberCode);
    edFormatID->setText(settings.FormatID);
    edGroupID->setText(settings.GroupID);
    edUserID->setText(settings.UserID);
    edSubscriberName->setText(settings.SubscriberName);
    edFinanceType->setText(settings.FinanceType);
    edConnectionString->setFocus();

    TResult result;
    if (Prompts().ExecDialog(*this) != QDialog::Accepted)
        return result;
    result.Confirmed = true;

    using SettingsFile::CutToCapacity;
    const QString connectionString =
        CutToCapacity(TConnectionString::Unmasked(edConnectionString->text(), FConnectionString),
                      SettingsCapacity::ConnectionString);
    if (connectionString != settings.ConnectionString) {
        settings.ConnectionString = connectionString;
        result.ConnectionStringChanged = true;
    }
    settings.VersionNumber = CutToCapacity(edVersionNumber->text(), SettingsCapacity::VersionNumber);
    settings.SubscriberCode = CutToCapacity(edSubscriberCode->text(), SettingsCapacity::SubscriberCode);
    settings.FormatID = CutToCapacity(edFormatID->text(), SettingsCapacity::FormatID);
    settings.GroupID = CutToCapacity(edGroupID->text(), SettingsCapacity::GroupID);
    settings.UserID = CutToCapacity(edUserID->text(), SettingsCapacity::UserID);
    settings.SubscriberName = CutToCapacity(edSubscriberName->text(), SettingsCapacity::SubscriberName);
    settings.FinanceType = CutToCapacity(edFinanceType->text(), SettingsCapacity::FinanceType);
    return result;
}

void TSettingsForm::btnConnectionStringClick()
{
    TConnectionStringEditor editor(this);
    const QString current = TConnectionString::Unmasked(edConnectionString->text(), FConnectionString);
    const QString edited = editor.Execute(current);
    if (edited != current)
        ShowConnectionString(edited);
    edConnectionString->setFocus();
}

void TSettingsForm::ShowConnectionString(const QString& connectionString)
{
    // The field shows no password; what it stands for is kept here.
    FConnectionString = connectionString;
    edConnectionString->setText(TConnectionString(connectionString).MaskedPasswords());
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the screen, not over the main window.
    if (QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
