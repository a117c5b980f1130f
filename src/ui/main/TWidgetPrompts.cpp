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
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

QWidget* Owner() { return QApplication::activeWindow(); }

QSize ScreenRoom()
{
    const QScreen* screen = Owner() ? Owner()->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(800, 600);
}

// Breaks a line into rows no wider than maxWidth: at the last space that
// fits, or inside a word that is wider than a row by itself.
void AppendRows(const QString& line, const QFontMetrics& metrics, int maxWidth, qsizetype maxRows, QStringList& rows)
{
    QString row;
    qsizetype lastSpace = -1;
    for (qsizetype i = 0; i < line.size() && rows.size() <= maxRows; ++i) {
        const qsizetype length = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QString piece = line.mid(i, length);
        i += length - 1;
        if (!row.isEmpty() && metrics.horizontalAdvance(row + piece) > maxWidth) {
            const qsizetype cut = lastSpace > 0 ? lastSpace : row.size();
            rows << row.left(cut);
            row = row.mid(lastSpace > 0 ? cut + 1 : cut);
            lastSpace = -1;
        }
        if (piece == QLatin1String(" "))
            lastSpace = row.size();
        row += piece;
    }
    rows << row;
}

// A message box grows with its longest line, and the line of a file that is
// no UVO file can run to thousands of characters without a space. Such lines
// are broken into rows narrower than the width at which the box wraps text
// itself (half the screen, 500 px at most; control characters may come out
// wider than measured), and rows beyond half the screen's height are left
// out, the last row shown ending in "…".
QString FitToScreen(const QString& text, const QFontMetrics& metrics, const QSize& room)
{
    const int maxWidth = std::min(room.width() / 2, 500) * 4 / 5;
    const qsizetype maxRows = std::max(1, room.height() / 2 / std::max(1, metrics.lineSpacing()));
    QStringList rows;
    for (const QString& line : text.split(u'\n')) {
        if (rows.size() > maxRows)
            break;
        AppendRows(line, metrics, maxWidth, maxRows, rows);
    }
    if (rows.size() <= maxRows)
        return rows.join(u'\n');
    rows.resize(maxRows);
    QString& last = rows.last();
    while (!last.isEmpty() && metrics.horizontalAdvance(last + u'…') > maxWidth)
        last.chop(1);
    last += u'…';
    return rows.join(u'\n');
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
    switch (ShowBox(box)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

// The texts are plain, whatever characters a quoted line of a file holds, and
// kept within the screen.
int TWidgetPrompts::ShowBox(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    box.setText(FitToScreen(box.text(), label ? label->fontMetrics() : box.fontMetrics(), ScreenRoom()));
    return ExecDialog(box);
}

void TWidgetPrompts::Error(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), text, QMessageBox::Ok, Owner());
    ShowBox(box);
}

void TWidgetPrompts::AppError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, AppTitle, text, QMessageBox::Ok, Owner());
    ShowBox(box);
}

void TWidgetPrompts::Info(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, Owner());
    ShowBox(box);
}

// The filter shows its name only ("Файлы UVO"), its pattern stays the
// dialog's business.
void TWidgetPrompts::PrepareFileDialog(QFileDialog& dialog, const QString& filter) const
{
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(filter);
    if (!FDirectory.isEmpty())  // else the current folder
        dialog.setDirectory(FDirectory);
}

// Either dialog, Open or Save As, opens in the folder of the file last chosen
// in either, also when its full path was typed rather than browsed to.
QString TWidgetPrompts::RunFileDialog(QFileDialog& dialog)
{
    if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    FDirectory = QFileInfo(chosen).absolutePath();
    return chosen;
}

void TWidgetPrompts::Warning(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, Owner());
    ShowBox(box);
}

QString TWidgetPrompts::OpenFileName(const QString& filter)
{
    QFileDialog dialog(Owner());
    PrepareFileDialog(dialog, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return RunFileDialog(dialog);
}

QString TWidgetPrompts::SaveFileName(const QString& proposedName, const QString& filter, const QString& defaultExt)
{
    QFileDialog dialog(Owner());
    PrepareFileDialog(dialog, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultExt);
    dialog.selectFile(proposedName);
    return RunFileDialog(dialog);
}

std::optional<QString> TWidgetPrompts::InputBox(const QString& title, const QString& prompt, const QString& text)
{
    QInputDialog dialog(Owner());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    // Wide enough for the whole title beside the title bar's buttons, and for
    // an account number of 40 characters.
    constexpr int TitleBarButtons = 120;
    constexpr int LongestAnswer = 40;
    const QFontMetrics metrics(dialog.font());
    dialog.resize(std::max({dialog.sizeHint().width(), metrics.horizontalAdvance(title) + TitleBarButtons,
                            metrics.horizontalAdvance(QString(LongestAnswer, u'0')) + 2 * metrics.height()}),
                  dialog.sizeHint().height());
    if (ExecDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
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
    // The box keeps the English of its captions, whatever the desktop's language.
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    password->setFocus();
    if (ExecDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return TLogin{user->text(), password->text()};
}

int TWidgetPrompts::ExecDialog(QDialog& dialog) { return dialog.exec(); }
