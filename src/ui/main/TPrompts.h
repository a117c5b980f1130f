#pragma once

#include <QString>

#include <optional>

class QDialog;

// The answer to a question box. Escape or closing the box counts as Cancel.
enum class TAnswer { Yes, No, Cancel };

// The buttons a question offers.
enum class TQuestionButtons { YesNo, YesNoCancel };

// What the database login box returns when it is confirmed.
struct TLogin {
    QString UserName;
    QString Password;
    bool operator==(const TLogin&) const = default;
};

// Every modal interaction with the user goes through this one seam: message
// boxes, file dialogs, the input and login boxes, and any modal dialog of the
// program. The running application uses the widget implementation; tests
// install a scripted one so that nothing ever waits for a human.
class TPrompts {
public:
    virtual ~TPrompts() = default;

    // Question icon; Yes/No or Yes/No/Cancel.
    virtual TAnswer Question(const QString& title, const QString& text, TQuestionButtons buttons) = 0;
    // Error icon, caption "Ошибка", OK: the box a command shows for its failure.
    virtual void Error(const QString& text) = 0;
    // Stop icon, titled with the application title, OK: errors no command caught.
    virtual void AppError(const QString& text) = 0;
    // No icon, only OK.
    virtual void Info(const QString& title, const QString& text) = 0;
    // Warning icon, only OK.
    virtual void Warning(const QString& title, const QString& text) = 0;

    // The chosen existing file, or empty when cancelled. filter uses the
    // toolkit's form, e.g. "Файлы UVO (*.uvo)".
    virtual QString OpenFileName(const QString& filter) = 0;
    // The chosen path, or empty when cancelled. proposedName may carry a
    // folder; defaultExt is added when the typed name has no extension; an
    // existing file is confirmed before it is overwritten.
    virtual QString SaveFileName(const QString& proposedName, const QString& filter, const QString& defaultExt) = 0;

    // One-line input with OK and Cancel; none when cancelled.
    virtual std::optional<QString> InputBox(const QString& title, const QString& prompt, const QString& text) = 0;
    // The database login; none when cancelled.
    virtual std::optional<TLogin> LoginBox(const QString& database, const QString& userName) = 0;

    // Runs a dialog of the program modally and returns its result code.
    virtual int ExecDialog(QDialog& dialog) = 0;
};

// The process-wide seam. Until SetPrompts is called it is the widget
// implementation; SetPrompts(nullptr) restores that.
TPrompts& Prompts();
void SetPrompts(TPrompts* prompts);

// The application title: task bar, and the title of the general error box.
inline const QString AppTitle = QStringLiteral("UVO Edit");
