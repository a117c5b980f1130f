#pragma once

#include "TPrompts.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <optional>

enum class TPromptKind { Question, Error, AppError, Info, OpenFile, SaveFile, Input, Login, Dialog, Warning };

// One prompt the program showed. For file dialogs Title is the filter and Text
// the proposed name; for the login box Title is the database and Text the user.
struct TShownPrompt {
    TPromptKind Kind;
    QString Title;
    QString Text;
    bool operator==(const TShownPrompt&) const = default;
};

char* toString(const TShownPrompt& prompt);  // readable QCOMPARE failures

// Answers every prompt from queues the test fills beforehand and records what
// was shown. A prompt with no answer queued is answered like a cancel (Cancel,
// empty name, none) and counted in Unanswered. Installed for its lifetime.
class TScriptedPrompts : public TPrompts {
public:
    TScriptedPrompts();
    ~TScriptedPrompts() override;

    std::deque<TAnswer> Answers;
    std::deque<QString> FileNames;  // open and save dialogs alike
    std::deque<std::optional<QString>> Inputs;
    std::deque<std::optional<TLogin>> Logins;
    std::deque<std::function<int(QDialog&)>> Dialogs;  // each plays one modal dialog

    QList<TShownPrompt> Shown;
    QList<TQuestionButtons> QuestionButtons;  // of each question, in order
    int Unanswered = 0;

    TAnswer Question(const QString& title, const QString& text, TQuestionButtons buttons) override;
    void Error(const QString& text) override;
    void AppError(const QString& text) override;
    void Info(const QString& title, const QString& text) override;
    void Warning(const QString& title, const QString& text) override;
    QString OpenFileName(const QString& filter) override;
    QString SaveFileName(const QString& proposedName, const QString& filter, const QString& defaultExt) override;
    std::optional<QString> InputBox(const QString& title, const QString& prompt, const QString& text) override;
    std::optional<TLogin> LoginBox(const QString& database, const QString& userName) override;
    int ExecDialog(QDialog& dialog) override;

private:
    template <class T>
    T Next(std::deque<T>& queue, T unanswered);
};
