#pragma once

#include "TPrompts.h"

// The seam as the user sees it: QMessageBox, QFileDialog, QInputDialog and a
// small login dialog, all parented to the active window.
class TWidgetPrompts : public TPrompts {
public:
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
    QString FDirectory;  // where the file dialogs opened last, kept between uses
};
