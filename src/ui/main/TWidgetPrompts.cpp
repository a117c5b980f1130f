#include "TWidgetPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace {

QWidget* Owner() { return QApplication::activeWindow(); }

void ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, Owner());
    box.exec();
}

QLineEdit* LoginEdit(QWidget* parent, const QString& text, bool secret)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setMaxLength(31);
    if (secret) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
    }
    return edit;
}

}  // namespace

TAnswer TWidgetPrompts::Question(const QString& title, const QString& text, TQuestionButtons buttons)
{
    auto standard = QMessageBox::Yes | QMessageBox::No;
    if (buttons == TQuestionButtons::YesNoCancel)
        standard |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, title, text, standard, Owner());
    // Escape means the most cautious answer the box offers.
    box.setEscapeButton(buttons == TQuestionButtons::YesNoCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

void TWidgetPrompts::Error(const QString& text) { ShowBox(QMessageBox::Critical, QStringLiteral("Ошибка"), text); }

void TWidgetPrompts::AppError(const QString& text) { ShowBox(QMessageBox::Critical, AppTitle, text); }

void TWidgetPrompts::Info(const QString& title, const QString& text) { ShowBox(QMessageBox::NoIcon, title, text); }

void TWidgetPrompts::Warning(const QString& title, const QString& text) { ShowBox(QMessageBox::Warning, title, text); }

QString TWidgetPrompts::OpenFileName(const QString& filter)
{
    QFileDialog dialog(Owner(), QString(), FDirectory, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    FDirectory = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

QString TWidgetPrompts::SaveFileName(const QString& proposedName, const QString& filter, const QString& defaultExt)
{
    QFileDialog dialog(Owner(), QString(), FDirectory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultExt);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    FDirectory = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> TWidgetPrompts::InputBox(const QString& title, const QString& prompt, const QString& text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(Owner(), title, prompt, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::optional<TLogin> TWidgetPrompts::LoginBox(const QString& database, const QString& userName)
{
    QDialog dialog(Owner());
    dialog.setWindowTitle(QStringLiteral("Database Login"));
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Database:"), new QLabel(database, &dialog));
    QLineEdit* user = LoginEdit(&dialog, userName, false);
    QLineEdit* password = LoginEdit(&dialog, QString(), true);
    form->addRow(QStringLiteral("User Name:"), user);
    form->addRow(QStringLiteral("Password:"), password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    password->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return TLogin{user->text(), password->text()};
}

int TWidgetPrompts::ExecDialog(QDialog& dialog) { return dialog.exec(); }
