#include "TScriptedPrompts.h"

#include <QDialog>
#include <QtTest>

namespace {

const char* KindName(TPromptKind kind)
{
    static const char* const names[] = {"Question", "Error", "AppError", "Info",  "OpenFile",
                                        "SaveFile", "Input", "Login",    "Dialog", "Warning"};
    return names[int(kind)];
}

}  // namespace

char* toString(const TShownPrompt& prompt)
{
    const QString text = QStringLiteral("%1(\"%2\", \"%3\")")
                             .arg(QLatin1String(KindName(prompt.Kind)), prompt.Title, prompt.Text);
    return qstrdup(text.toUtf8().constData());
}

TScriptedPrompts::TScriptedPrompts() { SetPrompts(this); }

TScriptedPrompts::~TScriptedPrompts() { SetPrompts(nullptr); }

template <class T>
T TScriptedPrompts::Next(std::deque<T>& queue, T unanswered)
{
    if (queue.empty()) {
        ++Unanswered;
        return unanswered;
    }
    const T answer = queue.front();
    queue.pop_front();
    return answer;
}

TAnswer TScriptedPrompts::Question(const QString& title, const QString& text, TQuestionButtons buttons)
{
    Shown.append({TPromptKind::Question, title, text});
    QuestionButtons.append(buttons);
    return Next(Answers, TAnswer::Cancel);
}

void TScriptedPrompts::Error(const QString& text) { Shown.append({TPromptKind::Error, QStringLiteral("Ошибка"), text}); }

void TScriptedPrompts::AppError(const QString& text) { Shown.append({TPromptKind::AppError, AppTitle, text}); }

void TScriptedPrompts::Info(const QString& title, const QString& text) { Shown.append({TPromptKind::Info, title, text}); }

void TScriptedPrompts::Warning(const QString& title, const QString& text)
{
    Shown.append({TPromptKind::Warning, title, text});
}

QString TScriptedPrompts::OpenFileName(const QString& filter)
{
    Shown.append({TPromptKind::OpenFile, filter, QString()});
    return Next(FileNames, QString());
}

QString TScriptedPrompts::SaveFileName(const QString& proposedName, const QString& filter, const QString& /*defaultExt*/)
{
    Shown.append({TPromptKind::SaveFile, filter, proposedName});
    return Next(FileNames, QString());
}

std::optional<QString> TScriptedPrompts::InputBox(const QString& title, const QString& prompt, const QString& /*text*/)
{
    Shown.append({TPromptKind::Input, title, prompt});
    return Next(Inputs, std::optional<QString>());
}

std::optional<TLogin> TScriptedPrompts::LoginBox(const QString& database, const QString& userName)
{
    Shown.append({TPromptKind::Login, database, userName});
    return Next(Logins, std::optional<TLogin>());
}

int TScriptedPrompts::ExecDialog(QDialog& dialog)
{
    Shown.append({TPromptKind::Dialog, dialog.windowTitle(), QString()});
    const auto play = Next(Dialogs, std::function<int(QDialog&)>());
    return play ? play(dialog) : int(QDialog::Rejected);
}
